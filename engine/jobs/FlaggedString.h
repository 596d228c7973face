// A text with an "entered" flag: multi-stage jobs hold their current stage in one.
// Setting a different text (ignoring case) raises the flag, so the stage's first step
// can tell that the stage has just been entered.
//
// Not synchronised: its holder guards it (the stage steps run under the process lock).
#pragma once

#include <string>
#include <string_view>

class FlaggedString {
public:
    // Empty text, flag set.
    FlaggedString() = default;

    // Replaces the text and sets the flag, unless the text already equals text ignoring
    // case (then nothing changes).
    void Set(std::string_view text);
    // Whether the text equals text, ignoring case.
    bool Equals(std::string_view text) const;

    bool IsSet() const { return flag_; }
    void Clear() { flag_ = false; }
    const std::string& GetText() const { return text_; }

private:
    bool flag_ = true;
    std::string text_;
};
