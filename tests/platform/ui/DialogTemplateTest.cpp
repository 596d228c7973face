#include "platform/ui/DialogTemplate.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Dialog.h"

namespace {

TEST(DialogTemplateTest, TheCompiledTemplateHoldsEveryControl) {
    const auto dialog = LoadDialogTemplate(ThisModule(), 150);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->id, 150);
    EXPECT_EQ(dialog->caption, "Every Control");
    EXPECT_EQ(dialog->style, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(dialog->fontSize, 8);
    EXPECT_EQ(dialog->fontName, "MS Sans Serif");
    EXPECT_EQ(dialog->units, MakeRect(10, 10, 200, 120));
    ASSERT_EQ(dialog->controls.size(), 13u);
    const DialogControlTemplate& edit = dialog->controls[1];
    EXPECT_EQ(edit.id, 210);
    EXPECT_EQ(edit.className, "EDIT");
    EXPECT_EQ(edit.style, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
    const DialogControlTemplate& label = dialog->controls[0];
    EXPECT_EQ(label.id, -1);
    EXPECT_EQ(label.text, "Storage Location:");
    EXPECT_EQ(dialog->controls[10].className, "STATIC");
    EXPECT_EQ(dialog->controls[10].style & SS_TYPEMASK, SS_ETCHEDHORZ);
    EXPECT_EQ(dialog->controls[11].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_FALSE(LoadDialogTemplate(ThisModule(), 151));
}

TEST(DialogTemplateTest, StylesTextsAndNot) {
    std::string error;
    const auto dialog = ParseDialogTemplate(
        "# hidden controls and escapes\r\n"
        "DIALOG 213 0 0 342 348\r\n"
        "STYLE WS_POPUP|WS_CAPTION | 0x40 WS_EX_APPWINDOW\r\n"
        "EXSTYLE WS_EX_TOOLWINDOW\r\n"
        "CAPTION \"Say \\\"hi\\\"\\\\\"\r\n"
        "BEGIN\r\n"
        "  PUSHBUTTON 1007 \"save\" 0 0 10 10 NOT WS_VISIBLE | NOT WS_TABSTOP\r\n"
        "  EDITTEXT 1001 \"\" 0 0 10 10 WS_EX_CLIENTEDGE | NOT WS_BORDER\r\n"
        "  CONTROL 1000 \"Shell.Explorer\" \"\" -3 4 10 10\r\n"
        "END\r\n",
        &error);
    ASSERT_TRUE(dialog) << error;
    EXPECT_EQ(dialog->caption, "Say \"hi\"\\");
    EXPECT_EQ(dialog->style, WS_POPUP | WS_CAPTION | DS_SETFONT);
    EXPECT_EQ(dialog->exStyle, WS_EX_APPWINDOW | WS_EX_TOOLWINDOW);
    EXPECT_EQ(dialog->controls[0].style, WS_CHILD | BS_PUSHBUTTON);
    EXPECT_EQ(dialog->controls[1].style, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    EXPECT_EQ(dialog->controls[1].exStyle, WS_EX_CLIENTEDGE);
    EXPECT_EQ(dialog->controls[2].className, "Shell.Explorer");
    EXPECT_EQ(dialog->controls[2].units, MakeRect(-3, 4, 10, 10));
}

TEST(DialogTemplateTest, MalformedTemplatesSayWhatAndWhere) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "line 1: no DIALOG line"},
        {"CAPTION \"x\"\n", "line 1: a template starts with DIALOG <id> <x> <y> <width> <height>"},
        {"DIALOG 0 0 0 1 1\nBEGIN\nEND", "line 1: the dialog id is not between 1 and 65535"},
        {"DIALOG 5 0 0 1\nBEGIN\nEND", "line 1: missing height"},
        {"DIALOG 5 0 0 1 -1\nBEGIN\nEND", "line 1: a negative width or height"},
        {"DIALOG 5 0 0 1 x1\nBEGIN\nEND", "line 1: bad height \"x1\""},
        {"DIALOG 5 0 0 1 1\nCAPTION \"open\nBEGIN\nEND", "line 2: a text has no closing quote"},
        {"DIALOG 5 0 0 1 1\nCAPTION \"a\\qb\"\nBEGIN\nEND", "line 2: unknown escape \\q"},
        {"DIALOG 5 0 0 1 1\nSTYLE WS_POPUP | WS_NOSUCH\nBEGIN\nEND",
         "line 2: unknown style \"WS_NOSUCH\""},
        {"DIALOG 5 0 0 1 1\nSTYLE | WS_POPUP\nBEGIN\nEND",
         "line 2: \"|\" without a style before it"},
        {"DIALOG 5 0 0 1 1\nEXSTYLE WS_POPUP\nBEGIN\nEND",
         "line 2: EXSTYLE takes WS_EX_ styles only"},
        {"DIALOG 5 0 0 1 1\nBEGIN\nSLIDER 1 \"\" 0 0 1 1\nEND",
         "line 3: unknown control kind \"SLIDER\""},
        {"DIALOG 5 0 0 1 1\nBEGIN\nPUSHBUTTON 1 0 0 1 1\nEND",
         "line 3: missing control text in double quotes"},
        {"DIALOG 5 0 0 1 1\nBEGIN\nPUSHBUTTON 1 \"a\" 0 0 1 1\nPUSHBUTTON 1 \"b\" 0 0 1 1\nEND",
         "line 4: control id 1 appears twice"},
        {"DIALOG 5 0 0 1 1\nBEGIN\nPUSHBUTTON 1 \"a\" 0 0 1 1 NOT\nEND",
         "line 3: NOT without a style after it"},
        {"DIALOG 5 0 0 1 1\nBEGIN\nPUSHBUTTON 1 \"a\" 0 0 1 1\n", "line 4: no END"},
        {"DIALOG 5 0 0 1 1\nBEGIN\nEND\nPUSHBUTTON 1 \"a\" 0 0 1 1\n", "line 4: text after END"},
        {"DIALOG 5 0 0 1 1 7\nBEGIN\nEND", "line 1: unexpected \"7\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_FALSE(ParseDialogTemplate(c.text, &error));
        EXPECT_EQ(error, c.error);
    }
    // Two statics without an id are fine.
    std::string error;
    EXPECT_TRUE(ParseDialogTemplate(
        "DIALOG 5 0 0 1 1\nBEGIN\nLTEXT -1 \"a\" 0 0 1 1\nLTEXT -1 \"b\" 0 0 1 1\nEND", &error))
        << error;
}

TEST(DialogTemplateTest, DialogUnitsBecomePixelsThroughOneFixedMetric) {
    struct Case {
        RECT units;
        RECT pixels;
    };
    const Case cases[] = {
        {MakeRect(0, 0, 4, 8), RECT{0, 0, 6, 13}},
        {MakeRect(0, 0, 342, 348), RECT{0, 0, 513, 566}},  // 342 * 1.5, 348 * 13 / 8 = 565.5
        {MakeRect(97, 20, 105, 142), RECT{146, 33, 303, 263}},
        {MakeRect(-3, -1, 1, 1), RECT{-5, -2, -3, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DialogUnitsToPixels(c.units), c.pixels);

    // A dialog of 200 x 120 units has a client area of 300 x 195 pixels, and its controls
    // sit where their units say.
    CDialog dialog(150);
    ASSERT_TRUE(dialog.Create());
    RECT client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client, (RECT{0, 0, 300, 195}));
    RECT edit;
    ::GetWindowRect(dialog.GetDlgItem(210), &edit);
    dialog.ScreenToClient(&edit);
    EXPECT_EQ(edit, MakeRect(11, 29, 225, 23));
    RECT mapped = MakeRect(7, 18, 150, 14);
    EXPECT_TRUE(MapDialogRect(dialog.m_hWnd, &mapped));
    EXPECT_EQ(mapped, (RECT{11, 29, 236, 52}));
    dialog.DestroyWindow();
}

}  // namespace
