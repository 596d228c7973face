#include "engine/util/FontHelpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/ui/FontDialog.h"

namespace {

HFONT MakeFont(LONG height, const char* face) {
    return CreateFont(height, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, face);
}

LOGFONT Describe(HFONT font) {
    LOGFONT description{};
    GetObject(font, sizeof description, &description);
    return description;
}

// Answers the font dialog with a fixed font, or cancels; records what it was shown.
class ScriptedFontDialog : public FontDialogService {
public:
    explicit ScriptedFontDialog(bool ok) : ok_(ok) { SetFontDialogService(this); }
    ~ScriptedFontDialog() override { SetFontDialogService(nullptr); }
    bool ChooseFont(HWND, DWORD flags, LOGFONT* font) override {
        shownFlags = flags;
        shown = *font;
        if (!ok_)
            return false;
        font->lfHeight = -20;
        std::strcpy(font->lfFaceName, "Chosen");
        return true;
    }
    DWORD shownFlags = 0;
    LOGFONT shown{};

private:
    bool ok_;
};

TEST(FontHelpersTest, FontsAreRecreatedFromAnotherFontOrALogFont) {
    HFONT source = MakeFont(-13, "Verdana");
    HFONT target = MakeFont(-8, "Old");
    CopyFont(&target, source);
    EXPECT_NE(target, source);
    EXPECT_EQ(Describe(target).lfHeight, -13);
    EXPECT_EQ(Describe(target).lfWeight, FW_BOLD);
    EXPECT_EQ(FontFaceName(target), "Verdana");

    // A source that names no font changes nothing.
    HFONT kept = target;
    CopyFont(&target, nullptr);
    EXPECT_EQ(target, kept);

    LOGFONT font = Describe(source);
    std::strcpy(font.lfFaceName, "Courier New");
    SetFontFromLogFont(&target, font);
    EXPECT_EQ(FontFaceName(target), "Courier New");
    HFONT fresh = nullptr;
    SetFontFromLogFont(&fresh, font);
    EXPECT_NE(fresh, nullptr);

    EXPECT_EQ(FontFaceName(nullptr), "");
    // A face name of all 32 bytes comes back cut to 31.
    std::memset(font.lfFaceName, 'x', sizeof font.lfFaceName);
    HFONT longName = CreateFontIndirect(&font);
    EXPECT_EQ(FontFaceName(longName), std::string(31, 'x'));
    for (HFONT made : {source, target, fresh, longName})
        EXPECT_TRUE(DeleteObject(made));
}

TEST(FontHelpersTest, ChooseFontStartsFromTheFontAndRecreatesItOnOk) {
    HFONT font = MakeFont(-13, "Verdana");
    {
        ScriptedFontDialog dialog(true);
        EXPECT_TRUE(ChooseFont(&font));
        EXPECT_EQ(dialog.shownFlags, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT);
        EXPECT_STREQ(dialog.shown.lfFaceName, "Verdana");
        EXPECT_EQ(FontFaceName(font), "Chosen");
        EXPECT_EQ(Describe(font).lfHeight, -20);
    }
    {
        ScriptedFontDialog dialog(false);
        HFONT before = font;
        EXPECT_FALSE(ChooseFont(&font));
        EXPECT_EQ(font, before);
        EXPECT_EQ(FontFaceName(font), "Chosen");
    }
    {
        // Without a font the dialog starts from the system font.
        ScriptedFontDialog dialog(false);
        HFONT none = nullptr;
        EXPECT_FALSE(ChooseFont(&none));
        EXPECT_STREQ(dialog.shown.lfFaceName, "System");
    }
    // With no display the dialog is cancelled.
    EXPECT_FALSE(ChooseFont(&font));
    DeleteObject(font);
}

}  // namespace
