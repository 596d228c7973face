#include "programs/ambrevin/OwnerDrawButton.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gdi/DrawingSurface.h"

namespace {

// A button whose colours a test sets.
class TestButton : public OwnerDrawButton {
public:
    using OwnerDrawButton::SetColorValue;
};

TEST(OwnerDrawButton, StartsFlatWithTheSystemButtonColours) {
    OwnerDrawButton button;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(button.Color(i), GetSysColor(i % 2 == 0 ? COLOR_BTNFACE : COLOR_BTNTEXT)) << i;
    EXPECT_FALSE(button.MouseOver());
    EXPECT_FALSE(button.IsDefault());
    EXPECT_EQ(button.GetCheck(), 0);
}

TEST(OwnerDrawButton, OffsetColorLimitsTheOffsetToTheRoomOfEveryChannel) {
    struct Case {
        int index, offset;
        DWORD result;
        COLORREF after;
    };
    const COLORREF start = RGB(240, 100, 10);
    const Case cases[] = {
        {0, 30, OwnerDrawButton::kOk, RGB(255, 115, 25)},  // red has room for 15 only
        {5, -30, OwnerDrawButton::kOk, RGB(230, 90, 0)},   // blue gives 10 only
        {2, 0, OwnerDrawButton::kOk, start},
        {3, 255, OwnerDrawButton::kOk, RGB(255, 115, 25)},
        {6, 30, OwnerDrawButton::kInvalidIndex, start},
        {-1, 30, OwnerDrawButton::kInvalidIndex, start},
        {0, 256, OwnerDrawButton::kBadParameter, start},
        {0, -256, OwnerDrawButton::kBadParameter, start},
    };
    for (const Case& c : cases) {
        TestButton button;
        for (int i = 0; i < 6; ++i)
            button.SetColorValue(i, start);
        EXPECT_EQ(button.OffsetColor(c.index, c.offset, false), c.result)
            << c.index << " " << c.offset;
        const int shown = c.index >= 0 && c.index < 6 ? c.index : 0;
        EXPECT_EQ(button.Color(shown), c.after) << c.index << " " << c.offset;
    }
}

TEST(OwnerDrawButton, TheUrlKeepsAtMost259Bytes) {
    OwnerDrawButton button;
    button.SetURL(std::string(400, 'x'));
    EXPECT_EQ(button.URL(), std::string(259, 'x'));
    button.SetURL("http://h/");
    EXPECT_EQ(button.URL(), "http://h/");
}

TEST(OwnerDrawButton, HoverStartsOverTheButtonAndEndsAtOnceElsewhere) {
    struct Step {
        const char* what;
        bool leftDown, onThis, active;
        bool hoverStarted, mouseOver;
    };
    const Step steps[] = {
        {"left button held on arrival", true, true, true, false, false},
        {"moved over it", false, true, false, true, true},
        {"moved on it again", false, true, true, false, true},
        {"held while over it", true, true, true, false, true},
        {"another window", false, false, true, false, false},
        {"back", false, true, true, true, true},
    };
    OwnerDrawButton button;
    for (const Step& s : steps) {
        EXPECT_EQ(button.OnMouseMove(s.leftDown, s.onThis, s.active), s.hoverStarted) << s.what;
        EXPECT_EQ(button.MouseOver(), s.mouseOver) << s.what;
    }
    button.CancelHover();  // mouse leave, kill focus, deactivation, disabling
    EXPECT_FALSE(button.MouseOver());

    button.SetFlat(false, false);  // a button that is not flat has no hover look
    EXPECT_FALSE(button.OnMouseMove(false, true, true));
    EXPECT_FALSE(button.MouseOver());
}

TEST(OwnerDrawButton, StyleAndCheckStates) {
    OwnerDrawButton button;
    button.OnSetStyle(1);  // BS_DEFPUSHBUTTON
    EXPECT_TRUE(button.IsDefault());
    button.OnSetStyle(0x0B);  // owner-draw: not a push-button type, the flag stays
    EXPECT_TRUE(button.IsDefault());
    button.OnSetStyle(0);
    EXPECT_FALSE(button.IsDefault());

    button.SetCheck(1, false);  // not in check-box mode: nothing
    EXPECT_EQ(button.GetCheck(), 0);
    button.SetCheckBoxMode(true);
    const std::pair<int, int> checks[] = {{1, 1}, {0, 0}, {2, 1}, {3, 0}};
    for (auto [set, read] : checks) {
        button.SetCheck(set, false);
        EXPECT_EQ(button.GetCheck(), read) << set;
    }
    button.OnClicked();  // a click flips the check in check-box mode
    EXPECT_EQ(button.GetCheck(), 1);
}

// The colours of a drawn 60 x 20 button at a few places: its middle (background), its
// top-left and bottom-right corners (the border).
struct DrawnButton {
    COLORREF middle, topLeft, bottomRight;
};

DrawnButton DrawAndRead(OwnerDrawButton& button, const ButtonDrawState& state,
                        DrawingSurface& surface, const std::string& text = "") {
    const RECT rect{0, 0, 60, 20};
    button.Draw(surface.Dc(), rect, state, text);
    return {surface.Pixel(3, 10), surface.Pixel(0, 0), surface.Pixel(59, 19)};
}

// The pixels of one colour inside the border of a drawn 60 x 20 button: how many, and
// the left and top of the box they fill.
struct ColourPixels {
    int count = 0;
    int left = 60;
    int top = 20;
};

ColourPixels PixelsOf(const DrawingSurface& surface, COLORREF colour) {
    ColourPixels found;
    for (int y = 1; y < 19; ++y) {
        for (int x = 1; x < 59; ++x) {
            if (surface.Pixel(x, y) != colour)
                continue;
            ++found.count;
            found.left = std::min(found.left, x);
            found.top = std::min(found.top, y);
        }
    }
    return found;
}

TEST(OwnerDrawButton, DrawingShowsEachStateInItsColours) {
    const COLORREF hover = RGB(10, 20, 30);
    const COLORREF normal = RGB(200, 200, 200);
    const COLORREF focus = RGB(50, 60, 70);
    const COLORREF hoverText = RGB(220, 0, 0);
    const COLORREF normalText = RGB(0, 140, 0);
    const COLORREF focusText = RGB(0, 0, 230);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    struct Case {
        const char* what;
        bool mouseOver;
        ButtonDrawState state;
        DrawnButton expected;
        COLORREF text;
        int textShift;  // pixels right and down of the normal place
    };
    const Case cases[] = {
        // A flat button shows its raised border even with the mouse elsewhere.
        {"normal", false, {}, {normal, highlight, shadow}, normalText, 0},
        {"hover", true, {}, {hover, highlight, shadow}, hoverText, 0},
        {"pressed", false, {true, false, false}, {hover, shadow, highlight}, hoverText, 1},
        {"focused", false, {false, true, false}, {focus, highlight, shadow}, focusText, 0},
        // Embossed: the shadow colour in place over the highlight colour a pixel off.
        {"disabled", false, {false, false, true}, {normal, highlight, shadow}, shadow, 0},
    };
    ColourPixels normalPlace;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestButton button;
        button.SetColorValue(OwnerDrawButton::kBackgroundIn, hover);
        button.SetColorValue(OwnerDrawButton::kBackgroundOut, normal);
        button.SetColorValue(OwnerDrawButton::kBackgroundFocus, focus);
        button.SetColorValue(OwnerDrawButton::kForegroundIn, hoverText);
        button.SetColorValue(OwnerDrawButton::kForegroundOut, normalText);
        button.SetColorValue(OwnerDrawButton::kForegroundFocus, focusText);
        if (c.mouseOver)
            button.OnMouseMove(false, true, true);
        DrawingSurface surface(60, 20);
        const DrawnButton drawn = DrawAndRead(button, c.state, surface, "GO");
        EXPECT_EQ(drawn.middle, c.expected.middle);
        EXPECT_EQ(drawn.topLeft, c.expected.topLeft);
        EXPECT_EQ(drawn.bottomRight, c.expected.bottomRight);

        const ColourPixels text = PixelsOf(surface, c.text);
        EXPECT_GT(text.count, 10) << "the text's own colour";
        for (COLORREF other : {hoverText, normalText, focusText}) {
            if (other != c.text) {
                EXPECT_EQ(PixelsOf(surface, other).count, 0) << std::hex << other;
            }
        }
        if (c.text == shadow) {
            // Each pixel left of the highlight copy is one the shadow copy did not cover,
            // so up and left of it lies the shadow copy's same pixel.
            EXPECT_GT(PixelsOf(surface, highlight).count, 10) << "the highlight copy";
            for (int y = 2; y < 19; ++y) {
                for (int x = 2; x < 59; ++x) {
                    if (surface.Pixel(x, y) == highlight) {
                        EXPECT_EQ(surface.Pixel(x - 1, y - 1), shadow) << x << "," << y;
                    }
                }
            }
        }
        if (c.text == normalText) {
            normalPlace = text;
        } else {
            EXPECT_EQ(text.left, normalPlace.left + c.textShift);
            EXPECT_EQ(text.top, normalPlace.top + c.textShift);
        }
    }
}

TEST(OwnerDrawButton, AHoveredButtonDiffersFromANormalOneInBackgroundAndText) {
    OwnerDrawButton button;
    button.OffsetColor(OwnerDrawButton::kBackgroundIn, 30);  // as the finder's dialog does
    DrawingSurface normal(60, 20);
    DrawAndRead(button, {}, normal, "GO");
    button.OnMouseMove(false, true, true);
    DrawingSurface hovered(60, 20);
    DrawAndRead(button, {}, hovered, "GO");

    int backgroundChanged = 0;
    int textPixels = 0;
    for (int y = 1; y < 19; ++y) {
        for (int x = 1; x < 59; ++x) {
            const COLORREF a = normal.Pixel(x, y);
            const COLORREF b = hovered.Pixel(x, y);
            if (a == GetSysColor(COLOR_BTNTEXT)) {
                ++textPixels;
                EXPECT_EQ(b, a) << x << "," << y;  // the text sits where it sat
            } else {
                EXPECT_EQ(a, GetSysColor(COLOR_BTNFACE)) << x << "," << y;
                EXPECT_EQ(b, button.Color(OwnerDrawButton::kBackgroundIn)) << x << "," << y;
                ++backgroundChanged;
            }
        }
    }
    EXPECT_GT(textPixels, 10);
    EXPECT_GT(backgroundChanged, 500);
    EXPECT_NE(button.Color(OwnerDrawButton::kBackgroundIn), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
