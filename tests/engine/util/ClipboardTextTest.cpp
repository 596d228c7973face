#include "engine/util/ClipboardText.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace std::string_literals;

TEST(ClipboardTextTest, TextReplacesTextUpToItsNul) {
    SetClipboardText("first");
    EXPECT_EQ(GetClipboardText(), "first");
    SetClipboardText("http://a.test/x.jpg\r\nhttp://a.test/y.jpg");
    EXPECT_EQ(GetClipboardText(), "http://a.test/x.jpg\r\nhttp://a.test/y.jpg");
    SetClipboardText("kept\0dropped"s);
    EXPECT_EQ(GetClipboardText(), "kept");
    SetClipboardText("");
    EXPECT_EQ(GetClipboardText(), "");
}

TEST(ClipboardTextTest, ThreadsSeeWholeTexts) {
    const std::string a(1000, 'a');
    const std::string b(2000, 'b');
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                SetClipboardText(t % 2 ? a : b);
                const std::string seen = GetClipboardText();
                EXPECT_TRUE(seen == a || seen == b) << seen.size();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}
