#include "platform/ui/FontDialog.h"

#include <atomic>

#include "platform/trace/Trace.h"

namespace {

// There is no display to show a dialog on: the dialog is cancelled at once.
class CancellingFontDialogService : public FontDialogService {
public:
    bool ChooseFont(HWND, DWORD, LOGFONT*) override {
        Trace("ui", "font dialog cancelled: no display");
        return false;
    }
};

CancellingFontDialogService cancelling;
std::atomic<FontDialogService*> installed{nullptr};

}  // namespace

void SetFontDialogService(FontDialogService* service) {
    installed.store(service);
}

BOOL ChooseFont(CHOOSEFONT* choice) {
    if (choice == nullptr || choice->lStructSize != sizeof(CHOOSEFONT) ||
        choice->lpLogFont == nullptr)
        return FALSE;
    FontDialogService* service = installed.load();
    LOGFONT font = *choice->lpLogFont;
    if ((choice->Flags & CF_INITTOLOGFONTSTRUCT) == 0)
        font = LOGFONT{};
    if (!(service != nullptr ? *service : cancelling)
             .ChooseFont(choice->hwndOwner, choice->Flags, &font))
        return FALSE;
    *choice->lpLogFont = font;
    return TRUE;
}
