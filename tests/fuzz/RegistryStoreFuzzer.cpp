// The registry store's file reader: any text is refused or read; a text that is read
// is written back as a store that reads to the same tree and the same text. Read on
// past its bad lines, a text keeps the rest, and what it keeps is written as a sound
// store; it has bad lines exactly when the strict reading refuses it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/RegistryStore.h"

namespace {

// Writes tree and checks that the text reads strictly and writes the same again.
void CheckWrittenStore(const RegistryTree& tree) {
    const std::string written = FormatRegistryStore(tree);
    RegistryTree again;
    std::string error;
    if (!ParseRegistryStore(written, &again, &error))
        __builtin_trap();
    if (FormatRegistryStore(again) != written)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RegistryTree tree;
    std::string error;
    const bool strict = ParseRegistryStore(text, &tree, &error);
    if (strict)
        CheckWrittenStore(tree);

    RegistryTree kept;
    std::vector<RegistryBadLine> badLines;
    if (!ParseRegistryStore(text, &kept, &error, &badLines)) {
        if (strict)
            __builtin_trap();
        return 0;
    }
    if (strict != badLines.empty())
        __builtin_trap();
    if (strict && FormatRegistryStore(kept) != FormatRegistryStore(tree))
        __builtin_trap();
    CheckWrittenStore(kept);
    return 0;
}
