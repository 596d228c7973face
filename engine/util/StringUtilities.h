// Comparisons and cuts on text. "Ignoring case" folds ASCII letters; white space is
// the C locale's (blank, tab, line feed, vertical tab, form feed, carriage return).
// None of them throws.
#pragma once

#include <string>
#include <string_view>

// substring false: text equals pattern (ignoring case when ignoreCase).
// substring true: pattern occurs in text (ignoring case when ignoreCase); an empty
// pattern always occurs.
bool StringMatch(std::string_view text, std::string_view pattern, bool ignoreCase, bool substring);

// Turns every tab of text into a blank.
void TabsToBlanks(std::string& text);

// text without white space at either end.
std::string TrimString(std::string_view text);

// The position of the last occurrence of piece, -1 when there is none. The search
// goes on behind a hit only while that hit lies beyond position 0, so a text whose
// first hit is at position 0 gives 0 ("abab", "ab" gives 0; "abcabc", "bc" gives 4).
int LastIndexOf(std::string_view text, std::string_view piece);

// text cut before the first occurrence of piece; unchanged when piece is absent.
std::string TruncateAt(std::string_view text, std::string_view piece);
// text cut before the last occurrence of ch; unchanged when ch is absent.
std::string TruncateAtLast(std::string_view text, char ch);

// The folder part of a path: cut before its last "\"; unchanged without one.
std::string StripFileName(std::string_view path);
// The folder part of a path or URL: cut before its last "\", or before its last "/"
// when it holds no "\"; unchanged without either.
std::string StripFileNameAnySeparator(std::string_view path);
