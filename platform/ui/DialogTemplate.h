// Dialog templates: a dialog's caption, styles, font and controls, with positions in
// dialog units, compiled into the module that shows the dialog as resources of type
// DIALOG (RT_DIALOG, "DIALOG" in a resource manifest), one template a file:
//
//   # a comment
//   DIALOG 206 0 0 220 60                     id, then x y width height of the client area
//   CAPTION "Settings"
//   STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
//   EXSTYLE WS_EX_TOOLWINDOW                  (optional)
//   FONT 8 "MS Sans Serif"
//   BEGIN
//     LTEXT         -1   "Storage Location:" 7 7 60 8
//     EDITTEXT      210  ""                  7 18 150 14  ES_AUTOHSCROLL
//     PUSHBUTTON    211  "browse..."         160 18 50 14
//     DEFPUSHBUTTON 1    "OK"                110 40 50 14
//     PUSHBUTTON    2    "Cancel"            163 40 50 14  NOT WS_TABSTOP
//     CONTROL       1000 "Button" "Go"       7 40 40 14  BS_OWNERDRAW | WS_TABSTOP
//   END
//
// Kinds and the styles they start from (every control also has WS_CHILD | WS_VISIBLE):
// PUSHBUTTON (BS_PUSHBUTTON, WS_TABSTOP), DEFPUSHBUTTON (BS_DEFPUSHBUTTON, WS_TABSTOP),
// CHECKBOX (BS_AUTOCHECKBOX, WS_TABSTOP), RADIOBUTTON (BS_AUTORADIOBUTTON), GROUPBOX,
// EDITTEXT (WS_BORDER, WS_TABSTOP), LTEXT / CTEXT / RTEXT (SS_LEFT / SS_CENTER / SS_RIGHT,
// WS_GROUP), ICON (SS_ICON), LISTBOX (LBS_NOTIFY, WS_BORDER, WS_VSCROLL, WS_TABSTOP) and
// CONTROL with a class name of its own. A style expression joins names and numbers
// (0x.. or decimal) with "|"; "NOT name" takes a style away; WS_EX_ names go to the
// extended style. Ids are numbers (IDOK is 1, IDCANCEL 2, -1 for a static that needs
// none); an id other than -1 appears once. Texts are in double quotes, with \" \\ \n \t.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Geometry.h"
#include "platform/base/Types.h"
#include "platform/resource/Resource.h"
#include "platform/window/WindowTree.h"

// The resource type of dialog templates.
constexpr int RT_DIALOG = 5;

struct DialogControlTemplate {
    int id = -1;
    std::string className;  // "BUTTON", "EDIT", "STATIC", "LISTBOX" or the class named
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units;  // x, y, x + width, y + height in dialog units
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int fontSize = 8;
    std::string fontName = "MS Sans Serif";
    RECT units;  // the client area, in dialog units
    std::vector<DialogControlTemplate> controls;
};

// Reads a template's text. Null, with "line N: what is wrong" in *error (when error is
// not null), for text that does not follow the format above.
std::optional<DialogTemplate> ParseDialogTemplate(std::string_view text, std::string* error);

// The template of that id among the module's DIALOG resources; null (and one trace line
// on "window") when it is missing or does not parse.
std::optional<DialogTemplate> LoadDialogTemplate(HMODULE module, int id);

// Dialog units to pixels. Every dialog font has the same metrics in the model: a
// horizontal base unit of 6 pixels and a vertical one of 13 (a dialog unit is a quarter
// of the first and an eighth of the second), rounded to the nearest pixel.
constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 13;
RECT DialogUnitsToPixels(const RECT& units);
// The same for a dialog window (FALSE for a dead handle).
BOOL MapDialogRect(HWND dialog, RECT* rect);
