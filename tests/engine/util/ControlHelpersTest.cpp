#include "engine/util/ControlHelpers.h"

#include <gtest/gtest.h>

#include "platform/ui/Controls.h"
#include "tests/support/WindowThread.h"

namespace {

class ControlHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = CreateWindowForHandler(&handler_, 0, "TestFrame", "", WS_POPUP, 0, 0, 100, 100,
                                        nullptr, nullptr);
        list_ = CreateWindowEx(0, "LISTBOX", "", WS_CHILD | LBS_NOTIFY, 0, 0, 50, 50, frame_,
                               ControlIdMenu(209));
        edit_ =
            CreateWindowEx(0, "Edit", " 42", WS_CHILD, 0, 0, 50, 10, frame_, ControlIdMenu(210));
    }
    void TearDown() override { DestroyWindow(frame_); }

    FunctionWindow handler_{nullptr};
    HWND frame_ = nullptr;
    HWND list_ = nullptr;
    HWND edit_ = nullptr;
};

TEST_F(ControlHelpersTest, WindowTextAndEditTest) {
    EXPECT_TRUE(IsEditWindow(edit_));
    EXPECT_FALSE(IsEditWindow(list_));
    EXPECT_FALSE(IsEditWindow(nullptr));
    EXPECT_EQ(WindowTextOf(edit_), " 42");
    EXPECT_EQ(WindowIntOf(edit_), 42);
    EXPECT_EQ(WindowTextOf(nullptr), "");
}

TEST_F(ControlHelpersTest, ListBoxStringsCompareExactly) {
    FillListBox(list_, {"www.alpha.com", "WWW.ALPHA.COM", "www.beta.com"});
    EXPECT_EQ(AddListBoxString(list_, "www.alpha.com"), 0) << "present: not added again";
    EXPECT_EQ(AddListBoxString(list_, "www.Beta.com"), 3) << "another case is another text";
    EXPECT_EQ(AddListBoxString(list_, ""), -1);
    RemoveListBoxString(list_, "WWW.ALPHA.COM");
    RemoveListBoxString(list_, "www.gamma.com");
    EXPECT_EQ(SendMessage(list_, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ListBoxText(list_, 1), "www.beta.com");
    EXPECT_EQ(GetListBoxSelection(list_), "");
    SendMessage(list_, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(GetListBoxSelection(list_), "www.Beta.com");
}

}  // namespace
