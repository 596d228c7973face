// Short and odd texts through every URL and path helper: none may throw or read
// beyond its text (AddressSanitizer watches the reads).
#include <gtest/gtest.h>

#include <string>

#include "engine/util/PathHelpers.h"
#include "engine/util/StringUtilities.h"
#include "engine/util/UrlClassification.h"

namespace {

const char* const kOddTexts[] = {"",  "a:", ":x", "?",   "http:", ":",    "*",      "#",
                                 "/", "\\", ".",  "a:/", "?:",    "ab:/", "x:?\\/", "https://"};

}  // namespace

TEST(OddTextsTest, EveryHelperTakesThem) {
    for (const char* text : kOddTexts) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        EXPECT_NO_THROW({
            UnescapeUrl(text);
            IsHttpUrl(text);
            IsImageExtension(text);
            IsNonPageFile(text);
            IsFollowableLink(text, false);
            IsFollowableLink(text, true);
            IsPageExtension(text);
            HostOfUrl(text);
            FileNameFromUrl(text, false);
            FileNameFromUrl(text, true);
            FileExtension(text);
            EnsureTrailingBackslash(text);
            JoinPath(text, text, text);
            EnsureExtension(text, text);
            StripQuery(text);
            FileNameOfPath(text);
            StripFileName(text);
            StripFileNameAnySeparator(text);
            TruncateAt(text, text);
            LastIndexOf(text, text);
        });
    }
}

TEST(OddTextsTest, CutsClampAtTheEndOfTheText) {
    const struct {
        const char* text;
        const char* host;
        const char* fileName;
        const char* fileNameSkipped;
    } cases[] = {
        {"", "", "", ""},     {"a:", "", "", ""},       {":x", ":x", ":x", ""},
        {"?", "?", "?", ""},  {"http:", "", "", ""},    {":", ":", ":", ""},
        {"a:/", "", "-", ""}, {"ab:/x", "", "-x", "x"}, {"https://", "", "--", "-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HostOfUrl(c.text), c.host) << '"' << c.text << '"';
        EXPECT_EQ(FileNameFromUrl(c.text, false), c.fileName) << '"' << c.text << '"';
        EXPECT_EQ(FileNameFromUrl(c.text, true), c.fileNameSkipped) << '"' << c.text << '"';
    }
    EXPECT_EQ(StripQuery("?"), "");
    EXPECT_EQ(FileNameOfPath("\\"), "");
    EXPECT_EQ(FileExtension("."), "");
    EXPECT_EQ(EnsureExtension("", "jpg"), ".jpg");
    EXPECT_FALSE(IsPageExtension("a:"));
    EXPECT_TRUE(IsPageExtension("http:"));  // followable, and its last element has no "."
}
