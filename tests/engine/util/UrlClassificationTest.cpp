#include "engine/util/UrlClassification.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct UrlCase {
    std::string url;
    bool expected;
};

// A page URL of exactly length characters ending in ".htm".
std::string PageUrlOfLength(size_t length) {
    const std::string head = "http://host/";
    return head + std::string(length - head.size() - 4, 'a') + ".htm";
}

}  // namespace

TEST(UrlClassificationTest, IsPageExtension) {
    const UrlCase cases[] = {
        {"http://host/", true},
        {"http://host/page.html#top", false},
        {"http://host/#/", true},  // the folder step comes before the "#" step
        {"http://host/page.htm#", false},
        {PageUrlOfLength(500), true},
        {PageUrlOfLength(501), false},
        {"http://host/file.zip", false},
        {"http://host/report.pdf.html", false},
        {"http://host/a.xml", false},
        {"http://host/dir/file", true},
        {"http://host/v1.2/file", true},
        {"http://host/dir/file.jpg", false},
        {"http://host/dir\\", true},
        {"HTTP://HOST/PAGE.HTM", true},
        {"  http://host/a.htm", true},
        {"http://host/a.php?x=1", true},
        {"http://host/a.htm?file=x.zip", true},  // the query is cut before the file test
        {"http://host/a.zip?x", false},
        {"http://host/pic.jpg?x=.htm", false},
        {"http://host/x.jpg*.htm", false},  // the star cut drops the ".htm"
        {"http://host/a.htm*junk.jpg", true},
        {"http://site.edu/x.jpg", true},  // ".edu" matches anywhere
        {"http://host/news:x", false},
        {"mailto:someone", false},
        {"javascript:go()", false},
        {"page.htm", false},  // no scheme: left to the URL syntax test, which refuses it
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPageExtension(c.url), c.expected) << c.url;
}

TEST(UrlClassificationTest, IsImageExtension) {
    const UrlCase cases[] = {
        {"http://host/pic.jpg?size=2", false},
        {"http://host/pic.JPG", true},
        {"http://host/archive.tar.gz", true},
        {"http://host/a.png", true},
        {"http://host/a.tiff", true},
        {"http://host/movie.mov", true},
        {"http://host/a.jpeg/page.htm", true},
        {"http://host/a.htm", false},
        {"http://host/jpg", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsImageExtension(c.url), c.expected) << c.url;
}

TEST(UrlClassificationTest, IsNonPageFile) {
    const UrlCase cases[] = {
        {"http://host/a.pdf", true},     {"http://host/a.PDF", true},
        {"http://host/a.pd", true},      {"http://host/x.wsdl", true},
        {"http://host/a.zip?x", true},   {"http://host/a.htm?x.zip", false},
        {"http://h/a.zip?b?c", true},    {"http://host/a.htm", false},
        {"http://host/tarball/", false}, {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNonPageFile(c.url), c.expected) << c.url;
}

TEST(UrlClassificationTest, IsFollowableLink) {
    const struct {
        const char* url;
        bool withoutFiles;
        bool withFiles;
    } cases[] = {
        {"", false, false},
        {"http://host/a.zip", false, true},
        {"mailto:x@y", false, false},
        {"JavaScript:void(0)", false, false},
        {"news:comp.lang", false, false},
        {"http://host/mailto:x?y", false, false},
        {"http://host/a.htm?mailto:x", true, true},  // the query is cut first
        {"  HTTP://host/  ", true, true},
        {"https://host/", true, true},
        {"relative/page.htm", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsFollowableLink(c.url, false), c.withoutFiles) << c.url;
        EXPECT_EQ(IsFollowableLink(c.url, true), c.withFiles) << c.url;
    }
}

TEST(UrlClassificationTest, IsHttpUrl) {
    EXPECT_TRUE(IsHttpUrl("HTTP://x"));
    EXPECT_TRUE(IsHttpUrl("https:"));
    EXPECT_TRUE(IsHttpUrl("see http:x"));
    EXPECT_FALSE(IsHttpUrl("ftp://x"));
    EXPECT_FALSE(IsHttpUrl("http//x"));
    EXPECT_FALSE(IsHttpUrl(""));
}

TEST(UrlClassificationTest, FiltersAppendInOrderAndLeaveTheListAlone) {
    const StringArray list{"http://h/a.htm", "http://h/b.jpg", "mailto:x", "http://h/d/",
                           "http://h/c.gif?x"};
    const StringArray before = list;
    StringArray pages{"kept"};
    FilterPageUrls(list, pages);
    EXPECT_EQ(pages, (StringArray{"kept", "http://h/a.htm", "http://h/d/"}));
    StringArray images;
    FilterImageUrls(list, images);
    EXPECT_EQ(images, StringArray{"http://h/b.jpg"});
    EXPECT_EQ(list, before);
}

TEST(UrlClassificationTest, HostOfUrl) {
    const struct {
        const char* url;
        const char* host;
    } cases[] = {
        {"http://h.x/dir/x.htm", "h.x"},
        // The port is part of the host: another port is another site.
        {"http://h.x:8080/x", "h.x:8080"},
        {"http://h.x:8080", "h.x:8080"},
        {"http://user:pw@h.x:8080/x", "h.x:8080"},
        {"ftp://anonymous@h.x/pub", "h.x"},
        {"http://h.x", "h.x"},
        {"https://a.b.c/x", "a.b.c"},
        {"http://H.X/", "H.X"},
        {"h.x/dir/a.htm", "h.x"},
        {"http://h.x\\dir/a.htm", "h_x-dir"},
        {"http://h.x:8080\\dir/a.htm", "h_x:8080-dir"},
        {"http://h.x\\dir\\a.htm", "h.x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HostOfUrl(c.url), c.host) << c.url;
}
