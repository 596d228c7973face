#include "engine/util/FontHelpers.h"

#include <cstring>

#include "platform/ui/FontDialog.h"

void CopyFont(HFONT* target, HFONT source) {
    LOGFONT font{};
    if (target == nullptr || GetObject(source, sizeof font, &font) == 0)
        return;
    SetFontFromLogFont(target, font);
}

void SetFontFromLogFont(HFONT* target, const LOGFONT& font) {
    if (target == nullptr)
        return;
    if (*target != nullptr)
        DeleteObject(*target);
    *target = CreateFontIndirect(&font);
}

std::string FontFaceName(HFONT font) {
    LOGFONT description{};
    if (GetObject(font, sizeof description, &description) == 0)
        return {};
    return std::string(description.lfFaceName,
                       strnlen(description.lfFaceName, sizeof description.lfFaceName));
}

bool ChooseFont(HFONT* font) {
    if (font == nullptr)
        return false;
    LOGFONT start{};
    if (GetObject(*font, sizeof start, &start) == 0)
        GetObject(GetStockObject(SYSTEM_FONT), sizeof start, &start);
    CHOOSEFONT choice{};
    choice.lStructSize = sizeof choice;
    choice.lpLogFont = &start;
    choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFont(&choice))
        return false;
    SetFontFromLogFont(font, start);
    return true;
}
