// The browser control's print command: what it records, and what a presentation is told.
#include <gtest/gtest.h>

#include "platform/browser/WebBrowserInterfaces.h"
#include "tests/platform/browser/BrowserControlFixture.h"

namespace {

// A presentation that only records the prints it is told of.
class PrintRecordingObserver final : public BrowserControlObserver {
public:
    void OnDocumentShown(HtmlDocument&) override {}
    void OnDocumentWritten(HtmlDocument&) override {}
    void OnAttributeSet(HtmlElement&, const std::string&, const std::string&) override {}
    void OnContentChanged(HtmlElement&) override {}
    void OnValueChanged(HtmlElement&) override {}
    void OnDesignModeChanged(HtmlDocument&, const std::string&) override {}
    void OnPrint(const PrintRecord& print) override { prints.push_back(print); }
    std::vector<PrintRecord> prints;
};

TEST_F(BrowserControlTest, PrintRecordsThePageShownAndTellsThePresentation) {
    ComPointer<IWebBrowser2> browser =
        ComPointer<IUnknown>(view.GetControlUnknown()).query<IWebBrowser2>();
    ASSERT_TRUE(browser);
    // Nothing shown yet: nothing to print.
    EXPECT_EQ(browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), E_FAIL);

    auto observer = std::make_shared<PrintRecordingObserver>();
    view.SetPresentationObserver(observer);
    const std::string main = Page(214);
    Load(main);
    EXPECT_EQ(browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr), S_OK);
    view.OnFilePrint();  // the view's print handler asks the person first
    const std::vector<PrintRecord> expected = {{main, false}, {main, true}, {main, true}};
    EXPECT_EQ(view.GetPrints(), expected);
    EXPECT_EQ(observer->prints, expected);

    // Other commands are not the control's; they print nothing.
    EXPECT_EQ(browser->ExecWB(17, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr),
              OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(view.GetPrints().size(), expected.size());

    // The view gone, its object refuses.
    view.DestroyWindow();
    EXPECT_EQ(browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), E_FAIL);
}

}  // namespace
