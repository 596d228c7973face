#include "platform/ui/Cursors.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingCursors final : public CursorPresenter {
public:
    RecordingCursors() { SetCursorPresenter(this); }
    ~RecordingCursors() override { SetCursorPresenter(nullptr); }
    void CursorSet(HCURSOR cursor) override { shown.push_back(cursor); }
    std::vector<HCURSOR> shown;
};

TEST(CursorsTest, TheSharedCursorsAreShownOneAtATimeAndTheScreenIsToldOfEach) {
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(hand, nullptr);
    EXPECT_NE(arrow, wait);
    EXPECT_NE(wait, hand);
    EXPECT_EQ(LoadCursor(nullptr, IDC_WAIT), wait) << "one handle per shared cursor";
    EXPECT_EQ(LoadCursor(nullptr, 1), nullptr);

    const HCURSOR start = GetCursor();
    RecordingCursors screen;
    EXPECT_EQ(SetCursor(wait), start);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(nullptr), wait);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(SetCursor(start), nullptr);
    EXPECT_EQ(screen.shown, (std::vector<HCURSOR>{wait, nullptr, start}));

    // Shared cursors stay; anything else is no cursor.
    EXPECT_TRUE(DestroyCursor(hand));
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), hand);
    EXPECT_FALSE(DestroyCursor(nullptr));
    EXPECT_FALSE(DestroyCursor(reinterpret_cast<HCURSOR>(&screen)));
}

}  // namespace
