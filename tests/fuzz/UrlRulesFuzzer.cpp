// URL classification and local file names: every rule on one input (the reachability
// probe, which goes to the network, aside). A local name never names anything but one
// file in its folder, and a file's address decodes back to the file's path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/util/PageText.h"
#include "engine/util/PathHelpers.h"
#include "engine/util/UrlClassification.h"
#include "engine/workers/LocalFileNames.h"

namespace {

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

// A name the file layer joins to a folder as exactly one element.
void CheckOneElement(const std::string& name) {
    Check(name.find_first_of("/\\") == std::string::npos);
    Check(name.find('\0') == std::string::npos);
    Check(name != "." && name != "..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    UnescapeUrl(text);
    IsHttpUrl(text);
    IsImageExtension(text);
    IsNonPageFile(text);
    IsFollowableLink(text, false);
    IsFollowableLink(text, true);
    IsPageExtension(text);
    HostOfUrl(text);
    StringArray pages, pictures;
    FilterPageUrls({text, text + "/"}, pages);
    FilterImageUrls({text}, pictures);

    Check(FileNameFromUrl(text, false).size() <= 100);
    Check(FileNameFromUrl(text, true).size() <= 100);
    FileExtension(text);
    EnsureTrailingBackslash(text);
    StripQuery(text);
    FileNameOfPath(text);
    // The input cut in three: folder, name and extension.
    const size_t third = text.size() / 3;
    const std::string folder = text.substr(0, third);
    const std::string name = text.substr(third, third);
    const std::string extension = text.substr(2 * third);
    JoinPath(folder, name, extension);
    EnsureExtension(folder + name, extension);

    for (const std::string& local :
         {SafeFileName(text), UrlFileExtension(text), DerivedFileName(text), DownloadFileName(text),
          LocalBaseName(text)}) {
        if (!local.empty())
            CheckOneElement(local);
    }
    CheckOneElement(LocalBaseName(text));

    // A file's address opens that file: decoded, it is the path again.
    if (text.find('\0') == std::string::npos) {
        const std::string address = FilePathToAddress(text);
        Check(UnescapeUrl(address) == text);
        Check(address.find_first_of("\"'<> #?") == std::string::npos);
    }
    EncodeUrlForAttribute(text);
    EncodeUrlForScriptString(text);
    IsScriptUrl(text);
    return 0;
}
