// Icons on the screen: a window's icons reach the X server as its window manager icons,
// an icon control shows its icon, and each message box shows the picture of the icon
// kind it asks for (none when it asks for none).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "platform/gdi/GdiIcons.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/screen/Screen.h"
#include "platform/ui/screen/ScreenWidgets.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenLayoutChecks.h"
#include "tests/screen/ScreenTestSupport.h"

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kAboutBox = 100;  // Tallowmere's About box: its icon 128, two lines, OK

GtkWidget* FindNamed(GtkWidget* widget, const char* name) {
    if (g_strcmp0(gtk_widget_get_name(widget), name) == 0)
        return widget;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child != nullptr;
         child = gtk_widget_get_next_sibling(child))
        if (GtkWidget* found = FindNamed(child, name))
            return found;
    return nullptr;
}

GtkWindow* ShownWindowTitled(const std::string& title) {
    GListModel* windows = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
        auto* window = static_cast<GtkWindow*>(g_list_model_get_item(windows, i));
        g_object_unref(window);  // the list keeps it
        if (gtk_widget_get_mapped(GTK_WIDGET(window)) &&
            g_strcmp0(gtk_window_get_title(window), title.c_str()) == 0)
            return window;
    }
    return nullptr;
}

// The colour (0xRRGGBB) of a texture's pixel.
unsigned ColourAt(GdkTexture* texture, int x, int y) {
    const int width = gdk_texture_get_width(texture);
    const int height = gdk_texture_get_height(texture);
    std::vector<guint32> pixels(static_cast<std::size_t>(width) * height);
    gdk_texture_download(texture, reinterpret_cast<guchar*>(pixels.data()),
                         static_cast<gsize>(width) * 4);
    return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
}

bool Near(unsigned colour, unsigned expected) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((colour >> shift) & 0xFF);
        const int b = static_cast<int>((expected >> shift) & 0xFF);
        if (a - b > 24 || b - a > 24)
            return false;
    }
    return true;
}

TEST(IconScreenTest, AWindowsIconsReachTheWindowManagerAndItsIconControlShowsOne) {
    SKIP_WITHOUT_SCREEN();
    const HICON icon = LoadIcon(ThisModule(), 128);
    ASSERT_NE(icon, nullptr);
    CDialog about(kAboutBox);
    ASSERT_TRUE(about.Create());
    about.SetIcon(icon, TRUE);
    about.SetIcon(icon, FALSE);
    about.ShowWindow(SW_SHOW);
    unsigned long middle = 0;
    std::vector<std::string> sizes;
    ASSERT_TRUE(PumpScreenUntil(
        [&] { return !(sizes = WindowManagerIconSizes(about.m_hWnd, &middle)).empty(); },
        kTimeoutMs));
    EXPECT_EQ(sizes, std::vector<std::string>{"32x32"});
    std::vector<DWORD> pixels;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetIconPixels(icon, &width, &height, &pixels));
    EXPECT_EQ(middle, pixels[static_cast<std::size_t>(height / 2) * width + width / 2]);

    // The icon control of the box shows the icon at its size.
    GtkWidget* image = nullptr;
    for (HWND child = GetWindow(about.m_hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GtkWidget* widget = ScreenWidgetOf(child); widget && GTK_IS_IMAGE(widget))
            image = widget;
    ASSERT_NE(image, nullptr);
    GdkPaintable* shown = gtk_image_get_paintable(GTK_IMAGE(image));
    ASSERT_TRUE(shown && GDK_IS_TEXTURE(shown));
    EXPECT_EQ(gdk_texture_get_width(GDK_TEXTURE(shown)), 32);
    EXPECT_EQ(ColourAt(GDK_TEXTURE(shown), 16, 16),
              pixels[static_cast<std::size_t>(16 * 32 + 16)] & 0xFFFFFF);
    EXPECT_EQ(CutTexts(about.m_hWnd), std::vector<std::string>{});
    ASSERT_TRUE(SaveWindowScreenshot(about.m_hWnd, ScreenshotPath("tallowmere-about")));

    // A new icon is shown as the window's.
    DWORD square[16 * 16];
    for (DWORD& pixel : square)
        pixel = 0xFFC00000;
    const HICON red = CreateIconFromPixels(16, 16, square);
    about.SetIcon(red, TRUE);
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            sizes = WindowManagerIconSizes(about.m_hWnd, &middle);
            return sizes.size() == 2 && sizes[0] == "16x16";
        },
        kTimeoutMs))
        << (sizes.empty() ? "" : sizes[0]);
    EXPECT_EQ(middle, 0xFFC00000u);
    about.DestroyWindow();
    DestroyIcon(red);
}

TEST(IconScreenTest, EachMessageBoxShowsItsIconKind) {
    SKIP_WITHOUT_SCREEN();
    UseScreenDialogs();  // the test program's check comes back after the test
    struct Case {
        const char* name;
        UINT type;
        int answer;
        bool icon;
        int x, y;         // a point of its picture beside the mark
        unsigned colour;  // the colour there (0xRRGGBB, near enough)
    };
    const Case cases[] = {
        {"information", MB_OK | MB_ICONINFORMATION, IDOK, true, 5, 16, 0x2159B5},
        {"question", MB_YESNO | MB_ICONQUESTION, IDYES, true, 5, 16, 0x2159B5},
        {"warning", MB_OK | MB_ICONEXCLAMATION, IDOK, true, 10, 26, 0xF5C71F},
        {"error", MB_OK | MB_ICONHAND, IDOK, true, 5, 16, 0xCC2424},
        {"plain", MB_OK, IDOK, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        struct Seen {
            const Case* c;
            bool found = false;
            bool hasIcon = false;
            unsigned colour = 0;
            bool saved = false;
        } seen{&c};
        // The box runs its own loop: a timeout served there looks at it and answers it.
        const guint source = g_timeout_add(
            10,
            [](gpointer data) -> gboolean {
                auto* seen = static_cast<Seen*>(data);
                GtkWindow* box = ShownWindowTitled(std::string("box ") + seen->c->name);
                if (box == nullptr || seen->found || gtk_widget_get_width(GTK_WIDGET(box)) <= 0)
                    return G_SOURCE_CONTINUE;
                seen->found = true;
                if (GtkWidget* image = FindNamed(GTK_WIDGET(box), "morvelle-message-icon")) {
                    GdkPaintable* picture = gtk_image_get_paintable(GTK_IMAGE(image));
                    seen->hasIcon = picture != nullptr && GDK_IS_TEXTURE(picture);
                    if (seen->hasIcon)
                        seen->colour = ColourAt(GDK_TEXTURE(picture), seen->c->x, seen->c->y);
                }
                seen->saved = SaveWidgetScreenshot(
                    GTK_WIDGET(box), ScreenshotPath(std::string("message-box-") + seen->c->name));
                gtk_dialog_response(GTK_DIALOG(box), seen->c->answer);
                return G_SOURCE_CONTINUE;
            },
            &seen);
        const int answer = MessageBox(nullptr, std::string("A message: ") + c.name,
                                      std::string("box ") + c.name, c.type);
        g_source_remove(source);
        EXPECT_EQ(answer, c.answer);
        ASSERT_TRUE(seen.found);
        EXPECT_TRUE(seen.saved);
        EXPECT_EQ(seen.hasIcon, c.icon);
        if (c.icon) {
            EXPECT_TRUE(Near(seen.colour, c.colour)) << std::hex << seen.colour;
        }
    }
}

}  // namespace
