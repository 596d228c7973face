#include "platform/ui/MessageBox.h"

#include <atomic>
#include <deque>
#include <mutex>

#include "platform/trace/Trace.h"

namespace {

// Records every box, keeping the latest kRecordedMessageBoxLimit, and answers with its
// default button; never blocks.
class RecordingMessageBoxService : public MessageBoxService {
public:
    int Show(const MessageBoxRecord& box) override {
        Trace("ui", "message box \"%s\": %s", box.caption.c_str(), box.text.c_str());
        std::lock_guard<std::mutex> guard(mutex_);
        records_.push_back(box);
        if (records_.size() > kRecordedMessageBoxLimit)
            records_.pop_front();
        return DefaultMessageBoxAnswer(box.type);
    }

    std::vector<MessageBoxRecord> Records() {
        std::lock_guard<std::mutex> guard(mutex_);
        return {records_.begin(), records_.end()};
    }

    void Clear() {
        std::lock_guard<std::mutex> guard(mutex_);
        records_.clear();
    }

private:
    std::mutex mutex_;
    std::deque<MessageBoxRecord> records_;
};

RecordingMessageBoxService& Recorder() {
    static RecordingMessageBoxService recorder;
    return recorder;
}

std::atomic<MessageBoxService*> installed{nullptr};

}  // namespace

int DefaultMessageBoxAnswer(UINT type) {
    const UINT buttons = type & 0xF;
    const int defaultIndex = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    switch (buttons) {
        case MB_OKCANCEL:
            return defaultIndex == 0 ? IDOK : IDCANCEL;
        case MB_YESNO:
            return defaultIndex == 0 ? IDYES : IDNO;
        case MB_YESNOCANCEL:
            return defaultIndex == 0 ? IDYES : defaultIndex == 1 ? IDNO : IDCANCEL;
        default:
            return IDOK;
    }
}

MessageBoxService& DefaultMessageBoxService() {
    return Recorder();
}

void SetMessageBoxService(MessageBoxService* service) {
    installed.store(service);
}

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    MessageBoxRecord box{owner, std::string(text), std::string(caption), type};
    MessageBoxService* service = installed.load();
    return service ? service->Show(box) : Recorder().Show(box);
}

std::vector<MessageBoxRecord> RecordedMessageBoxes() {
    return Recorder().Records();
}

void ClearRecordedMessageBoxes() {
    Recorder().Clear();
}
