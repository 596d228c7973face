// The benchmark's generated site read back from its files: every link and picture names
// a file of the site, and a breadth-first walk over the links written reaches the page
// counts the generator announces for each depth.
#include "bench/SiteGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

const std::vector<SitePicture> kPictures = {{".gif", 32, 32, "GIF89a small"},
                                            {".png", 120, 90, "PNG middle"},
                                            {".jpg", 300, 200, "JPEG large"}};

// The site as its files say: each page's links and pictures as files of the folder.
struct ReadSite {
    std::map<std::string, std::vector<std::string>> links;  // page -> linked pages
    int images = 0;
    int declared = 0;                  // image tags with a width
    std::vector<std::string> missing;  // targets without a file

    explicit ReadSite(const fs::path& root) {
        const std::regex href("href=\"([^\"]+)\"");
        const std::regex image("<img src=\"([^\"]+)\"([^>]*)>");
        std::vector<std::string> queue{"index.htm"};
        for (size_t next = 0; next < queue.size(); ++next) {
            const std::string page = queue[next];
            const std::string text = ReadAll(root / page);
            const fs::path folder = fs::path(page).parent_path();
            for (std::sregex_iterator it(text.begin(), text.end(), href), end; it != end; ++it) {
                const std::string target = (folder / (*it)[1].str()).lexically_normal().string();
                links[page].push_back(target);
                if (!fs::is_regular_file(root / target))
                    missing.push_back(target);
                else if (!links.count(target) &&
                         std::find(queue.begin(), queue.end(), target) == queue.end())
                    queue.push_back(target);
            }
            for (std::sregex_iterator it(text.begin(), text.end(), image), end; it != end; ++it) {
                ++images;
                if ((*it)[2].str().find("width=") != std::string::npos)
                    ++declared;
                const std::string target = (folder / (*it)[1].str()).lexically_normal().string();
                if (!fs::is_regular_file(root / target))
                    missing.push_back(target);
            }
            links[page];  // a page without links is still a page
        }
    }

    // Pages within depth d of the start page, for d = 0 ... maxDepth.
    std::vector<int> PagesPerDepth(int maxDepth) const {
        std::map<std::string, int> depthOf{{"index.htm", 0}};
        std::vector<std::string> queue{"index.htm"};
        for (size_t next = 0; next < queue.size(); ++next) {
            for (const std::string& target : links.at(queue[next])) {
                if (depthOf.emplace(target, depthOf[queue[next]] + 1).second)
                    queue.push_back(target);
            }
        }
        std::vector<int> reached(static_cast<size_t>(maxDepth) + 1, 0);
        for (const auto& [page, depth] : depthOf) {
            for (int d = depth; d <= maxDepth; ++d)
                ++reached[static_cast<size_t>(d)];
        }
        return reached;
    }
};

TEST(SiteGeneratorTest, TheLinksWrittenReachTheAnnouncedPagesAtEachDepth) {
    const fs::path root = MakeTestFolder("site");
    const GeneratedSite site = GenerateSite(root.string(), 100, 3, kPictures);
    EXPECT_EQ(site.pages, 100);
    EXPECT_EQ(site.images, 300);
    EXPECT_EQ(site.pagesPerDepth, (std::vector<int>{1, 5, 21, 85, 100}));

    const ReadSite read(root);
    EXPECT_TRUE(read.missing.empty()) << read.missing.front() << " has no file";
    EXPECT_EQ(read.links.size(), 100u);
    EXPECT_EQ(read.PagesPerDepth(4), site.pagesPerDepth);
    EXPECT_EQ(read.images, 300);
    EXPECT_EQ(read.declared, 150) << "every other image tag declares its size";
    EXPECT_EQ(ReadAll(root / "images" / "p0-1.png"), "PNG middle");
    EXPECT_EQ(ReadAll(root / "images" / "p99-2.jpg"), "JPEG large");
}

TEST(SiteGeneratorTest, ASmallerSiteReplacesALargerOneInTheSameFolder) {
    const fs::path root = MakeTestFolder("site");
    GenerateSite(root.string(), 200, 1, kPictures);
    const GeneratedSite site = GenerateSite(root.string(), 6, 0, {});
    EXPECT_EQ(site.pagesPerDepth, (std::vector<int>{1, 5, 6, 6}));
    const ReadSite read(root);
    EXPECT_TRUE(read.missing.empty());
    EXPECT_EQ(read.links.size(), 6u);
    EXPECT_EQ(read.images, 0);
    EXPECT_EQ(read.PagesPerDepth(3), site.pagesPerDepth);
}

TEST(SiteGeneratorTest, OnePageIsReachedAtEveryDepth) {
    const fs::path root = MakeTestFolder("site");
    const GeneratedSite site = GenerateSite(root.string(), 1, 2, kPictures);
    EXPECT_EQ(site.pagesPerDepth, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_TRUE(GeneratedLinksOf(0, 1).empty());
}

TEST(SiteGeneratorTest, RefusesWhatCannotMakeASite) {
    const std::string root = MakeTestFolder("site");
    EXPECT_THROW(GenerateSite(root, 0, 1, kPictures), std::invalid_argument);
    EXPECT_THROW(GenerateSite(root, 5, -1, kPictures), std::invalid_argument);
    EXPECT_THROW(GenerateSite(root, 5, 1, {}), std::invalid_argument);
    const fs::path file = fs::path(root) / "a-file";
    std::ofstream(file) << "x";
    EXPECT_THROW(GenerateSite((file / "site").string(), 5, 1, kPictures), std::runtime_error);
}

}  // namespace
