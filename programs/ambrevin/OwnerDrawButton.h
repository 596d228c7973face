// The page image finder's push buttons: flat, owner-drawn, with hover tracking and six
// state colours; a button may also show a drop-down menu, a hover cursor, a tooltip
// control, or the parent's background under it. ButtonBase is the plain button class
// they derive from (the "Stay on this site" check box is one). The state changes (mouse
// over, leave, focus, check) and the drawing rules are here; the window messages reach
// them through the button's subclassed window (SubclassWindow makes it BS_OWNERDRAW),
// and the parent hands the button its WM_DRAWITEM (OnDrawItem), its BN_CLICKED
// (OnClicked) and its WM_CTLCOLORBTN (as kReflectedColorRequest).
//
// Threading: the button's window thread only.
#pragma once

#include <string>
#include <string_view>

#include "platform/gdi/Gdi.h"
#include "platform/ui/CommonControls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Dialog.h"
#include "platform/window/Window.h"
#include "programs/ambrevin/OwnerDrawMenu.h"

class ButtonBase : public CButton {
public:
    ~ButtonBase() override;
};

// What a draw request says of the button.
struct ButtonDrawState {
    bool selected = false;  // the button is held down
    bool focused = false;
    bool disabled = false;
};

// A parent hands a control's own notifications back to it at this offset: the colour
// request of a button comes back as kReflectedColorRequest.
constexpr UINT kReflectedMessageBase = 0x2000;
constexpr UINT kReflectedColorRequest = kReflectedMessageBase + WM_CTLCOLORBTN;

class OwnerDrawButton : public ButtonBase {
public:
    // The colour indexes.
    enum ColorIndex {
        kBackgroundIn = 0,  // mouse over the button
        kForegroundIn = 1,
        kBackgroundOut = 2,  // otherwise
        kForegroundOut = 3,
        kBackgroundFocus = 4,
        kForegroundFocus = 5,
        kColorCount = 6,
    };
    // Results of the colour calls.
    static constexpr DWORD kOk = 0;
    static constexpr DWORD kInvalidIndex = 3;
    static constexpr DWORD kBadParameter = 5;
    // The most bytes of a URL kept (the rest is dropped).
    static constexpr size_t kMaxUrlBytes = 259;

    OwnerDrawButton();
    ~OwnerDrawButton() override;

    // Binds the object to the button window and subclasses it: the style's type is
    // remembered (a check box sets check-box mode, a default push button the default
    // flag) and becomes BS_OWNERDRAW.
    bool SubclassWindow(HWND hwnd) override;
    // The parent's WM_DRAWITEM for this button: draws it with its window text. FALSE when
    // the record is not this button's.
    BOOL OnDrawItem(const DRAWITEMSTRUCT& draw);
    // The drop-down menu: once it holds a sub-menu, a click shows the first one under
    // the button and posts the chosen command to the menu's command window.
    OwnerDrawMenu& DropDownMenu() { return menu_; }
    void SetMenuCommandWindow(HWND window) { menuCommandWindow_ = window; }
    bool MenuShown() const { return menuShown_; }

    // The cursor shown while the pointer is over the button (null: the default); the
    // button owns it and destroys it when it is replaced or the button goes.
    void SetHoverCursor(HCURSOR cursor);
    // Transparent mode: the button draws the parent's background under it (copied once,
    // taken again after a system colour change) in place of its background colour.
    void SetTransparent(bool on, bool repaint = true);
    bool HasBackgroundCopy() const { return backgroundDc_ != nullptr; }
    // The tooltip control, made on the first mouse message relayed to it (null before).
    HWND ToolTip() const { return tooltip_; }

    // Adds offset (-255..255) to red, green and blue of a colour, first limited so that
    // none leaves 0..255. kInvalidIndex / kBadParameter change nothing.
    DWORD OffsetColor(int index, int offset, bool repaint = true);
    // Backgrounds to the button-face colour, texts to the button-text colour.
    DWORD SetDefaultColors(bool repaint = true);
    COLORREF Color(int index) const;

    // The address opened on a click (at most kMaxUrlBytes bytes kept).
    void SetURL(std::string_view url);
    const std::string& URL() const { return url_; }

    // Check-box mode and its state: 1 or 2 checks, anything else clears.
    void SetCheckBoxMode(bool on) { checkBoxMode_ = on; }
    void SetCheck(int check, bool repaint = true);
    int GetCheck() const { return checked_ ? 1 : 0; }
    void SetFlat(bool flat, bool repaint = true);
    bool MouseOver() const { return mouseOver_; }
    bool IsDefault() const { return isDefault_; }

    // --- what the window's messages do ---
    // The mouse moved over the client area: leftButtonDown, whether the window under
    // the cursor is this button, whether the dialog is the active window. True when the
    // hover started (a mouse-leave notification is then wanted).
    bool OnMouseMove(bool leftButtonDown, bool cursorOnThis, bool dialogActive);
    // Mouse leave, cancel mode, kill focus, deactivation, disabling: the hover ends.
    void CancelHover();
    // BM_SETSTYLE: push button (0) or default push button (1) set the default flag.
    void OnSetStyle(DWORD style);
    // The reflected click: takes the focus; in check-box mode flips the check; else,
    // with a drop-down menu, shows it (the button pressed while it is open); else opens
    // the URL when one is set.
    void OnClicked();

    // Draws the button on dc within rect, with text, as a draw request of that state.
    void Draw(HDC dc, RECT rect, const ButtonDrawState& state, const std::string& text);

protected:
    // Sets one colour as it stands (for the classes that draw their own way).
    void SetColorValue(int index, COLORREF colour) {
        if (index >= 0 && index < kColorCount)
            colors_[index] = colour;
    }
    virtual void OnDrawBackground(HDC dc, const RECT& rect);
    virtual void OnDrawBorder(HDC dc, const RECT& rect);

private:
    class WindowHook : public WindowHandler {
    public:
        explicit WindowHook(OwnerDrawButton& button) : button_(button) {}
        LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
        WindowHandler* previous = nullptr;

    private:
        LRESULT Default(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
        OwnerDrawButton& button_;
    };

    void Repaint();
    // Disabled: the focus, when the button held it, goes to the parent's next tab item.
    void PassFocusOn();
    void ShowDropDownMenu();
    // Hands a mouse message of the button to the tooltip control, made first when there
    // is none (inactive, tips at most 400 pixels wide).
    void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
    // Draws the copy of the parent's background, taking it first when there is none.
    void DrawBackgroundCopy(HDC dc, const RECT& rect);
    void DropBackgroundCopy();

    bool flat_ = true;
    bool mouseOver_ = false;
    bool transparent_ = false;
    bool pressed_ = false;
    bool focused_ = false;
    bool disabled_ = false;
    bool isDefault_ = false;
    bool checkBoxMode_ = false;
    bool checked_ = false;
    bool drawBorder_ = true;
    bool alwaysDrawBorder_ = true;
    bool drawFlatFocus_ = false;
    bool alwaysTrack_ = true;
    bool menuShown_ = false;
    COLORREF colors_[kColorCount] = {};
    std::string url_;
    OwnerDrawMenu menu_;
    HWND menuCommandWindow_ = nullptr;
    HWND tooltip_ = nullptr;  // a popup made by the button; it goes with the button's window
    HCURSOR hoverCursor_ = nullptr;
    // The parent's background under the button: a memory context, its bitmap, and the
    // bitmap it held before.
    HDC backgroundDc_ = nullptr;
    HBITMAP backgroundBitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    WindowHook hook_{*this};
};
