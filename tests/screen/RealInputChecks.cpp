#include "tests/screen/RealInputChecks.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <filesystem>

#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/RealInput.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"

namespace RealInput {

namespace {

constexpr int kFrameWaitMs = 10000;

bool Inside(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

void ExpectChildrenInside(HWND parent, const ScreenRect& parentRect) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        const std::optional<ScreenRect> rect = WindowRect(child);
        if (!rect)
            continue;  // not drawn (an empty rectangle)
        EXPECT_TRUE(Inside(*rect, parentRect))
            << GetClassName(child) << " " << GetDlgCtrlID(child) << " \"" << GetWindowText(child)
            << "\" at " << rect->x << "," << rect->y << " " << rect->width << "x" << rect->height
            << " is outside its parent at " << parentRect.x << "," << parentRect.y << " "
            << parentRect.width << "x" << parentRect.height;
        ExpectChildrenInside(child, *rect);
    }
}

}  // namespace

void ExpectLayoutFits(HWND top, int timeoutMs) {
    ASSERT_TRUE(WaitUntilShown(top, timeoutMs)) << GetWindowText(top);
    RECT client{};
    GetClientRect(top, &client);
    // The first size GTK gives the window may come a frame later than its mapping.
    std::optional<ScreenRect> rect;
    const bool sized = WaitUntil(
        [&] {
            rect = WindowRect(top);
            return rect && rect->width == client.right && rect->height == client.bottom;
        },
        timeoutMs);
    ASSERT_TRUE(rect);
    EXPECT_TRUE(sized) << GetWindowText(top) << ": the client area shows " << rect->width << "x"
                       << rect->height << ", the model's is " << client.right << "x"
                       << client.bottom;
    ExpectChildrenInside(top, *rect);
    EXPECT_EQ(CutTexts(top), std::vector<std::string>{}) << GetWindowText(top);
}

bool TypeInto(HWND edit, const std::string& text, int timeoutMs) {
    if (!Click(edit) || !WaitUntil([&] { return GetFocus() == edit; }, timeoutMs) ||
        !PressKey(kSelectAll) || !TypeText(text))
        return false;
    return WaitUntil([&] { return GetWindowText(edit) == text; }, timeoutMs);
}

bool SaveShot(HWND hwnd, const std::string& name) {
    GtkWidget* widget = ScreenWidgetOf(hwnd);
    if (widget == nullptr)
        return false;
    // Two frames, each asked for: the second begins after the first has been drawn.
    if (GdkFrameClock* clock = gtk_widget_get_frame_clock(widget)) {
        for (int drawn = 0; drawn < 2; ++drawn) {
            const gint64 frame = gdk_frame_clock_get_frame_counter(clock);
            gtk_widget_queue_draw(widget);
            WaitUntil([&] { return gdk_frame_clock_get_frame_counter(clock) > frame; },
                      kFrameWaitMs);
        }
    }
    const std::string path = ScreenshotPath(name);
    return SaveWindowScreenshot(hwnd, path) && std::filesystem::file_size(path) > 500;
}

namespace {

// The selector as a script's string literal.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

std::string AskPage(HWND control, const std::string& script, int timeoutMs) {
    std::string answer;
    return RunScriptInBrowserView(control, script, &answer, timeoutMs) ? answer : std::string();
}

}  // namespace

std::optional<ScreenRect> PageElementRect(HWND control, const std::string& selector,
                                          int timeoutMs) {
    const std::string answer =
        AskPage(control,
                "(function(){var e=document.querySelector(" + Quoted(selector) +
                    ");if(!e)return 'none';e.scrollIntoView({block:'nearest',inline:'nearest'});"
                    "var r=e.getBoundingClientRect();return [Math.round(r.left),Math.round(r.top),"
                    "Math.round(r.width),Math.round(r.height)].join(' ');})()",
                timeoutMs);
    ScreenRect rect;
    if (std::sscanf(answer.c_str(), "%d %d %d %d", &rect.x, &rect.y, &rect.width, &rect.height) !=
            4 ||
        rect.width <= 0 || rect.height <= 0)
        return std::nullopt;
    return rect;
}

bool ClickPageElement(HWND control, const std::string& selector, int timeoutMs) {
    const std::optional<ScreenRect> rect = PageElementRect(control, selector, timeoutMs);
    return rect && Click(control, rect->CentreX(), rect->CentreY());
}

bool TypeIntoPageField(HWND control, const std::string& selector, const std::string& text,
                       int timeoutMs) {
    const std::string focused =
        "document.activeElement===document.querySelector(" + Quoted(selector) + ")?'yes':'no'";
    const std::string value = "document.querySelector(" + Quoted(selector) + ").value";
    return ClickPageElement(control, selector, timeoutMs) &&
           WaitUntil([&] { return AskPage(control, focused, timeoutMs) == "yes"; }, timeoutMs) &&
           PressKey(kSelectAll) && TypeText(text) &&
           WaitUntil([&] { return AskPage(control, value, timeoutMs) == text; }, timeoutMs);
}

}  // namespace RealInput
