// A browser control on the test's own thread, showing the pages of the panel test
// module (loaded in the process, as a band is): its events recorded in order, its
// posted events delivered by Pump.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/browser/CHtmlView.h"
#include "platform/browser/HtmlDocument.h"
#include "platform/resource/Resource.h"
#include "platform/text/Text.h"
#include "platform/window/MessageLoop.h"

// A view that records its events as "before <url>", "navigated <url>", "document <url>",
// "error <url>" and "state <command> <enabled>".
class RecordingControl : public CHtmlView {
public:
    std::vector<std::string> events;
    std::vector<std::string> postedData;
    // Runs inside OnBeforeNavigate2; true cancels.
    std::function<bool(const std::string&)> onBefore;
    int ambientQuestions = 0;

protected:
    void OnBeforeNavigate2(const std::string& url, DWORD, const std::string&,
                           const std::string& posted, const std::string&, BOOL* cancel) override {
        events.push_back("before " + url);
        postedData.push_back(posted);
        if (onBefore && onBefore(url))
            *cancel = TRUE;
    }
    void OnNavigateComplete2(const std::string& url) override {
        events.push_back("navigated " + url);
    }
    void OnDocumentComplete(const std::string& url) override {
        events.push_back("document " + url);
    }
    void OnNavigateError(const std::string& url, HRESULT error) override {
        events.push_back(FormatText("error %s 0x%08X", url.c_str(), static_cast<unsigned>(error)));
    }
    void OnCommandStateChange(LONG command, BOOL enable) override {
        events.push_back(FormatText("state %ld %d", static_cast<long>(command), enable));
    }
    BOOL OnAmbientProperty(DISPID dispid, VARIANT* result) override {
        if (dispid == DISPID_AMBIENT_DLCONTROL)
            ++ambientQuestions;
        return CHtmlView::OnAmbientProperty(dispid, result);
    }
};

class BrowserControlTest : public testing::Test {
protected:
    void SetUp() override {
        HMODULE module = LoadLibrary(BROWSER_PANEL_MODULE);
        ASSERT_NE(module, nullptr);
        module_ = module;
        modulePath_ = GetModuleFileName(module);
        ASSERT_TRUE(view.Create(nullptr, 1000));
    }
    void TearDown() override {
        view.DestroyWindow();
        Pump();
        if (module_)
            FreeLibrary(static_cast<HMODULE>(module_));
    }

    // The address of a page of the module, built as the panel builds it.
    std::string Page(int id) const { return FormatText("res://%s/%d", modulePath_.c_str(), id); }

    // Delivers what was posted to this thread's windows, and what that posted in turn.
    static void Pump() {
        for (int round = 0; round < 20; ++round) {
            MSG msg;
            if (!PeekMessage(&msg, PM_NOREMOVE))
                return;
            ServePendingMessages(nullptr);
        }
    }

    // Navigates and delivers the load's events; the events recorded so far are dropped.
    void Load(const std::string& url) {
        ASSERT_TRUE(view.Navigate2(url));
        Pump();
        ASSERT_FALSE(view.events.empty());
        ASSERT_EQ(view.events.back(), "document " + url) << "the load did not complete";
        view.events.clear();
        view.postedData.clear();
    }

    std::string FieldValue(const std::string& form, const std::string& field) {
        auto document = view.GetHtmlDocument();
        for (LONG i = 0; i < document->Forms().Length(); ++i) {
            auto candidate = document->Forms().Item(i);
            if (candidate->Name() != form)
                continue;
            for (LONG k = 0; k < candidate->Elements().Length(); ++k) {
                if (candidate->Elements().Item(k)->Name() == field)
                    return candidate->Elements().Item(k)->Value();
            }
        }
        return "<none>";
    }

    RecordingControl view;
    void* module_ = nullptr;  // the HMODULE (a type hidden in the platform)
    std::string modulePath_;
};
