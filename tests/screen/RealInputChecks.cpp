#include "tests/screen/RealInputChecks.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>

#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/RealInput.h"
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

// Whether the label's text shows whole in the size it was given.
bool LabelFits(GtkWidget* label, int* needWidth, int* needHeight) {
    const int width = gtk_widget_get_width(label);
    const int height = gtk_widget_get_height(label);
    PangoLayout* layout = gtk_label_get_layout(GTK_LABEL(label));
    int layoutWidth = 0;
    int layoutHeight = 0;
    pango_layout_get_pixel_size(layout, &layoutWidth, &layoutHeight);
    *needWidth = layoutWidth;
    *needHeight = layoutHeight;
    return !pango_layout_is_ellipsized(layout) && layoutWidth <= width && layoutHeight <= height;
}

void CollectCutLabels(GtkWidget* widget, const std::string& owner, std::vector<std::string>* cut) {
    if (GTK_IS_LABEL(widget) && gtk_widget_get_mapped(widget) &&
        *gtk_label_get_text(GTK_LABEL(widget)) != '\0') {
        int needWidth = 0;
        int needHeight = 0;
        if (!LabelFits(widget, &needWidth, &needHeight))
            cut->push_back(owner + " \"" + gtk_label_get_text(GTK_LABEL(widget)) + "\" (needs " +
                           std::to_string(needWidth) + " by " + std::to_string(needHeight) +
                           ", has " + std::to_string(gtk_widget_get_width(widget)) + " by " +
                           std::to_string(gtk_widget_get_height(widget)) + ")");
    }
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child))
        CollectCutLabels(child, owner, cut);
}

void CollectCutTexts(HWND parent, std::vector<std::string>* cut) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        const std::string kind = GetControlClassName(child);
        if (g_ascii_strcasecmp(kind.c_str(), "STATIC") == 0 ||
            g_ascii_strcasecmp(kind.c_str(), "BUTTON") == 0) {
            if (GtkWidget* widget = ScreenWidgetOf(child))
                CollectCutLabels(widget, kind + " " + std::to_string(GetDlgCtrlID(child)), cut);
        }
        CollectCutTexts(child, cut);
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
}

std::vector<std::string> TextsThatDoNotFit(HWND top) {
    std::vector<std::string> cut;
    CollectCutTexts(top, &cut);
    return cut;
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

}  // namespace RealInput
