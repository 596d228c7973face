#include "platform/browser/PageLoaderFactory.h"

#include <gtest/gtest.h>

#include "platform/browser/CurlPageLoader.h"
#include "platform/browser/ScriptedPageLoader.h"
#include "platform/timing/Timing.h"
#include "tests/support/RecordingPageLoadSink.h"

using namespace std::chrono_literals;

TEST(BrowserPageLoaderFactoryTest, TheRealLoaderUnlessATestInstalledAnother) {
    RecordingPageLoadSink sink;
    EXPECT_NE(dynamic_cast<CurlPageLoader*>(MakePageLoader(sink).get()), nullptr);
    {
        ScopedPageLoaderFactory scripted(
            [](PageLoadSink& s) { return std::make_unique<ScriptedPageLoader>(s); });
        EXPECT_NE(dynamic_cast<ScriptedPageLoader*>(MakePageLoader(sink).get()), nullptr);
        {
            ScopedPageLoaderFactory none(
                [](PageLoadSink&) { return std::unique_ptr<PageLoader>(); });
            EXPECT_EQ(MakePageLoader(sink), nullptr);
        }
        EXPECT_NE(dynamic_cast<ScriptedPageLoader*>(MakePageLoader(sink).get()), nullptr);
    }
    EXPECT_NE(dynamic_cast<CurlPageLoader*>(MakePageLoader(sink).get()), nullptr);
}

TEST(BrowserPageLoaderFactoryTest, LoaderTimeOutsComeFromTheTimingRecord) {
    const PageLoaderOptions product;
    EXPECT_EQ(product.connectTimeout, 10'000ms);
    EXPECT_EQ(product.lowSpeedTime, 30'000ms);
    EXPECT_EQ(product.transferTimeout, 120'000ms);
    TimingRecord fast;
    fast.fetchConnectTimeoutMs = 11;
    fast.fetchLowSpeedTimeoutMs = 22;
    fast.fetchTransferTimeoutMs = 33;
    ScopedTiming timing(fast);
    const PageLoaderOptions shortened;
    EXPECT_EQ(shortened.connectTimeout, 11ms);
    EXPECT_EQ(shortened.lowSpeedTime, 22ms);
    EXPECT_EQ(shortened.transferTimeout, 33ms);
}
