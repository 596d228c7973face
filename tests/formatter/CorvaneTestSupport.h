// Corvane as its callers meet it: the built libCorvane.so registered with its own
// DllRegisterServer in the test's own registry store, objects made by CoCreateInstance.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "formatter/HtmlFormatterInterface.h"
#include "platform/com/ComLibrary.h"
#include "platform/file/FileLayer.h"
#include "platform/module/SharedLibrary.h"
#include "tests/support/ScopedRegistryStore.h"
#include "tests/support/TestEnvironment.h"

class CorvaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        module_ = LoadSharedLibrary(CORVANE_MODULE_PATH, &reason);
        ASSERT_NE(module_, nullptr) << reason;
        ASSERT_EQ(Call("DllRegisterServer"), S_OK);
    }
    void TearDown() override { FreeSharedLibrary(module_); }

    // Calls one of the module's entry points that take no arguments.
    HRESULT Call(const char* entry) {
        auto function = reinterpret_cast<HRESULT (*)()>(GetLibrarySymbol(module_, entry));
        return function ? function() : E_NOTIMPL;
    }

    ComPointer<IHtmlFormatter> Create() {
        ComPointer<IHtmlFormatter> formatter;
        EXPECT_EQ(CoCreateInstance(CLSID_HtmlFormatter, nullptr, CLSCTX_ALL, IID_IHtmlFormatter,
                                   formatter.putVoid()),
                  S_OK);
        return formatter;
    }

    std::string Page(const std::string& name) const { return folder_ + "/" + name; }

    static std::string Text(const std::string& path) {
        std::string bytes;
        return ReadFileBytes(path, &bytes) ? bytes : "<missing>";
    }

    ScopedRegistryStore store_;
    HLIBRARY module_ = nullptr;
    std::string folder_ = MakeTestFolder("pages");
};
