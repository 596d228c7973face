#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiIcons.h"
#include "platform/ui/Dialog.h"

namespace {

// tests/fixtures/resources/program.manifest: icon 128 is a PNG of 4 x 2 pixels, 129 a
// GIF picture and 130 an empty file.
constexpr int kIcon = 128;

TEST(IconResourceTest, AModulesPngIconIsReadOnceAndShared) {
    const HICON icon = LoadIcon(ThisModule(), kIcon);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(ThisModule(), kIcon), icon);
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    ASSERT_TRUE(GetIconPixels(icon, &width, &height, &pixels));
    ASSERT_EQ(width, 4);
    ASSERT_EQ(height, 2);
    struct Expected {
        int index;
        DWORD pixel;  // 0xAARRGGBB
    };
    const Expected opaque[] = {{0, 0xFFFF0000}, {3, 0xFF0000FF}, {4, 0xFFFFFFFF},
                               {5, 0xFF0A141E}, {7, 0xFF000000}, {2, 0x00000000}};
    for (const Expected& e : opaque)
        EXPECT_EQ(pixels[static_cast<std::size_t>(e.index)], e.pixel) << e.index;
    // Partly transparent pixels keep their alpha and, near enough, their colour.
    EXPECT_EQ(pixels[1] >> 24, 128u);
    EXPECT_NEAR(static_cast<int>((pixels[1] >> 8) & 0xFF), 255, 2);
    EXPECT_EQ(pixels[6] >> 24, 64u);
    EXPECT_NEAR(static_cast<int>((pixels[6] >> 16) & 0xFF), 200, 3);

    // Its users may destroy it: it stays for the others.
    EXPECT_TRUE(DestroyIcon(icon));
    DrawingSurface surface(4, 2);
    EXPECT_TRUE(DrawIcon(surface.Dc(), 0, 0, icon));
    EXPECT_EQ(surface.Pixel(0, 0), RGB(255, 0, 0));
}

TEST(IconResourceTest, WhatIsNoPngIconGivesNone) {
    EXPECT_EQ(LoadIcon(ThisModule(), 129), nullptr);  // a GIF picture
    EXPECT_EQ(LoadIcon(ThisModule(), 130), nullptr);  // no bytes
    EXPECT_EQ(LoadIcon(ThisModule(), 131), nullptr);  // none of that id
    EXPECT_EQ(LoadIcon(nullptr, kIcon), nullptr);
    const HMODULE module = LoadLibrary(MORVELLE_RESOURCE_TEST_MODULE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadIcon(module, kIcon), nullptr);  // a module without icons
    FreeLibrary(module);
}

TEST(IconResourceTest, ATemplatesIconControlShowsTheIconItNames) {
    CDialog dialog(150);  // tests/fixtures/resources/every-control.dlg
    ASSERT_TRUE(dialog.Create());
    HWND icon = nullptr;
    for (HWND child = GetWindow(dialog.m_hWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLong(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            GetClassName(child) == "STATIC")
            icon = child;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(icon, STM_GETICON, 0, 0)),
              LoadIcon(ThisModule(), kIcon));
    // It takes the icon's size, at its place.
    RECT rect{};
    GetWindowRect(icon, &rect);
    EXPECT_EQ(rect.right - rect.left, 4);
    EXPECT_EQ(rect.bottom - rect.top, 2);
    dialog.DestroyWindow();
}

}  // namespace
