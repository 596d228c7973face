// The bands' panel pages on the screen at the band pane's width: the main page and the
// progress page of each band fit the pane (no horizontal overflow), the progress page's
// site address and status text show whole in their fields, and no field touches its
// label (6 pixels at least). Screenshots of each page are saved.
#include <gtest/gtest.h>

#include <string>

#include "platform/browser/CHtmlView.h"
#include "platform/com/ComLibrary.h"
#include "platform/com/ServerExports.h"
#include "platform/host/BrowserHost.h"
#include "platform/module/SharedLibrary.h"
#include "platform/resource/Resource.h"
#include "platform/ui/screen/Screen.h"
#include "platform/window/WindowTree.h"
#include "tests/screen/ScreenTestSupport.h"
#include "tests/support/LocalSiteServer.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

constexpr int kTimeoutMs = 30000;

// Measures the page by script: "overflow" (how far the page is wider than the view),
// then "gap" (the least room between a field and the text of the cell before it, 99 when
// no field has one), then each named field whose text is wider than the field.
constexpr const char* kMeasureScript = R"JS((function(){
var d=document.documentElement,out=['overflow '+(d.scrollWidth-d.clientWidth)];
var gap=99,fields=document.querySelectorAll('input[type=text],input:not([type])');
for(var i=0;i<fields.length;i++){var f=fields[i],c=f.closest('td');
if(!c||!c.previousElementSibling)continue;var r=document.createRange();
r.selectNodeContents(c.previousElementSibling);var t=r.getBoundingClientRect();
if(t.width>0)gap=Math.min(gap,Math.round(f.getBoundingClientRect().left-t.right));}
out.push('gap '+gap);
for(var j=0;j<fields.length;j++){var g=fields[j];
if(g.scrollWidth>g.clientWidth+1)out.push('cut '+g.name);}
return out.join(', ');})())JS";

struct PanelBand {
    const char* modulePath;
    const char* title;
    int progressPage;  // its resource number
    const char* name;  // of its screenshots
};

class PanelPageScreenTest : public ::testing::TestWithParam<PanelBand> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SCREEN();
        CoInitialize(nullptr);
        std::string reason;
        module_ = LoadSharedLibrary(GetParam().modulePath, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
        site_.SetBody("/index.htm", "<html><body><h1>A site</h1></body></html>");
    }
    void TearDown() override {
        host_.Destroy();
        if (module_)
            FreeSharedLibrary(module_);
        if (ScreenForTests())
            CoUninitialize();
    }
    std::string Measure(HWND panel) {
        std::string answer;
        EXPECT_TRUE(RunScriptInBrowserView(panel, kMeasureScript, &answer, kTimeoutMs));
        return answer;
    }

    ScopedRegistryStore store_;
    LocalSiteServer site_;
    HLIBRARY module_ = nullptr;
    BrowserHost host_;
};

TEST_P(PanelPageScreenTest, TheMainAndProgressPagesFitThePane) {
    const PanelBand& band = GetParam();
    ASSERT_TRUE(host_.Create(site_.Url("/index.htm")));
    ASSERT_TRUE(host_.OpenBand(band.title));
    HWND panel = host_.BandWindow();
    if (GetClassName(panel) != kBrowserControlClassName)
        panel = GetWindow(panel, GW_CHILD);
    ASSERT_TRUE(PumpScreenUntil(
        [&] {
            return BrowserViewAddress(panel).rfind("res://", 0) == 0 && !BrowserViewLoading(panel);
        },
        kTimeoutMs));
    RECT pane{};
    GetWindowRect(panel, &pane);
    EXPECT_EQ(pane.right - pane.left, host_.PaneWidth());
    std::string measured = Measure(panel);
    EXPECT_EQ(measured.substr(0, 11), "overflow 0,") << measured;
    EXPECT_EQ(measured.find("cut"), std::string::npos) << measured;
    EXPECT_GE(std::stoi(measured.substr(measured.find("gap ") + 4)), 6) << measured;
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(),
                                     ScreenshotPath(std::string(band.name) + "-panel-main")));

    // The progress page, with what a run writes into it.
    CHtmlView* view = BrowserControlFromWindow(panel);
    ASSERT_NE(view, nullptr);
    const HMODULE resources = LoadLibrary(band.modulePath);
    ASSERT_NE(resources, nullptr);
    const std::string working =
        "res://" + GetModuleFileName(resources) + "/" + std::to_string(band.progressPage);
    FreeLibrary(resources);
    ASSERT_TRUE(view->Navigate2(working));
    ASSERT_TRUE(PumpScreenUntil(
        [&] { return BrowserViewAddress(panel) == working && !BrowserViewLoading(panel); },
        kTimeoutMs));
    std::string written;
    ASSERT_TRUE(RunScriptInBrowserView(
        panel,
        "var f=document.forms[0];f.url.value='http://127.0.0.1:43905/index.htm';"
        "f.percent.value='100 | 12 - downloading images...';f.images.value='1234';"
        "f.time.value='00:01:02';'written'",
        &written, kTimeoutMs));
    ASSERT_EQ(written, "written");
    measured = Measure(panel);
    EXPECT_EQ(measured.substr(0, 11), "overflow 0,") << measured;
    EXPECT_EQ(measured.find("cut"), std::string::npos) << measured;
    EXPECT_GE(std::stoi(measured.substr(measured.find("gap ") + 4)), 6) << measured;
    ASSERT_TRUE(SaveWindowScreenshot(host_.Frame(),
                                     ScreenshotPath(std::string(band.name) + "-panel-progress")));
}

INSTANTIATE_TEST_SUITE_P(
    Bands, PanelPageScreenTest,
    ::testing::Values(PanelBand{QUILLET_MODULE_PATH, "Brisquel", 215, "quillet"},
                      PanelBand{DOVETINE_MODULE_PATH, "Ferncastle", 217, "dovetine"},
                      PanelBand{HARROWBY_MODULE_PATH, "Harrowby", 217, "harrowby"}),
    [](const ::testing::TestParamInfo<PanelBand>& info) { return std::string(info.param.name); });

}  // namespace
