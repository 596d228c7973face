// morvelle-sample-gallery: writes one sample page of every style through Corvane, as
// the page-writing job does (created through the COM library from the registered
// server), for the look at the pages in a browser (tools/check-pages-in-chromium.sh).
//
//     morvelle-sample-gallery <gallery folder> <picture>...
//
// The pictures are copied into <gallery folder>/images, two small stand-in MP3 files
// are written into <gallery folder>/music, and each style's page is written as
// <gallery folder>/<style>.htm with items relative to the page. Prints one line per
// page. Exits with 1 when the formatter cannot be created or a file cannot be written.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/util/PathHelpers.h"
#include "engine/util/StringArrays.h"
#include "formatter/HtmlFormatterInterface.h"
#include "platform/com/Bstr.h"
#include "platform/com/ComLibrary.h"
#include "platform/file/FileLayer.h"

namespace {

struct SamplePage {
    const char* style;
    StringArray items;
    StringArray comments;
    StringArray names;
    int zoomSize = 0;
};

bool WriteSamplePage(const std::string& folder, const SamplePage& page) {
    ComPointer<IUnknown> unknown;
    HRESULT hr =
        CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.putVoid());
    if (SUCCEEDED(hr))
        hr = OleRun(unknown.get());
    ComPointer<IHtmlFormatter> formatter = unknown.query<IHtmlFormatter>();
    if (FAILED(hr) || !formatter) {
        std::fprintf(stderr,
                     "morvelle-sample-gallery: the formatter cannot be created (0x%08X); "
                     "is Corvane registered?\n",
                     static_cast<unsigned>(hr));
        return false;
    }
    const std::string path = folder + "/" + page.style + ".htm";
    formatter->size(0, 0);
    formatter->put_style(ScopedBstr(page.style).get());
    formatter->put_title(ScopedBstr(std::string("Sample ") + page.style).get());
    formatter->addImages(ScopedBstr(JoinWithCommas(page.items)).get());
    formatter->addComments(ScopedBstr(JoinWithTabs(page.comments)).get());
    formatter->addNames(ScopedBstr(JoinWithCommas(page.names)).get());
    formatter->put_zoomSize(page.zoomSize);
    formatter->save(ScopedBstr(path).get());
    std::printf("%s\n", path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: morvelle-sample-gallery <gallery folder> <picture>...\n");
        return 2;
    }
    const std::string folder = argv[1];
    CreateDirectory(folder + "/images");
    CreateDirectory(folder + "/music");

    StringArray pictures;
    StringArray links;
    StringArray names;
    StringArray captions;
    for (int i = 2; i < argc; ++i) {
        std::string bytes;
        const std::string name = FileNameOfPath(argv[i]);
        if (!ReadFileBytes(argv[i], &bytes) || !WriteFileBytes(folder + "/images/" + name, bytes)) {
            std::fprintf(stderr, "morvelle-sample-gallery: cannot copy %s\n", argv[i]);
            return 1;
        }
        pictures.push_back("images\\" + name);
        links.push_back("images\\" + name);
        names.push_back(name);
        captions.push_back("Picture " + std::to_string(i - 1) + ", from a sample page");
    }
    const StringArray songs = {"music\\first song.mp3", "music\\second%20song.mp3"};
    // The second item is written as a URL path, "%20" for its blank, as links of web
    // pages are; the file it names has the blank.
    for (const char* song : {"first song.mp3", "second song.mp3"}) {
        if (!WriteFileBytes(folder + "/music/" + song, "not really music")) {
            std::fprintf(stderr, "morvelle-sample-gallery: cannot write %s\n", song);
            return 1;
        }
    }
    const StringArray addresses = {"mailto:someone@example.com", "mailto:other.person@example.org"};
    StringArray everything = addresses;
    everything.insert(everything.end(), songs.begin(), songs.end());
    everything.insert(everything.end(), pictures.begin(), pictures.end());

    const std::vector<SamplePage> pages = {
        {"All", pictures, links, names, 0},     {"Thumbs", pictures, {}, names, 120},
        {"SlideShow", pictures, {}, {}, 0},     {"Tile", pictures, {}, {}, 0},
        {"TileMultipage", pictures, {}, {}, 0}, {"Multiview", pictures, {}, {}, 0},
        {"Zoom", pictures, links, names, 120},  {"Data", pictures, captions, names, 0},
        {"Email", addresses, {}, {}, 0},        {"MP3", songs, {}, {}, 0},
        {"File", everything, {}, {}, 0},
    };
    CoInitialize(nullptr);
    bool written = true;
    for (const SamplePage& page : pages)
        written = WriteSamplePage(folder, page) && written;
    CoUninitialize();
    return written ? 0 : 1;
}
