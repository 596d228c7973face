#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <cstdio>

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiDrawing.h"
#include "platform/gdi/GdiText.h"
#include "platform/ui/ControlInput.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/TabControl.h"
#include "platform/ui/Toolbar.h"
#include "tests/platform/ui/ControlParent.h"

namespace {

constexpr int kTabsId = 1014;

class TabControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        tabs = parent.MakeChild("SysTabControl32", TCS_BOTTOM, kTabsId);
        for (const char* name : {"browser", "found images"}) {
            std::string text = name;
            TCITEM item;
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            TabCtrl_InsertItem(tabs, TabCtrl_GetItemCount(tabs), &item);
        }
    }
    ControlParent parent;
    HWND tabs = nullptr;
};

TEST_F(TabControlTest, ASwitchAsksThenTellsWithTheSelectionMovedBetween) {
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));  // the first tab of an empty control
    std::vector<int> selectionSeen;
    parent.onNotify = [&](NMHDR*) {
        selectionSeen.push_back(TabCtrl_GetCurSel(tabs));
        return LRESULT{0};
    };
    ASSERT_TRUE(ControlInput::SelectTab(tabs, 1));
    EXPECT_EQ((std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}), parent.Codes());
    EXPECT_EQ((std::vector<int>{0, 1}), selectionSeen);
    EXPECT_EQ(kTabsId, parent.notices[1].id);

    parent.notices.clear();
    EXPECT_TRUE(ControlInput::SelectTab(tabs, 1));  // the selected tab: nothing happens
    EXPECT_TRUE(parent.notices.empty());

    parent.onNotify = [](NMHDR* header) { return LRESULT{header->code == TCN_SELCHANGING}; };
    EXPECT_FALSE(ControlInput::SelectTab(tabs, 0));
    EXPECT_EQ(1, TabCtrl_GetCurSel(tabs));
    EXPECT_EQ((std::vector<UINT>{TCN_SELCHANGING}), parent.Codes());
    EXPECT_FALSE(ControlInput::SelectTab(tabs, 2));
}

TEST_F(TabControlTest, CodeSetsTheSelectionSilentlyAndDeletesMoveIt) {
    EXPECT_EQ(0, TabCtrl_SetCurSel(tabs, 1));
    EXPECT_EQ(-1, TabCtrl_SetCurSel(tabs, 5));
    EXPECT_TRUE(parent.notices.empty());
    char text[32];
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessage(tabs, TCM_GETITEM, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ("found images", text);
    EXPECT_TRUE(TabCtrl_DeleteItem(tabs, 0));
    EXPECT_EQ(0, TabCtrl_GetCurSel(tabs));  // the selected tab moved down
    EXPECT_TRUE(TabCtrl_DeleteItem(tabs, 0));
    EXPECT_EQ(-1, TabCtrl_GetCurSel(tabs));
    EXPECT_FALSE(TabCtrl_DeleteItem(tabs, 0));
}

TEST_F(TabControlTest, TheDisplayAreaLeavesOutTheTabRowOnItsSide) {
    const RECT control{94, 16, 394, 516};
    RECT area = control;
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    EXPECT_EQ((RECT{94 + kTabMargin, 16 + kTabMargin, 394 - kTabMargin, 516 - kTabRowHeight}),
              area);
    TabCtrl_AdjustRect(tabs, TRUE, &area);
    EXPECT_EQ(control, area);
    HWND top = parent.MakeChild("SysTabControl32", 0, 2);
    area = control;
    TabCtrl_AdjustRect(top, FALSE, &area);
    EXPECT_EQ(16 + kTabRowHeight, area.top);
}

constexpr int kExtract = 500;

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        toolbar = parent.MakeChild("ToolbarWindow32",
                                   CCS_TOP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER |
                                       TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | TBSTYLE_FLAT |
                                       TBSTYLE_LIST | TBSTYLE_CUSTOMERASE | TBSTYLE_TRANSPARENT,
                                   1, 250, 22);
        SendMessage(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
        SendMessage(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessage(toolbar, TB_SETMAXTEXTROWS, 1, 0);
        stringIndex = SendMessage(toolbar, TB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Extract\0"));
        images = ImageList_Create(16, 16, ILC_COLOR16, 1, 0);
        std::vector<DWORD> red(32 * 32, 0xFFFF0000u);
        HICON icon = CreateIconFromPixels(32, 32, red.data());
        ImageList_AddIcon(images, icon);
        DestroyIcon(icon);
        SendMessage(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
        TBBUTTON button;
        button.iBitmap = 0;
        button.idCommand = kExtract;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        button.iString = stringIndex;
        ASSERT_TRUE(SendMessage(toolbar, TB_INSERTBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
    }
    void TearDown() override { ImageList_Destroy(images); }

    ControlParent parent;
    HWND toolbar = nullptr;
    HIMAGELIST images = nullptr;
    LRESULT stringIndex = -1;
};

TEST_F(ToolbarTest, AClickSendsTheButtonsCommandToTheParent) {
    EXPECT_EQ(0, stringIndex);
    EXPECT_EQ(1, SendMessage(toolbar, TB_BUTTONCOUNT, 0, 0));
    TBBUTTON read;
    ASSERT_TRUE(SendMessage(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&read)));
    EXPECT_EQ(kExtract, read.idCommand);
    EXPECT_EQ("Extract", ToolbarButtonText(toolbar, kExtract));

    ASSERT_TRUE(ControlInput::ClickToolbarButton(toolbar, kExtract));
    ASSERT_EQ(1u, parent.notices.size());
    EXPECT_EQ(WM_COMMAND, parent.notices[0].message);
    EXPECT_EQ(kExtract, parent.notices[0].id);
    EXPECT_EQ(0u, parent.notices[0].code);
    EXPECT_EQ(toolbar, parent.notices[0].from);

    EXPECT_FALSE(ControlInput::ClickToolbarButton(toolbar, 501));
    SendMessage(toolbar, TB_ENABLEBUTTON, kExtract, FALSE);
    EXPECT_FALSE(ControlInput::ClickToolbarButton(toolbar, kExtract));
    EXPECT_EQ(1u, parent.notices.size());
}

TEST_F(ToolbarTest, ButtonsOfAnotherRecordSizeAreRefused) {
    SendMessage(toolbar, TB_BUTTONSTRUCTSIZE, 20, 0);  // a 32-bit layout cannot be read here
    TBBUTTON buttons[2];
    EXPECT_FALSE(SendMessage(toolbar, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(buttons)));
    EXPECT_EQ(1, SendMessage(toolbar, TB_BUTTONCOUNT, 0, 0));
}

TEST_F(ToolbarTest, AnAutosizeButtonIsAsWideAsItsImageAndText) {
    RECT rect;
    ASSERT_TRUE(SendMessage(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)));
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE text;
    GetTextExtentPoint32(dc, "Extract", 7, &text);
    DeleteDC(dc);
    EXPECT_EQ(16 + 8 + text.cx + 6, rect.right - rect.left);
    EXPECT_EQ(kDefaultButtonHeight, rect.bottom - rect.top);
}

TEST_F(ToolbarTest, TheTipIsTheParentsTextOrElseTheButtonText) {
    EXPECT_EQ("Extract", ControlInput::HoverToolbarButton(toolbar, kExtract));
    ASSERT_EQ(1u, parent.notices.size());
    EXPECT_EQ(TTN_GETDISPINFO, parent.notices[0].code);
    EXPECT_EQ(kExtract, parent.notices[0].id);
    parent.onNotify = [](NMHDR* header) {
        reinterpret_cast<NMTTDISPINFO*>(header)->lpszText = "Find the images of this page";
        return LRESULT{0};
    };
    EXPECT_EQ("Find the images of this page", ControlInput::HoverToolbarButton(toolbar, kExtract));
    parent.onNotify = [](NMHDR* header) {
        std::snprintf(reinterpret_cast<NMTTDISPINFO*>(header)->szText, 80, "%s", "copied");
        return LRESULT{0};
    };
    EXPECT_EQ("copied", ControlInput::HoverToolbarButton(toolbar, kExtract));
    SetWindowLong(toolbar, GWL_STYLE, GetWindowLong(toolbar, GWL_STYLE) & ~TBSTYLE_TOOLTIPS);
    EXPECT_EQ("", ControlInput::HoverToolbarButton(toolbar, kExtract));
}

TEST(ImageListTest, ImagesKeepTheirTransparencyAndDrawScaledToTheListSize) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR16, 1, 0);
    ASSERT_NE(nullptr, list);
    // A 32 x 32 icon: a blue left half, a transparent right half.
    std::vector<DWORD> pixels(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels[static_cast<std::size_t>(y * 32 + x)] = x < 16 ? 0xFF0000FFu : 0x00FFFFFFu;
    HICON icon = CreateIconFromPixels(32, 32, pixels.data());
    EXPECT_EQ(0, ImageList_AddIcon(list, icon));
    DestroyIcon(icon);
    EXPECT_EQ(-1, ImageList_AddIcon(list, icon));  // a destroyed icon
    EXPECT_EQ(-1, ImageList_ReplaceIcon(list, 3, icon));

    // A two-image strip with green as its transparent colour.
    DrawingSurface strip(32, 16);
    HBITMAP bitmap = CreateCompatibleBitmap(strip.Dc(), 32, 16);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT left{0, 0, 16, 16}, right{16, 0, 32, 16};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(memory, &left, red);
    FillRect(memory, &right, green);
    SelectObject(memory, old);
    DeleteDC(memory);
    EXPECT_EQ(1, ImageList_AddMasked(list, bitmap, RGB(0, 255, 0)));
    EXPECT_EQ(3, ImageList_GetImageCount(list));

    DrawingSurface surface(60, 20);
    ASSERT_TRUE(ImageList_Draw(list, 0, surface.Dc(), 0, 0, ILD_NORMAL));
    ASSERT_TRUE(ImageList_Draw(list, 1, surface.Dc(), 20, 0, ILD_TRANSPARENT));
    ASSERT_TRUE(ImageList_Draw(list, 2, surface.Dc(), 40, 0, ILD_TRANSPARENT));
    EXPECT_FALSE(ImageList_Draw(list, 3, surface.Dc(), 0, 0, ILD_NORMAL));
    EXPECT_EQ(RGB(0, 0, 255), surface.Pixel(3, 8));       // the icon, halved
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(12, 8));  // its transparent half
    EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(25, 8));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(45, 8));  // green left out
    DeleteObject(bitmap);
    DeleteObject(red);
    DeleteObject(green);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
    EXPECT_EQ(-1, ImageList_GetImageCount(list));
}

}  // namespace
