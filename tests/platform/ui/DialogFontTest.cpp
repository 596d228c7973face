// The dialog font against the dialog units the templates are laid out in: a template's
// texts must fit the boxes its units give them, on the screen as in the model.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/DrawingSurface.h"
#include "platform/gdi/GdiText.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/window/WindowStyles.h"

namespace {

// A context with the dialog font selected.
class DialogFontSurface : public DrawingSurface {
public:
    DialogFontSurface() : DrawingSurface(1, 1) {
        SelectObject(Dc(), GetStockObject(DEFAULT_GUI_FONT));
    }
};

TEST(DialogFontTest, TheDialogFontHasTheMetricsOfTheDialogUnits) {
    // As the dialog manager takes a font's base units: the average width of the letters
    // (rounded) and the line height.
    DialogFontSurface surface;
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32(surface.Dc(), letters.c_str(),
                                     static_cast<int>(letters.size()), &extent));
    TEXTMETRIC metrics{};
    ASSERT_TRUE(GetTextMetrics(surface.Dc(), &metrics));
    EXPECT_EQ((extent.cx / 26 + 1) / 2, kDialogBaseUnitX) << extent.cx;
    EXPECT_EQ(metrics.tmHeight, kDialogBaseUnitY);
    // The 8-point face a template names is the same font.
    HFONT eightPoints =
        CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    SelectObject(surface.Dc(), eightPoints);
    TEXTMETRIC named{};
    ASSERT_TRUE(GetTextMetrics(surface.Dc(), &named));
    EXPECT_EQ(named.tmHeight, metrics.tmHeight);
    EXPECT_EQ(named.tmAveCharWidth, metrics.tmAveCharWidth);
    SelectObject(surface.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    DeleteObject(eightPoints);
}

std::vector<std::filesystem::path> ProductTemplates() {
    std::vector<std::filesystem::path> found;
    for (const char* folder : {"programs", "band", "bandvariants", "toolbar"}) {
        const std::filesystem::path root = std::filesystem::path(MORVELLE_SOURCE_DIR) / folder;
        if (!std::filesystem::exists(root))
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file() && entry.path().extension() == ".dlg")
                found.push_back(entry.path());
    }
    return found;
}

// The width a control leaves its text: a push button its frame and a little room, a
// check box or radio button the box beside the text; a static all of it. -1 for a
// control that shows no text of its template.
int TextRoom(const DialogControlTemplate& control, int width) {
    if (control.text.empty())
        return -1;
    if (control.className == "STATIC") {
        const DWORD type = control.style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ? width : -1;
    }
    if (control.className != "BUTTON")
        return -1;
    switch (control.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return width - 8;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return width - 20;
        default:
            return -1;
    }
}

TEST(DialogFontTest, EveryTemplateTextFitsItsBox) {
    const std::vector<std::filesystem::path> templates = ProductTemplates();
    ASSERT_GE(templates.size(), 10u);
    DialogFontSurface surface;
    for (const std::filesystem::path& path : templates) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        std::string error;
        const auto dialog = ParseDialogTemplate(text.str(), &error);
        ASSERT_TRUE(dialog) << path << ": " << error;
        for (const DialogControlTemplate& control : dialog->controls) {
            const RECT box = DialogUnitsToPixels(control.units);
            const int room = TextRoom(control, box.right - box.left);
            if (room < 0)
                continue;
            RECT laid{0, 0, room, 0};
            DrawText(surface.Dc(), control.text.c_str(), -1, &laid, DT_WORDBREAK | DT_CALCRECT);
            EXPECT_LE(laid.right, room) << path.filename() << ": \"" << control.text << "\"";
            EXPECT_LE(laid.bottom, box.bottom - box.top)
                << path.filename() << ": \"" << control.text << "\" takes " << laid.bottom
                << " pixels of height";
        }
    }
}

}  // namespace
