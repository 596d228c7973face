#include "engine/writers/FormatterStyles.h"

#include <gtest/gtest.h>

#include "platform/com/ServerExports.h"
#include "platform/module/SharedLibrary.h"
#include "tests/support/ScopedRegistryStore.h"

namespace {

HRESULT CallCorvane(const char* entry) {
    HLIBRARY module = LoadSharedLibrary(CORVANE_MODULE_PATH);
    if (!module)
        return E_FAIL;
    auto function = reinterpret_cast<DllRegisterServerFunction>(GetLibrarySymbol(module, entry));
    const HRESULT hr = function ? function() : E_NOTIMPL;
    FreeSharedLibrary(module);
    return hr;
}

TEST(FormatterStylesTest, AppendsTheSevenOfferedNames) {
    ScopedRegistryStore store;
    ASSERT_EQ(CallCorvane("DllRegisterServer"), S_OK);
    StringArray styles{"kept"};
    GetFormatterStyles(styles);
    EXPECT_EQ(styles, (StringArray{"kept", "All", "Thumbs", "SlideShow", "Tile", "TileMultipage",
                                   "Multiview", "Zoom"}));
}

TEST(FormatterStylesTest, WithoutTheFormatterTheArrayStaysAsItWas) {
    ScopedRegistryStore store;
    StringArray styles{"kept"};
    GetFormatterStyles(styles);
    EXPECT_EQ(styles, StringArray{"kept"});
}

}  // namespace
