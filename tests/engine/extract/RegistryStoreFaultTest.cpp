// Broken registry stores, one case a row, each met by a whole extraction to its view:
// the formatter is still found through the store, the view pages are written, every
// well-formed key and value is kept, the lines that cannot be read are set aside in a
// side file and reported, and settings can be written afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "engine/extract/CrawlSiteImagesJob.h"
#include "platform/file/FileLayer.h"
#include "platform/registry/Registry.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

using namespace std::chrono_literals;

namespace {

const BYTE* Bytes(const std::string& text) {
    return reinterpret_cast<const BYTE*>(text.data());
}

// A key line naming a key levels deep below HKEY_CURRENT_USER.
std::string DeepKeyLine(size_t levels) {
    std::string line = "key \"HKEY_CURRENT_USER";
    for (size_t i = 0; i < levels; ++i)
        line += "\\k";
    return line + "\"";
}

struct StoreFault {
    const char* name;
    // The store's text with the fault in it, from the whole text.
    std::function<std::string(const std::string& whole)> breakStore;
    // The lines of ListRegistry() that the fault loses.
    std::vector<std::string> lost;
    size_t linesAside;
};

const char kFolderLine[] = "value \"folder\" sz \"c:\\storage\"\n";

const StoreFault kStoreFaults[] = {
    // 50,000 levels, about 100 KB: a writer that recursed through them ran out of stack.
    {"DeepKey",
     [](const std::string& whole) {
         const size_t afterHeader = whole.find('\n') + 1;
         return whole.substr(0, afterHeader) + DeepKeyLine(50000) +
                "\nvalue \"planted\" sz \"x\"\n" + whole.substr(afterHeader);
     },
     {},
     2},
    {"CutLine",
     [](const std::string& whole) {
         std::string text = whole;
         const size_t at = text.find(kFolderLine);
         if (at != std::string::npos)
             text.insert(at + 20, "\n");  // inside the data's quotes
         return text;
     },
     {"  [folder] 1 633a5c73746f72616765\n"},
     2},
};

class RegistryStoreFaultTest : public CrawlFixture,
                               public ::testing::WithParamInterface<const StoreFault*> {
protected:
    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
};

TEST_P(RegistryStoreFaultTest, TheExtractionWritesItsViewAndTheStoreKeepsWhatItCanRead) {
    const StoreFault& fault = *GetParam();
    HKEY settings = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Morvelle\\Brisquel", &settings),
              ERROR_SUCCESS);
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"depth", "1"},
                                      {"folder", "c:\\storage"},
                                      {"show", "true"}})
        ASSERT_EQ(
            RegSetValueEx(settings, name, REG_SZ, Bytes(value), static_cast<DWORD>(value.size())),
            ERROR_SUCCESS);
    std::string expected = ListRegistry();
    for (const std::string& line : fault.lost) {
        const size_t at = expected.find(line);
        ASSERT_NE(at, std::string::npos) << expected;
        expected.erase(at, line.size());
    }
    std::string whole;
    ASSERT_TRUE(ReadFileBytes(RegistryStorePath(), &whole));
    ASSERT_NE(whole.find(kFolderLine), std::string::npos) << whole;
    const std::string broken = fault.breakStore(whole);
    ASSERT_NE(broken, whole);
    ASSERT_TRUE(WriteFileBytes(RegistryStorePath(), broken));

    LocalSiteServer site;
    site.SetBody("/start.htm",
                 "<html><body><img src='good.png' width=200 height=200>"
                 "</body></html>");
    site.SetBody(
        "/good.png",
        FileTextOf(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/pictures/map.png"),
        "image/png");
    PanelSettings panel;
    panel.folder = std::string("c:\\storefaults\\") + fault.name;
    panel.siteUrl = site.Url("/start.htm");
    panel.depth = 1;
    panel.viewName = "view";
    OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
    job->MakeViewPages(panel, "");
    ASSERT_TRUE(RunToEnd(*job, 30s));
    EXPECT_EQ(FileNamesIn(job->GetViewFolder()),
              (StringArray{"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"}))
        << "the formatter was found through the store";
    EXPECT_TRUE(WaitForIdleManager());

    EXPECT_EQ(ListRegistry(), expected);
    const std::string report = RegistryStoreReport();
    EXPECT_NE(report.find(std::to_string(fault.linesAside) + " lines cannot be read"),
              std::string::npos)
        << report;
    std::string aside;
    const std::string home = RegistryStorePath().substr(0, RegistryStorePath().rfind('/'));
    for (const std::string& name : FileNamesIn(home)) {
        if (name.rfind("registry.corrupt-", 0) == 0)
            aside = home + "/" + name;
    }
    ASSERT_FALSE(aside.empty()) << report;
    EXPECT_NE(report.find(aside), std::string::npos) << report;
    const std::string kept = FileTextOf(aside);
    // Every line of the broken text that the store no longer holds is in the side file.
    std::string now;
    ASSERT_TRUE(ReadFileBytes(RegistryStorePath(), &now));
    for (size_t from = 0, end = 0; from < broken.size(); from = end + 1) {
        end = std::min(broken.find('\n', from), broken.size());
        const std::string line = broken.substr(from, end - from);
        if (now.find(line + "\n") == std::string::npos) {
            EXPECT_NE(kept.find("\n" + line + "\n"), std::string::npos) << line.substr(0, 80);
        }
    }

    // Settings are written, and the next reader finds a sound store.
    ASSERT_EQ(RegSetValueEx(settings, "depth", REG_SZ, Bytes("3"), 1), ERROR_SUCCESS);
    std::string depth;
    EXPECT_EQ(RegQueryValueBytes(settings, "depth", nullptr, &depth), ERROR_SUCCESS);
    EXPECT_EQ(depth, "3");
    EXPECT_EQ(RegCloseKey(settings), ERROR_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(StoreFaults, RegistryStoreFaultTest,
                         ::testing::Values(&kStoreFaults[0], &kStoreFaults[1]),
                         [](const ::testing::TestParamInfo<const StoreFault*>& info) {
                             return std::string(info.param->name);
                         });

}  // namespace
