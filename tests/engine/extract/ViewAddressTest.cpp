// Pictures whose addresses hold escapes, blanks, "%", "#", "?", "&", quotes or non-ASCII
// UTF-8, taken end to end: stored under their decoded names, and named in every view
// page (and in the pages of a regenerated view) by an address that a browser reading
// the page opens as that very file. Also the progress an extraction shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/extract/CrawlSiteImagesJob.h"
#include "engine/extract/regenerateHtmlJob.h"
#include "engine/util/UrlClassification.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/file/FileLayer.h"
#include "tests/support/CrawlFixture.h"
#include "tests/support/FolderTree.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/RegisteredCorvane.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

struct Picture {
    const char* address;  // in the start page, relative to it
    const char* path;     // the path the server serves it under, decoded
    const char* stored;   // the name it is stored under in "images"
};

const Picture kPictures[] = {
    {"img/my%20pic.png", "/img/my pic.png", "my pic.png"},
    {"img/100%25.png", "/img/100%.png", "100%.png"},
    {"img/a%2541.png", "/img/a%41.png", "a%41.png"},
    {"img/no%23.1.png", "/img/no#.1.png", "no#.1.png"},
    {"img/why%3F.png", "/img/why?.png", "why_.png"},
    {"img/this&amp;that.png", "/img/this&that.png", "this&that.png"},
    {"img/%22q%22%27s%27.png", "/img/\"q\"'s'.png", "_q_'s'.png"},
    {"img/%C3%A9t%C3%A9%20caf%C3%A9.png", "/img/\xC3\xA9t\xC3\xA9 caf\xC3\xA9.png",
     "\xC3\xA9t\xC3\xA9 caf\xC3\xA9.png"},
};

std::string PictureBytes() {
    return FileTextOf(std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site/pictures/map.png");
}

// The text of an element's children, as the parser read it.
std::string RawText(const HtmlElement& element) {
    std::string text;
    for (const HtmlElement::Node& node : element.Children()) {
        if (!node.element && !node.comment)
            text += node.text;
    }
    return text;
}

// The addresses a browser takes from a view page: every img src but the slide show's
// stand-in picture, and every string the slide show's script preloads (a script string
// read as a script engine reads it).
std::vector<std::string> PictureAddresses(const std::string& pageText) {
    const std::shared_ptr<HtmlDocument> document =
        ParseHtmlDocument(pageText, "file:///view/page.htm");
    std::vector<std::string> addresses;
    const HtmlElementCollection images = document->Images();
    for (LONG i = 0; i < images.Length(); ++i) {
        const std::string src = images.Item(i)->GetAttribute("src");
        if (src != "temp.jpg")
            addresses.push_back(src);
    }
    const HtmlElementCollection scripts = document->GetElementsByTagName("script");
    const std::string call = "newImage('";
    for (LONG i = 0; i < scripts.Length(); ++i) {
        const std::string script = RawText(*scripts.Item(i));
        for (size_t at = script.find(call); at != std::string::npos;
             at = script.find(call, at + 1)) {
            std::string value;
            for (size_t j = at + call.size(); j < script.size() && script[j] != '\''; ++j) {
                if (script[j] == '\\' && j + 1 < script.size())
                    ++j;
                value += script[j];
            }
            addresses.push_back(value);
        }
    }
    return addresses;
}

// The file a browser opens for an address relative to the view folder: "\" read as
// "/", escapes decoded.
std::string OpenedFile(const std::string& viewFolder, std::string address) {
    std::replace(address.begin(), address.end(), '\\', '/');
    std::string path = UnescapeUrl(address);
    std::replace(path.begin(), path.end(), '/', '\\');
    return viewFolder + "\\" + path;
}

// An extraction that records the percent it shows after each child's step.
class ProgressRecordingJob : public CrawlSiteImagesJob {
public:
    std::vector<int> Shown() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return shown_;
    }

protected:
    void OnChildFinished(Job* child) override {
        CrawlSiteImagesJob::OnChildFinished(child);
        std::lock_guard<std::mutex> guard(mutex_);
        shown_.push_back(GetProgress());
    }

private:
    mutable std::mutex mutex_;
    std::vector<int> shown_;
};

class ViewAddressTest : public CrawlFixture {
protected:
    ViewAddressTest() {
        static std::atomic<int> count{0};
        storage_ = "c:\\addresses\\storage" + std::to_string(++count);
        std::string page = "<html><body>";
        for (const Picture& picture : kPictures) {
            page += std::string("<img src=\"") + picture.address + "\" width=\"200\">";
            site_.SetBody(picture.path, PictureBytes(), "image/png");
        }
        site_.SetBody("/start.htm", page + "<a href=\"second.htm\">more</a></body></html>");
        site_.SetBody("/second.htm", "<html><body><img src=\"img/my%20pic.png\"></body></html>");
    }

    // Every view page names every picture by an address that opens it.
    void ExpectEveryAddressOpensItsFile(const std::string& viewFolder) {
        const std::string images = viewFolder + "\\images";
        std::vector<std::string> stored;
        for (const Picture& picture : kPictures)
            stored.push_back(picture.stored);
        std::sort(stored.begin(), stored.end());
        EXPECT_EQ(FileNamesIn(images), stored);
        for (const char* page : {"allImages.htm", "zoom.htm", "slideShow.htm", "allThumbs.htm"}) {
            SCOPED_TRACE(page);
            const std::string text = FileTextOf(viewFolder + "\\" + page);
            const std::vector<std::string> addresses = PictureAddresses(text);
            EXPECT_EQ(addresses.size(), std::size(kPictures)) << text;
            for (const std::string& address : addresses) {
                const std::string file = OpenedFile(viewFolder, address);
                std::string bytes;
                EXPECT_TRUE(ReadFileBytes(file, &bytes)) << address << " opens " << file;
                if (std::string(page) != "allThumbs.htm") {
                    EXPECT_TRUE(bytes == PictureBytes()) << address << ": other bytes";
                }
            }
        }
    }

    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
    std::string storage_;
    LocalSiteServer site_;
};

TEST_F(ViewAddressTest, EveryViewPageOpensPicturesWhateverTheirNamesHold) {
    PanelSettings settings;
    settings.folder = storage_;
    settings.siteUrl = site_.Url("/start.htm");
    settings.depth = 1;
    settings.viewName = "view";
    OwnedJob<ProgressRecordingJob> job(new ProgressRecordingJob);
    job->MakeViewPages(settings, "");
    ASSERT_TRUE(RunToEnd(*job));
    ASSERT_TRUE(WaitForIdleManager());
    ExpectEveryAddressOpensItsFile(job->GetViewFolder());

    // The percent shown climbs from stage to stage and never goes back.
    const std::vector<int> shown = job->Shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << ::testing::PrintToString(shown);
    EXPECT_EQ(shown.back(), 100);

    // A regeneration of the view reads its page back and writes the view again.
    const std::string viewFolder = job->GetViewFolder();
    PanelSettings again;
    again.folder = storage_ + "\\temp";
    again.siteUrl = PathToFileUrl(MapToLinuxPath(job->GetAllImagesPage()));
    again.depth = 1;
    again.viewName = "default";
    OwnedJob<regenerateHtmlJob> regeneration(new regenerateHtmlJob);
    regeneration->Setup(again);
    ASSERT_TRUE(RunToEnd(*regeneration));
    ASSERT_TRUE(WaitForIdleManager());
    EXPECT_EQ(regeneration->GetViewFolder(), viewFolder);
    ExpectEveryAddressOpensItsFile(viewFolder);
}

}  // namespace

namespace {

// Three extractions at once in one process, as three panels would run them, each on a
// site of its own: every view is whole and holds its own site's pictures only.
class ConcurrentExtractionTest : public CrawlFixture {
protected:
    ScopedRegistryStore store_;
    RegisteredCorvane corvane_;
};

TEST_F(ConcurrentExtractionTest, ThreeSitesAtOnceEachGetTheirWholeView) {
    static std::atomic<int> count{0};
    const std::string storage = "c:\\concurrent\\storage" + std::to_string(++count);
    const char* const views[] = {"one", "two", "three"};
    std::vector<std::unique_ptr<LocalSiteServer>> sites;
    std::vector<OwnedJob<CrawlSiteImagesJob>> jobs;
    for (const char* view : views) {
        auto site = std::make_unique<LocalSiteServer>();
        const std::string prefix = std::string(view) + "-";
        site->SetBody("/start.htm", "<img src='" + prefix + "a.png' width=200><img src='" + prefix +
                                        "b.png' width=200><a href='next.htm'>next</a>");
        site->SetBody("/next.htm", "<img src='" + prefix + "c.png' width=200>");
        for (const char* picture : {"a.png", "b.png", "c.png"})
            site->SetBody("/" + prefix + picture, PictureBytes(), "image/png");
        PanelSettings settings;
        settings.folder = storage;
        settings.siteUrl = site->Url("/start.htm");
        settings.depth = 1;
        settings.viewName = view;
        OwnedJob<CrawlSiteImagesJob> job(new CrawlSiteImagesJob);
        job->MakeViewPages(settings, "");
        sites.push_back(std::move(site));
        jobs.push_back(std::move(job));
    }
    for (OwnedJob<CrawlSiteImagesJob>& job : jobs)
        Manager().AddJob(job.get());
    for (size_t i = 0; i < jobs.size(); ++i) {
        ASSERT_TRUE(WaitForEnd(*jobs[i])) << views[i];
        const std::string prefix = std::string(views[i]) + "-";
        EXPECT_EQ(FileNamesIn(jobs[i]->GetImagesFolder()),
                  (StringArray{prefix + "a.png", prefix + "b.png", prefix + "c.png"}));
        EXPECT_EQ(FileNamesIn(jobs[i]->GetThumbsFolder()),
                  (StringArray{prefix + "a.jpg", prefix + "b.jpg", prefix + "c.jpg"}));
        EXPECT_EQ(FileNamesIn(jobs[i]->GetViewFolder()),
                  (StringArray{"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"}));
        const std::vector<std::string> addresses =
            PictureAddresses(FileTextOf(jobs[i]->GetAllImagesPage()));
        EXPECT_EQ(addresses.size(), 3u);
        for (const std::string& address : addresses) {
            std::string bytes;
            EXPECT_TRUE(ReadFileBytes(OpenedFile(jobs[i]->GetViewFolder(), address), &bytes))
                << address;
        }
        EXPECT_EQ(jobs[i]->GetProgress(), 100);
    }
    EXPECT_TRUE(WaitForIdleManager());
}

}  // namespace
