// A person's keyboard and pointer for the screen tests: input sent through the X server
// with its XTEST extension, at the places the widgets really have on the X screen, so it
// takes the same road as a person's keys and mouse (X server, GTK's event handling, the
// widget, the presentation, the model). Nothing here calls the model's input calls
// (UserInput, ControlInput) or GTK's own activation; the tests read the model afterwards.
//
// Xvfb runs no window manager: nothing gives a window the keyboard focus when it is
// clicked or shown, so FocusWindow gives the X input focus to a top-level window as a
// window manager would (the input calls below do it for the window they act on), and
// RaiseWindow brings a window to the top of the stack when another covers it.
//
// Main thread only (GTK's). X11's headers stay in RealInput.cpp.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Types.h"

typedef struct _GtkWidget GtkWidget;

namespace RealInput {

// A rectangle on the X screen, in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
    bool Holds(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// A key as the keyboard gives it: an X key symbol and whether Shift or Control is held.
struct Key {
    unsigned long keysym = 0;
    bool shift = false;
    bool control = false;
};
inline constexpr Key kEnter{0xff0d};
inline constexpr Key kEscape{0xff1b};
inline constexpr Key kTab{0xff09};
inline constexpr Key kShiftTab{0xff09, true};
inline constexpr Key kBackspace{0xff08};
inline constexpr Key kDelete{0xffff};
inline constexpr Key kLeft{0xff51};
inline constexpr Key kRight{0xff53};
inline constexpr Key kHome{0xff50};
inline constexpr Key kEnd{0xff57};
inline constexpr Key kShiftHome{0xff50, true};
inline constexpr Key kShiftEnd{0xff57, true};
inline constexpr Key kSelectAll{'a', false, true};

// Whether input can be sent: an X display that GTK draws on, with the XTEST extension.
// The reason when not.
bool Available(std::string* reason = nullptr);

// Where a widget is on the X screen (its allocation), once it is mapped and has a size.
std::optional<ScreenRect> WidgetRect(GtkWidget* widget);
// Where the widget showing a model window is (the window's whole rectangle).
std::optional<ScreenRect> WindowRect(HWND hwnd);
// Waits until the model window's widget is mapped, has its size and is not covered at
// its centre by another X window; false after timeoutMs.
bool WaitUntilShown(HWND hwnd, int timeoutMs);

// The top-level X window of the widget's GTK window gets the keyboard focus, or comes to
// the top of the stack. False when it has none.
bool FocusWindow(GtkWidget* widget);
bool RaiseWindow(GtkWidget* widget);

// The pointer.
bool MovePointerTo(int x, int y);
// To a point of the widget showing hwnd (its top-left counts 0, 0); the centre when the
// point is left out.
bool MovePointerOver(HWND hwnd, std::optional<int> x = std::nullopt,
                     std::optional<int> y = std::nullopt);
// Moves the pointer to a corner of the screen outside every window of the test.
bool MovePointerAway();
bool PressButton(int button = 1);
bool ReleaseButton(int button = 1);
// Moves to the point (the centre by default), then presses and releases the left button;
// the window's top-level gets the keyboard focus first.
bool Click(HWND hwnd, std::optional<int> x = std::nullopt, std::optional<int> y = std::nullopt);
bool ClickWidget(GtkWidget* widget);
bool ClickAt(int x, int y);

// The keyboard, to the window that has the X input focus. Text is ASCII: each character
// as the key (with Shift when the keymap puts it there) that types it; false for a
// character the keymap cannot type.
bool TypeText(std::string_view text);
bool PressKey(const Key& key);

// While it lives, answers each message box GTK shows with keys, as a person would: the
// box gets the keyboard focus, then the keys go to it, one per box (the last key again
// once the list is used up). The texts of the boxes answered are kept, in order. It puts
// the screen's message boxes back in place of a test's service (the test program's
// check of unexpected boxes takes its place again after the test).
class MessageBoxAnswers {
public:
    explicit MessageBoxAnswers(std::vector<Key> keys);
    ~MessageBoxAnswers();
    MessageBoxAnswers(const MessageBoxAnswers&) = delete;
    MessageBoxAnswers& operator=(const MessageBoxAnswers&) = delete;

    const std::vector<std::string>& Texts() const { return texts_; }

private:
    static int Tick(void* self);

    std::vector<Key> keys_;
    std::vector<std::string> texts_;
    void* focusing_ = nullptr;  // the box given the focus, not yet answered
    std::vector<void*> answered_;
    unsigned source_ = 0;
};

// Serves GTK and the model until done() answers true (true) or timeoutMs pass (false).
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace RealInput
