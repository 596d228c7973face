// The panel's commands that send the person somewhere, in each of the three finder bands:
// what the hosting browser is asked to show (or that nothing happens), and the mail a
// band opens. Each band runs one extraction first, so that a view is current.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/file/FileLayer.h"
#include "platform/shell/Shell.h"
#include "tests/band/BandHostFixture.h"
#include "tests/support/RecordingShell.h"

using namespace std::chrono_literals;

namespace {

// What the test knows of one band.
struct BandUnderTest {
    const char* title;
    const char* modulePath;
    CLSID classId;
    const char* settingsKey;
    int mainPage;
    int tutorialsPage;
    const char* markerPage;
    const char* homeAddress;
    const char* updateAddress;
    const char* onlineHelpAddress;
    bool imageViews;  // the image band's "/view/..." commands
};

const BandUnderTest kBands[] = {
    {"Brisquel",
     QUILLET_MODULE_PATH,
     {0x0FF527A4, 0x6274, 0x44FF, {0xA1, 0x4C, 0xC2, 0xFB, 0x99, 0xE6, 0x48, 0xC9}},
     "Software\\Morvelle\\Brisquel",
     214,
     218,
     "allImages.htm",
     "http://www.example.com/brisquel/",
     "http://www.example.com/brisquel/update.htm",
     "http://help.example.com/brisquel/",
     true},
    {"Ferncastle",
     DOVETINE_MODULE_PATH,
     {0x7F0EA224, 0x395B, 0x4E44, {0x97, 0x65, 0x79, 0x25, 0x8A, 0xE5, 0xF4, 0xA0}},
     "Software\\Morvelle\\Ferncastle",
     222,
     220,
     "allFiles.htm",
     "http://www.example.com/ferncastle/",
     "http://www.example.com/ferncastle/update.htm",
     "http://help.example.com/ferncastle/",
     false},
    {"Harrowby",
     HARROWBY_MODULE_PATH,
     {0xFF1D8FCB, 0x4F52, 0x4D19, {0x95, 0xCC, 0xCD, 0x02, 0x9C, 0x32, 0x2B, 0x70}},
     "Software\\Morvelle\\Harrowby",
     216,
     220,
     "allMP3s.htm",
     "http://www.example.com/harrowby/",
     "http://www.example.com/harrowby/update.htm",
     "http://help.example.com/harrowby/",
     false},
};

class PanelCommandTableTest : public BandHostTest,
                              public ::testing::WithParamInterface<const BandUnderTest*> {
protected:
    PanelCommandTableTest()
        : BandHostTest(GetParam()->modulePath, GetParam()->classId, GetParam()->settingsKey,
                       NextStorage(), std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site"),
          band_(*GetParam()) {}

    std::string PanelPage() const {
        return panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
    }
    // The address of the band's page of that id, as the panel builds it.
    std::string ModulePage(int id) const {
        const std::string main = PanelPage();
        return main.substr(0, main.rfind('/') + 1) + std::to_string(id);
    }
    // The file: address the host is given for a system path.
    static std::string FileAddress(const std::string& path) { return PathToFileUrl(path); }

    // The command as a link of the panel's page: what the host is asked to show.
    std::vector<std::string> Run(const std::string& fragment) {
        host_.asked.clear();
        EXPECT_TRUE(panel_->Navigate2(PanelPage() + "#" + fragment)) << fragment;
        return host_.asked;
    }

    const BandUnderTest& band_;

private:
    static std::string NextStorage() {
        static std::atomic<int> count{0};
        return "c:\\commands\\storage" + std::to_string(++count);
    }
};

TEST_P(PanelCommandTableTest, EachCommandShowsItsPageInTheHostOrNothing) {
    StoreSetting("depth", "0");
    const std::string start = site_.Url("/index.htm");
    Browse(start);
    const std::string mainTail = "/" + std::to_string(band_.mainPage);
    OpenBandShowing(mainTail);
    ASSERT_EQ(Click("#/panel/extract"), S_OK);
    ASSERT_TRUE(
        PumpUntil([&] { return HostShowsPage(band_.markerPage) && PanelShows(mainTail); }, 60s))
        << host_.GetLocationURL();
    const std::string view = ViewFolder();

    struct Case {
        std::string fragment;
        std::vector<std::string> asked;  // what the host is asked to show; none: nothing
    };
    const std::vector<std::string> nothing;
    std::vector<Case> cases = {
        // The home command is the one written with capitals; matching ignores case.
        {"/panel/Brisquel", {band_.homeAddress}},
        {"/panel/brisquel", {band_.homeAddress}},
        {"/PANEL/BRISQUEL", {band_.homeAddress}},
        {"/panel/update", {band_.updateAddress}},
        {"/panel/onlinehelp", {band_.onlineHelpAddress}},
        {"/panel/tutorials", {ModulePage(band_.tutorialsPage)}},
        {"/panel/site", {start}},
    };
    if (band_.imageViews) {
        cases.push_back({"/panel/view/multiview", nothing});  // no view has such a page
        cases.push_back({"/panel/view/root", {FileAddress(storage_)}});
        cases.push_back({"/panel/view/urls", {FileAddress(view + "\\urls.htm")}});
        cases.push_back({"/panel/view/site", {start}});
    } else {
        // A list band's only view command is "/view/storage".
        for (const char* command :
             {"/panel/view/multiview", "/panel/view/root", "/panel/view/urls", "/panel/view/site"})
            cases.push_back({command, nothing});
    }
    for (const Case& test : cases) {
        EXPECT_EQ(Run(test.fragment), test.asked) << band_.title << " " << test.fragment;
        EXPECT_TRUE(PanelShows(mainTail)) << band_.title << " " << test.fragment;
    }

    // "email" opens a mail about the band with the desktop's mail program.
    RecordingShell shell;
    EXPECT_EQ(Run("/panel/email"), nothing);
    ASSERT_EQ(shell.starts.size(), 1u);
    EXPECT_EQ(shell.starts[0].program, "xdg-open");
    ASSERT_EQ(shell.starts[0].arguments.size(), 1u);
    const std::string mail = shell.starts[0].arguments[0];
    EXPECT_EQ(mail.rfind("mailto:?subject=Check%20out%20" + std::string(band_.title) + "&body=", 0),
              0u)
        << mail;
    EXPECT_NE(mail.find(band_.title, mail.find("&body=")), std::string::npos) << mail;
}

INSTANTIATE_TEST_SUITE_P(FinderBands, PanelCommandTableTest,
                         ::testing::Values(&kBands[0], &kBands[1], &kBands[2]),
                         [](const auto& info) { return std::string(info.param->title); });

}  // namespace
