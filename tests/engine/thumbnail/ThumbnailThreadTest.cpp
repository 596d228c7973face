// Thumbnail jobs run side by side: each makes its own batch on its own thread.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/thumbnail/MakeThumbnail.h"
#include "tests/support/TestImages.h"
#include "tests/support/ThumbnailChecks.h"

namespace {

TEST(ThumbnailThreadTest, BatchesOnSeveralThreadsAtOnce) {
    constexpr int kThreads = 6;
    constexpr int kPerThread = 6;
    const char* const extensions[] = {".jpg", ".png", ".gif"};
    const std::string images = MakeDriveFolder("images");
    const std::string thumbs = MakeDriveFolder("thumbs");

    std::vector<std::vector<std::string>> sources(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kPerThread; ++i) {
            const std::string name =
                "t" + std::to_string(t) + "-" + std::to_string(i) + extensions[i % 3];
            ASSERT_TRUE(MakeTestImage(images + "\\" + name, 400, 200)) << name;
            sources[t].push_back(images + "\\" + name);
        }
    }

    std::vector<std::vector<std::string>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (const std::string& source : sources[t])
                results[t].push_back(MakeThumbnail(thumbs, source, 100, 100, 16));
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(results[t].size(), static_cast<size_t>(kPerThread));
        for (int i = 0; i < kPerThread; ++i) {
            const std::string expected =
                thumbs + "\\t" + std::to_string(t) + "-" + std::to_string(i) + ".jpg";
            EXPECT_EQ(results[t][i], expected);
            EXPECT_TRUE(IsJpegFile(expected)) << expected;
            const SIZE size = PictureSize(expected);
            EXPECT_EQ(size.cx, 100) << expected;
            EXPECT_EQ(size.cy, 50) << expected;
        }
    }
    EXPECT_EQ(FolderNames(thumbs).size(), static_cast<size_t>(kThreads * kPerThread));
}

}  // namespace
