#include "platform/shell/Clipboard.h"

#include <mutex>

namespace {

struct ClipboardStore {
    std::mutex mutex;
    std::string text;
};

ClipboardStore& Store() {
    static ClipboardStore store;
    return store;
}

}  // namespace

void WriteClipboardText(std::string_view text) {
    const std::string_view kept = text.substr(0, text.find('\0'));
    ClipboardStore& store = Store();
    std::lock_guard<std::mutex> guard(store.mutex);
    store.text.assign(kept);
}

std::string ReadClipboardText() {
    ClipboardStore& store = Store();
    std::lock_guard<std::mutex> guard(store.mutex);
    return store.text;
}
