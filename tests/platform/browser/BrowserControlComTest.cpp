// The browser control as bands and dialogs reach it: its COM object, the
// DWebBrowserEvents2 connection point, the band site, the dialog control and the
// presentation seam.
#include <gtest/gtest.h>

#include "platform/browser/BandSite.h"
#include "platform/browser/CWebBrowser2.h"
#include "platform/browser/WebBrowserInterfaces.h"
#include "platform/window/Window.h"
#include "tests/platform/browser/BrowserControlFixture.h"

namespace {

// A DWebBrowserEvents2 sink that records "<dispid> <url>" for every call.
class RecordingSink final : public IDispatch {
public:
    std::vector<std::string> calls;

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }  // lives on the test's stack
    HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                   UINT*) override {
        std::string url;
        if (member == DISPID_NAVIGATECOMPLETE2 || member == DISPID_DOCUMENTCOMPLETE)
            url = params->rgvarg[0].bstrVal;
        else if (member == DISPID_BEFORENAVIGATE2)
            url = params->rgvarg[5].bstrVal;
        calls.push_back(std::to_string(member) + (url.empty() ? "" : " " + url));
        return S_OK;
    }
    ULONG references = 0;
};

std::string Text(BSTR text) {
    const std::string out = BstrToUtf8(text);
    SysFreeString(text);
    return out;
}

}  // namespace

TEST_F(BrowserControlTest, AnAdvisedSinkHearsTheEventsAndNothingAfterUnadvise) {
    auto container =
        ComPointer<IUnknown>(view.GetControlUnknown()).query<IConnectionPointContainer>();
    ASSERT_TRUE(container);
    ComPointer<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()), S_OK);
    RecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);

    const std::string main = Page(214);
    Load(main);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"250 " + main, "252 " + main, "105", "105",
                                                    "259 " + main}));
    view.ClickLink("#/panel/extract");
    EXPECT_EQ(sink.calls[5], "250 " + main + "#/panel/extract");
    EXPECT_EQ(sink.calls[6], "252 " + main + "#/panel/extract");

    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    const std::size_t heard = sink.calls.size();
    Load(Page(215));
    EXPECT_EQ(sink.calls.size(), heard) << "an unadvised sink hears nothing";
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(sink.references, 0u) << "the connection released the sink";
}

TEST_F(BrowserControlTest, ABandReachesTheHostingBrowserThroughItsSite) {
    auto control = ComPointer<IUnknown>(view.GetControlUnknown());
    auto hosting = control.query<IWebBrowser2>();
    ASSERT_TRUE(hosting);
    HWND parent = reinterpret_cast<HWND>(0x1234);
    ComPointer<BandSite> site = BandSite::Make(parent, hosting.get());

    // The band's path: the site's window, its command target, the service provider.
    auto window = ComPointer<IUnknown>(static_cast<IOleWindow*>(site.get())).query<IOleWindow>();
    HWND got = nullptr;
    ASSERT_EQ(window->GetWindow(&got), S_OK);
    EXPECT_EQ(got, parent);
    auto services = window.query<IOleCommandTarget>().query<IServiceProvider>();
    ASSERT_TRUE(services);
    ComPointer<IWebBrowser2> browser;
    ASSERT_EQ(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.putVoid()),
              S_OK);
    EXPECT_EQ(browser.get(), hosting.get());
    ComPointer<IWebBrowser2> none;
    EXPECT_EQ(services->QueryService(IID_IWebBrowser2, IID_IWebBrowser2, none.putVoid()),
              E_NOINTERFACE);
    auto focus = window.query<IInputObjectSite>();
    ASSERT_EQ(focus->OnFocusChangeIS(control.get(), TRUE), S_OK);
    EXPECT_TRUE(site->LastFocus());
    EXPECT_EQ(site->LastFocusObject().get(), control.get());

    // Navigate, LocationURL, Document with designMode and outerHTML.
    ScopedBstr main(Page(214));
    ASSERT_EQ(browser->Navigate(main.get(), nullptr, nullptr, nullptr, nullptr), S_OK);
    Pump();
    ScopedBstr location;
    ASSERT_EQ(browser->get_LocationURL(location.receive()), S_OK);
    EXPECT_EQ(location.utf8(), Page(214));
    ComPointer<IDispatch> dispatch;
    ASSERT_EQ(browser->get_Document(dispatch.put()), S_OK);
    auto document = dispatch.query<IHTMLDocument2>();
    ASSERT_TRUE(document);
    ScopedBstr on("On");
    ASSERT_EQ(document->put_designMode(on.get()), S_OK);
    EXPECT_EQ(view.GetDesignMode(), "On");
    ASSERT_EQ(view.EditInDesignMode("curview", "edited by hand"), S_OK);
    ComPointer<IHTMLElement> root;
    ASSERT_EQ(dispatch.query<IHTMLDocument3>()->get_documentElement(root.put()), S_OK);
    BSTR html = nullptr;
    ASSERT_EQ(root->get_outerHTML(&html), S_OK);
    EXPECT_NE(Text(html).find(">edited by hand</span>"), std::string::npos);
    ComPointer<IHTMLElement> body;
    ASSERT_EQ(document->get_body(body.put()), S_OK);
    VARIANT scroll;
    ASSERT_EQ(body->getAttribute(ScopedBstr("scroll").get(), 0, &scroll), S_OK);
    EXPECT_EQ(scroll.bstrVal, "no");
    ASSERT_EQ(body->setAttribute(ScopedBstr("scroll").get(), VariantFromText("yes"), 0), S_OK);
    EXPECT_EQ(view.GetHtmlDocument()->Body()->GetAttribute("scroll"), "yes");

    // document.write through the COM face replaces the page.
    const VARIANT written[] = {VariantFromText("<html><body><img src=\"a.jpg\"></body></html>")};
    ASSERT_EQ(document->write(written, 1), S_OK);
    ASSERT_EQ(document->close(), S_OK);
    EXPECT_EQ(view.GetHtmlDocument()->Images().Length(), 1);
}

TEST_F(BrowserControlTest, TheControlAnswersWhatABandAsksOfIt) {
    auto control = ComPointer<IUnknown>(view.GetControlUnknown());
    auto object = control.query<IOleObject>();
    auto inPlace = control.query<IOleInPlaceObject>();
    auto window = control.query<IOleWindow>();
    ASSERT_TRUE(object && inPlace && window);
    RECT rect{0, 0, 250, 600};
    EXPECT_EQ(object->SetClientSite(nullptr), S_OK);
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, &rect), S_OK);
    EXPECT_EQ(object->DoVerb(7, nullptr, nullptr, 0, nullptr, &rect), OLEOBJ_E_INVALIDVERB);
    EXPECT_EQ(inPlace->SetObjectRects(&rect, &rect), S_OK);
    HWND hwnd = nullptr;
    ASSERT_EQ(window->GetWindow(&hwnd), S_OK);
    EXPECT_EQ(hwnd, view.GetSafeHwnd());
    EXPECT_EQ(window->GetWindow(nullptr), E_INVALIDARG);

    // TranslateAcceleratorIO's path: the application object's in-place active object.
    ComPointer<IDispatch> application;
    ASSERT_EQ(control.query<IWebBrowser2>()->get_Application(application.put()), S_OK);
    auto active = application.query<IOleInPlaceActiveObject>();
    ASSERT_TRUE(active);
    MSG key;
    key.message = WM_NULL;
    EXPECT_EQ(active->TranslateAccelerator(&key), S_FALSE);

    // Once the view has gone, the object it leaves behind fails cleanly.
    view.DestroyWindow();
    EXPECT_EQ(window->GetWindow(&hwnd), E_FAIL);
    EXPECT_EQ(control.query<IWebBrowser2>()->Navigate(ScopedBstr(Page(214)).get(), nullptr, nullptr,
                                                      nullptr, nullptr),
              E_FAIL);
}

namespace {

class DialogSite final : public WebBrowserControlSite {
public:
    std::vector<std::string> calls;
    BOOL OnAmbientProperty(UINT id, DISPID dispid, VARIANT* result) override {
        calls.push_back(FormatText("ambient %u %ld", id, static_cast<long>(dispid)));
        *result = VariantFromInteger(0x40008F80);
        return TRUE;
    }
    void OnDocumentComplete(UINT id, const std::string& url) override {
        calls.push_back(FormatText("document %u ", id) + url);
    }
};

// Records what a presentation is told.
class RecordingPresentation final : public BrowserControlObserver {
public:
    std::vector<std::string> calls;
    void OnDocumentShown(HtmlDocument& document) override {
        calls.push_back("shown " + document.ReadyState());
    }
    void OnDocumentWritten(HtmlDocument&) override { calls.push_back("written"); }
    void OnAttributeSet(HtmlElement& element, const std::string& name,
                        const std::string& value) override {
        calls.push_back("attribute " + element.Tag() + " " + name + "=" + value);
    }
    void OnContentChanged(HtmlElement& element) override {
        calls.push_back("content " + element.Id());
    }
    void OnValueChanged(HtmlElement& element) override {
        calls.push_back("value " + element.Name() + "=" + element.Value());
    }
    void OnDesignModeChanged(HtmlDocument&, const std::string& mode) override {
        calls.push_back("mode " + mode);
    }
};

}  // namespace

TEST_F(BrowserControlTest, ADialogsControlReportsToItsSiteByControlId) {
    DialogSite site;
    CWebBrowser2 control;
    HWND dialog = reinterpret_cast<HWND>(0x4321);
    ASSERT_TRUE(control.Create(dialog, 1013, &site));
    EXPECT_EQ(control.GetDlgCtrlID(), 1013u);
    EXPECT_EQ(control.GetParentHwnd(), dialog);
    EXPECT_TRUE(IsWindow(control.GetSafeHwnd()));
    ASSERT_TRUE(control.Navigate(Page(215)));
    Pump();
    EXPECT_EQ(site.calls,
              (std::vector<std::string>{"ambient 1013 -5512", "document 1013 " + Page(215)}));
    auto document = control.GetDocument().query<IHTMLDocument2>();
    ASSERT_TRUE(document);
    BSTR url = nullptr;
    ASSERT_EQ(document->get_URL(&url), S_OK);
    EXPECT_EQ(Text(url), Page(215));
    control.DestroyWindow();
    EXPECT_FALSE(control.Navigate(Page(214)));
}

TEST_F(BrowserControlTest, APresentationIsToldOfEveryChangeAndCanReplaceThePage) {
    auto presentation = std::make_shared<RecordingPresentation>();
    view.SetPresentationObserver(presentation);
    Load(Page(214));
    EXPECT_EQ(presentation->calls,
              (std::vector<std::string>{"shown interactive", "shown complete"}));
    presentation->calls.clear();

    auto document = view.GetHtmlDocument();
    document->Body()->SetAttribute("SCROLL", "yes");
    document->GetElementById("curview")->SetInnerHtml("<b>bold</b> site");
    document->GetElementsByTagName("input").Item(0)->SetValue("5");
    view.SetDesignMode("on");
    document->Write("<p>x</p>");
    document->Close();
    EXPECT_EQ(presentation->calls,
              (std::vector<std::string>{"attribute body scroll=yes", "content curview",
                                        "value depth=5", "mode on", "written"}));
    EXPECT_EQ(document->GetElementsByTagName("p").Length(), 1);

    // The screen's own page comes back: nobody is told, the mode and address stay.
    presentation->calls.clear();
    ASSERT_EQ(view.ReplaceDocumentFromHtml(
                  "<html><body><span id=\"typed\">on screen</span></body></html>"),
              S_OK);
    EXPECT_TRUE(presentation->calls.empty());
    EXPECT_EQ(document->GetElementById("typed")->InnerHtml(), "on screen");
    EXPECT_EQ(document->DesignMode(), "on");
    EXPECT_EQ(document->Url(), Page(214));
}
