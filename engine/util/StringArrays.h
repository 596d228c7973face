// Lists of texts (StringArray) cut out of text and joined back into it.
#pragma once

#include <string>
#include <string_view>

#include "platform/text/Text.h"

// Cuts text into pieces at the delimiters of mode and appends every non-empty piece
// to array, in order. Delimiters are never kept, empty pieces never appear, nothing
// is trimmed, and array is not cleared first. Delimiters by mode:
//   0  tab, line feed, carriage return, blank, ","   (words, hexadecimal byte lists)
//   1  tab, line feed, carriage return               (comment lists)
//   2  line feed, carriage return, ","               (extension and item lists)
//   3  line feed, carriage return                    (lines)
//   4  line feed, carriage return, "|"
//   5  line feed, carriage return, "~"
//   6  the NUL character                             (multi-select file answers)
//   7  "."                                           (Corvane's build only: host labels)
//   8  "\"                                           (Corvane's build only: path elements)
// Any other mode has no delimiter: a non-empty text is one piece.
void SplitText(std::string_view text, StringArray& array, int mode);

std::string JoinWithCommas(const StringArray& array);
std::string JoinWithTabs(const StringArray& array);
std::string JoinWithBars(const StringArray& array);

// True when an item equals text ignoring case.
bool ArrayContains(const StringArray& array, std::string_view text);
// The first item that contains text ignoring case; "" when none does.
std::string FindContaining(const StringArray& array, std::string_view text);

#if defined(MORVELLE_CORVANE_UTILITIES)
// Removes the first item equal to text ignoring case; true when one was removed.
bool ArrayRemove(StringArray& array, std::string_view text);
// Sorts ascending ignoring case; equal items keep their order and their own case.
void SortNoCase(StringArray& array);
#endif
