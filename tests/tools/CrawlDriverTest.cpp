// The command-line driver run as a separate program: its crawl and its extraction of
// the bundled sample site, and the exit status and message of a wrong command line and
// of a site that does not answer. The driver inherits the test program's own registry store and
// data folder.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <ostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "tests/support/LocalSiteServer.h"

namespace {

struct DriverRun {
    int status = -1;     // the exit status; -1 when it did not exit normally
    std::string output;  // standard output and standard error
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a program with arguments, killed after a minute at the latest.
DriverRun RunProgram(const std::string& program, const std::string& arguments) {
    const std::string command = "timeout 60 " + Quoted(program) + " " + arguments + " 2>&1";
    DriverRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

DriverRun RunDriver(const std::string& arguments) {
    return RunProgram(MORVELLE_CRAWL_DRIVER, arguments);
}

TEST(CrawlDriverTest, CrawlOnlyListsTheSampleSitePagesAtDepthOne) {
    const DriverRun run = RunDriver("--crawl-only --depth 1");
    ASSERT_EQ(run.status, 0) << run.output;

    // Each page line names the page by its URL on the served site; under it come the
    // links and images read from it.
    const std::regex pageLine(R"(^page \d+ http://127\.0\.0\.1:\d+(/\S*) \(depth (\d)\)(.*)$)");
    std::set<std::string> pages;
    std::string current;
    std::set<std::string> indexLines;  // with the site's address left out
    const std::regex site(R"(http://127\.0\.0\.1:\d+)");
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_match(line, match, pageLine)) {
            current = match[1];
            EXPECT_TRUE(pages.insert(current).second) << current << " listed twice";
            EXPECT_EQ(match[2], current == "/index.htm" ? "1" : "0") << line;
            EXPECT_EQ(match[3], "") << line;
        } else if (current == "/index.htm" && line.starts_with("  ")) {
            indexLines.insert(std::regex_replace(line.substr(2), site, ""));
        }
    }
    const std::set<std::string> expected{"/index.htm", "/frames/news.htm", "/frames/menu.htm",
                                         "/pages/garden.htm", "/pages/harbour.htm"};
    EXPECT_EQ(pages, expected) << run.output;
    for (const char* item : {"link /frames/news.htm", "link /pages/garden.htm",
                             "link http://elsewhere.example/gallery/index.htm",
                             "image /pictures/banner.png", "image /pictures/harbour-large.jpg"})
        EXPECT_TRUE(indexLines.count(item)) << item << " is not listed under the start page";
    EXPECT_NE(run.output.find("5 pages visited, 5 pages found, 5 loaded, 7 images"),
              std::string::npos)
        << run.output;
}

TEST(CrawlDriverTest, ExtractionOfTheSampleSiteWritesTheViewOnceTheFormatterIsRegistered) {
    // Without the formatter the pictures are fetched, but no view page is written.
    DriverRun run = RunDriver("--depth 1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("gallery formatter is not registered"), std::string::npos)
        << run.output;

    ASSERT_EQ(RunProgram(MORVELLE_REGISTER_TOOL, Quoted(CORVANE_MODULE_PATH)).status, 0);
    run = RunDriver("--depth 1");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(" - finding images..."), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(" - building views..."), std::string::npos) << run.output;

    // The last two lines: the page's system path, then the Linux path it maps to.
    std::istringstream lines(run.output);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);)
        all.push_back(line);
    ASSERT_GE(all.size(), 2u);
    const std::string systemPath = all[all.size() - 2];
    const std::string linuxPath = all.back();
    // The site folder is the served host with its port, without the ":".
    EXPECT_TRUE(std::regex_match(
        systemPath,
        std::regex(R"(c:\\browser\\storage\\127\.0\.0\.1\d+\\default\\allImages\.htm)")))
        << systemPath;
    EXPECT_EQ(linuxPath, MapToLinuxPath(systemPath));
    const std::string view = linuxPath.substr(0, linuxPath.rfind('/'));
    for (const char* page : {"allImages.htm", "allThumbs.htm", "slideShow.htm", "zoom.htm"})
        EXPECT_TRUE(FileIsReadable(view + "/" + page)) << page;
}

struct FailureCase {
    const char* name;
    std::string arguments;  // "%s" stands for a URL nobody answers at
    int status;
    std::string message;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class CrawlDriverFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CrawlDriverFailureTest, ExitsWithAMessage) {
    // A port that was just given up: connections to it are refused.
    std::string deadUrl;
    {
        LocalSiteServer server;
        deadUrl = server.Url("/index.htm");
    }
    std::string arguments = GetParam().arguments;
    if (const size_t at = arguments.find("%s"); at != std::string::npos)
        arguments.replace(at, 2, deadUrl);

    const DriverRun run = RunDriver(arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.output;
    EXPECT_NE(run.output.find(GetParam().message), std::string::npos) << run.output;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CrawlDriverFailureTest,
    ::testing::Values(
        FailureCase{"NotAnAddress", "--crawl-only not-a-url", 2,
                    "\"not-a-url\" is not a web address"},
        FailureCase{"OtherScheme", "--crawl-only ftp://127.0.0.1/x", 2,
                    "\"ftp://127.0.0.1/x\" is not a web address"},
        FailureCase{"NoHost", "--crawl-only http://", 2, "\"http://\" is not a web address"},
        FailureCase{"UnknownOption", "--crawl-only --deep 2", 2, "unknown option --deep"},
        FailureCase{"BadDepth", "--crawl-only --depth -1", 2, "bad value \"-1\" for --depth"},
        FailureCase{"MissingValue", "--crawl-only --depth", 2, "--depth needs a value"},
        FailureCase{"ViewOutsideTheSite", "--view ../x", 2, "bad value \"../x\" for --view"},
        FailureCase{"UnreachableCrawl", "--crawl-only --depth 1 %s", 1, "could not be loaded"},
        FailureCase{"UnreachableExtraction", "--depth 1 --fast %s", 1, "could not be loaded"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
