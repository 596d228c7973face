#include "engine/jobs/FlaggedString.h"

#include "platform/text/Text.h"

void FlaggedString::Set(std::string_view text) {
    if (EqualsNoCase(text_, text))
        return;
    text_.assign(text);
    flag_ = true;
}

bool FlaggedString::Equals(std::string_view text) const {
    return EqualsNoCase(text_, text);
}
