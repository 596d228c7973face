// The registry store's file reader: any text is refused or read; a text that is read
// is written back as a store that reads to the same tree and the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry/RegistryStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RegistryTree tree;
    std::string error;
    if (!ParseRegistryStore(text, &tree, &error))
        return 0;
    const std::string written = FormatRegistryStore(tree);
    RegistryTree again;
    if (!ParseRegistryStore(written, &again, &error))
        __builtin_trap();
    if (FormatRegistryStore(again) != written)
        __builtin_trap();
    return 0;
}
