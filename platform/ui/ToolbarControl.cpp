// The toolbar's handler: its buttons and strings live here, on the control's thread.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ui/CommonControlsInternal.h"
#include "platform/ui/Toolbar.h"
#include "platform/window/Presentation.h"

namespace {

class ToolbarControl final : public WindowHandler {
public:
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        hwnd_ = hwnd;
        const int id = static_cast<int>(wParam);
        switch (message) {
            case TB_BUTTONSTRUCTSIZE:
                structSize_ = static_cast<std::size_t>(wParam);
                return 0;
            case TB_ADDBUTTONS:
                return Insert(static_cast<int>(buttons_.size()), static_cast<int>(wParam),
                              reinterpret_cast<const TBBUTTON*>(lParam));
            case TB_INSERTBUTTON:
                return Insert(id, 1, reinterpret_cast<const TBBUTTON*>(lParam));
            case TB_DELETEBUTTON:
                if (!HasIndex(id))
                    return FALSE;
                buttons_.erase(buttons_.begin() + id);
                Changed(message);
                return TRUE;
            case TB_GETBUTTON:
                if (!HasIndex(id) || lParam == 0)
                    return FALSE;
                *reinterpret_cast<TBBUTTON*>(lParam) = buttons_[static_cast<std::size_t>(id)];
                return TRUE;
            case TB_BUTTONCOUNT:
                return static_cast<LRESULT>(buttons_.size());
            case TB_COMMANDTOINDEX:
                return IndexOf(id);
            case TB_ADDSTRING:
                return AddStrings(wParam, reinterpret_cast<const char*>(lParam));
            case TB_GETITEMRECT:
                return ItemRect(id, reinterpret_cast<RECT*>(lParam));
            case TB_SETBUTTONSIZE:
                buttonWidth_ = std::max<int>(LOWORD(static_cast<std::uintptr_t>(lParam)), 1);
                buttonHeight_ = std::max<int>(HIWORD(static_cast<std::uintptr_t>(lParam)), 1);
                Changed(message);
                return TRUE;
            case TB_GETBUTTONSIZE:
                return MAKELPARAM(static_cast<WORD>(buttonWidth_),
                                  static_cast<WORD>(buttonHeight_));
            case TB_AUTOSIZE:
                Changed(message);
                return 0;
            case TB_SETPARENT: {
                HWND old = Owner();
                owner_ = reinterpret_cast<HWND>(wParam);
                return reinterpret_cast<LRESULT>(old);
            }
            case TB_SETIMAGELIST: {
                HIMAGELIST old = images_;
                images_ = reinterpret_cast<HIMAGELIST>(lParam);
                Changed(message);
                return reinterpret_cast<LRESULT>(old);
            }
            case TB_GETIMAGELIST:
                return reinterpret_cast<LRESULT>(images_);
            case TB_SETMAXTEXTROWS:
                maxTextRows_ = id;
                return TRUE;
            case TB_SETEXTENDEDSTYLE: {
                const DWORD old = extendedStyle_;
                extendedStyle_ = static_cast<DWORD>(lParam);
                return old;
            }
            case TB_GETEXTENDEDSTYLE:
                return extendedStyle_;
            case TB_ENABLEBUTTON:
                return ChangeState(id, TBSTATE_ENABLED, lParam != 0);
            case TB_CHECKBUTTON:
                return ChangeState(id, TBSTATE_CHECKED, lParam != 0);
            case TB_ISBUTTONENABLED:
                return IndexOf(id) >= 0 && (ButtonOf(id).fsState & TBSTATE_ENABLED);
            case TB_ISBUTTONCHECKED:
                return IndexOf(id) >= 0 && (ButtonOf(id).fsState & TBSTATE_CHECKED);
            case TB_SETSTATE:
                if (IndexOf(id) < 0)
                    return FALSE;
                ButtonOf(id).fsState = static_cast<BYTE>(lParam);
                Changed(message);
                return TRUE;
            case TB_GETSTATE:
                return IndexOf(id) < 0 ? -1 : ButtonOf(id).fsState;
            case TB_GETBUTTONTEXT:
                return GetText(id, reinterpret_cast<char*>(lParam));
            case UIM_TOOLBAR_CLICK:
                return Click(id);
            case UIM_TOOLBAR_HOVER:
                return Hover(id, reinterpret_cast<std::string*>(lParam));
            default:
                return DefWindowProc(hwnd, message, wParam, lParam);
        }
    }

private:
    void Changed(UINT message) { PresentControlContent(hwnd_, message); }
    bool HasIndex(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < buttons_.size();
    }
    int IndexOf(int id) const {
        for (std::size_t i = 0; i < buttons_.size(); ++i) {
            if (buttons_[i].idCommand == id && !(buttons_[i].fsStyle & BTNS_SEP))
                return static_cast<int>(i);
        }
        return -1;
    }
    TBBUTTON& ButtonOf(int id) { return buttons_[static_cast<std::size_t>(IndexOf(id))]; }
    HWND Owner() const { return owner_ != nullptr ? owner_ : GetParent(hwnd_); }

    std::string TextOf(const TBBUTTON& button) const {
        if (button.iString >= 0 && static_cast<std::size_t>(button.iString) < strings_.size())
            return strings_[static_cast<std::size_t>(button.iString)];
        return std::string();
    }

    LRESULT Insert(int at, int count, const TBBUTTON* buttons) {
        if (structSize_ != sizeof(TBBUTTON) || buttons == nullptr || count < 0 || at < 0)
            return FALSE;
        at = std::min(at, static_cast<int>(buttons_.size()));
        buttons_.insert(buttons_.begin() + at, buttons, buttons + count);
        Changed(TB_ADDBUTTONS);
        return TRUE;
    }

    LRESULT AddStrings(WPARAM module, const char* texts) {
        if (module != 0 || texts == nullptr)
            return -1;  // strings from a module's resources are not offered
        const int first = static_cast<int>(strings_.size());
        for (const char* text = texts; *text != '\0'; text += std::strlen(text) + 1)
            strings_.emplace_back(text);
        return first;
    }

    int WidthOf(const TBBUTTON& button) const {
        if (button.fsStyle & BTNS_SEP)
            return 8;
        if (!(button.fsStyle & BTNS_AUTOSIZE))
            return buttonWidth_;
        int imageWidth = 16, imageHeight = 16;
        ImageList_GetIconSize(images_, &imageWidth, &imageHeight);
        const std::string text = TextOf(button);
        const bool list = (GetWindowLong(hwnd_, GWL_STYLE) & TBSTYLE_LIST) != 0;
        const bool shown =
            !text.empty() && maxTextRows_ != 0 && (!list || (button.fsStyle & BTNS_SHOWTEXT));
        return imageWidth + 8 + (shown ? TextWidth(text) + 6 : 0);
    }

    LRESULT ItemRect(int index, RECT* rect) const {
        if (!HasIndex(index) || rect == nullptr)
            return FALSE;
        int left = 0;
        for (int i = 0; i < index; ++i) {
            if (!(buttons_[static_cast<std::size_t>(i)].fsState & TBSTATE_HIDDEN))
                left += WidthOf(buttons_[static_cast<std::size_t>(i)]);
        }
        const TBBUTTON& button = buttons_[static_cast<std::size_t>(index)];
        const int width = (button.fsState & TBSTATE_HIDDEN) ? 0 : WidthOf(button);
        *rect = RECT{left, 0, left + width, buttonHeight_};
        return TRUE;
    }

    LRESULT ChangeState(int id, BYTE bit, bool on) {
        if (IndexOf(id) < 0)
            return FALSE;
        TBBUTTON& button = ButtonOf(id);
        button.fsState = static_cast<BYTE>(on ? (button.fsState | bit) : (button.fsState & ~bit));
        Changed(TB_SETSTATE);
        return TRUE;
    }

    LRESULT GetText(int id, char* buffer) const {
        const int index = IndexOf(id);
        if (index < 0)
            return -1;
        const std::string text = TextOf(buttons_[static_cast<std::size_t>(index)]);
        if (buffer != nullptr)
            std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }

    // A click of an enabled, shown button: it shows pressed, a check button toggles, and
    // the owner gets the command.
    LRESULT Click(int id) {
        const int index = IndexOf(id);
        if (index < 0)
            return FALSE;
        TBBUTTON& button = buttons_[static_cast<std::size_t>(index)];
        if (!(button.fsState & TBSTATE_ENABLED) || (button.fsState & TBSTATE_HIDDEN))
            return FALSE;
        if (button.fsStyle & BTNS_CHECK)
            button.fsState ^= TBSTATE_CHECKED;
        Changed(TB_SETSTATE);
        SendMessage(Owner(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0),
                    reinterpret_cast<LPARAM>(hwnd_));
        return TRUE;
    }

    LRESULT Hover(int id, std::string* tip) {
        const int index = IndexOf(id);
        if (index < 0 || !(GetWindowLong(hwnd_, GWL_STYLE) & TBSTYLE_TOOLTIPS))
            return FALSE;
        const std::string text = TextOf(buttons_[static_cast<std::size_t>(index)]);
        NMTTDISPINFO info;
        info.hdr.hwndFrom = hwnd_;
        info.hdr.idFrom = static_cast<UINT_PTR>(static_cast<unsigned>(id));
        info.hdr.code = TTN_GETDISPINFO;
        SendMessage(Owner(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info.hdr));
        std::string shown;
        if (info.lpszText != nullptr && info.lpszText != info.szText)
            shown = info.lpszText;
        else
            shown.assign(info.szText, strnlen(info.szText, sizeof info.szText));
        if (shown.empty())
            shown = text;
        if (tip != nullptr)
            *tip = shown;
        return TRUE;
    }

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;  // TB_SETPARENT's window; the parent when null
    std::size_t structSize_ = sizeof(TBBUTTON);
    std::vector<TBBUTTON> buttons_;
    std::vector<std::string> strings_;
    HIMAGELIST images_ = nullptr;  // not owned, as on the platform
    int buttonWidth_ = kDefaultButtonWidth;
    int buttonHeight_ = kDefaultButtonHeight;
    int maxTextRows_ = 1;
    DWORD extendedStyle_ = 0;
};

}  // namespace

std::unique_ptr<WindowHandler> MakeToolbarControl() {
    return std::make_unique<ToolbarControl>();
}

std::string ToolbarButtonText(HWND toolbar, int commandId) {
    const LRESULT length =
        SendMessage(toolbar, TB_GETBUTTONTEXT, static_cast<WPARAM>(commandId), 0);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessage(toolbar, TB_GETBUTTONTEXT, static_cast<WPARAM>(commandId),
                reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}
