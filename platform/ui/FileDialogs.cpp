#include "platform/ui/FileDialogs.h"

#include <atomic>

#include "platform/trace/Trace.h"

namespace {

// There is no display to show a dialog on: every dialog is cancelled at once.
class CancellingDialogService : public DialogService {
public:
    std::string BrowseForFolder(const FolderDialogRecord& dialog) override {
        Trace("ui", "folder dialog \"%s\" cancelled: no display", dialog.title.c_str());
        return {};
    }
    std::string ChooseFile(const FileDialogRecord& dialog) override {
        Trace("ui", "%s dialog cancelled: no display", dialog.save ? "save" : "open");
        return {};
    }
};

CancellingDialogService cancelling;
std::atomic<DialogService*> installed{nullptr};

DialogService& Service() {
    DialogService* service = installed.load();
    return service ? *service : cancelling;
}

}  // namespace

DialogService& DefaultDialogService() {
    return cancelling;
}

void SetDialogService(DialogService* service) {
    installed.store(service);
}

std::string ShowFolderDialog(const FolderDialogRecord& dialog) {
    return Service().BrowseForFolder(dialog);
}

std::string ShowFileDialog(const FileDialogRecord& dialog) {
    return Service().ChooseFile(dialog);
}
