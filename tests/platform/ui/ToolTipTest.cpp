#include "platform/ui/ToolTip.h"

#include <gtest/gtest.h>

#include "tests/platform/ui/ControlParent.h"

namespace {

TEST(ToolTipTest, TheControlKeepsWhatItIsToldAndTheMessagesRelayedToIt) {
    ControlParent parent;
    const HWND tooltip = CreateWindowEx(0, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                        parent.Hwnd(), nullptr);
    ASSERT_NE(tooltip, nullptr);
    EXPECT_FALSE(IsWindowVisible(tooltip));
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), parent.Hwnd());
    ToolTipState state;
    ASSERT_TRUE(GetToolTipState(tooltip, &state));
    EXPECT_TRUE(state.active);
    EXPECT_EQ(state.maxTipWidth, -1);
    EXPECT_EQ(state.relayed, 0);

    SendMessage(tooltip, TTM_ACTIVATE, FALSE, 0);
    EXPECT_EQ(SendMessage(tooltip, TTM_SETMAXTIPWIDTH, 0, 400), -1) << "the width before";
    EXPECT_EQ(SendMessage(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
    MSG move;
    move.hwnd = parent.Hwnd();
    move.message = WM_MOUSEMOVE;
    EXPECT_EQ(SendMessage(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move)), 0);
    SendMessage(tooltip, TTM_RELAYEVENT, 0, 0);  // no message: nothing relayed
    ASSERT_TRUE(GetToolTipState(tooltip, &state));
    EXPECT_FALSE(state.active);
    EXPECT_EQ(state.maxTipWidth, 400);
    EXPECT_EQ(state.relayed, 1);
    EXPECT_EQ(state.lastHwnd, parent.Hwnd());
    EXPECT_EQ(state.lastMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_FALSE(IsWindowVisible(tooltip)) << "no tools: no tip is shown";

    EXPECT_FALSE(GetToolTipState(parent.Hwnd(), &state)) << "no tooltip control";
    EXPECT_FALSE(GetToolTipState(tooltip, nullptr));
    DestroyWindow(tooltip);
    EXPECT_FALSE(GetToolTipState(tooltip, &state));
}

}  // namespace
