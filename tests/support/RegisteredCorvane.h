// The built Corvane registered in the registry store in force (a test's own, made with
// ScopedRegistryStore before this), so that jobs create its formatter by class id.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/com/ServerExports.h"
#include "platform/module/SharedLibrary.h"

class RegisteredCorvane {
public:
    RegisteredCorvane() {
        std::string reason;
        module_ = LoadSharedLibrary(CORVANE_MODULE_PATH, &reason);
        if (module_ == nullptr) {
            ADD_FAILURE() << "Corvane does not load: " << reason;
            return;
        }
        auto registerServer = reinterpret_cast<DllRegisterServerFunction>(
            GetLibrarySymbol(module_, "DllRegisterServer"));
        if (registerServer == nullptr || registerServer() != S_OK)
            ADD_FAILURE() << "Corvane did not register";
    }
    ~RegisteredCorvane() {
        if (module_ != nullptr)
            FreeSharedLibrary(module_);
    }
    RegisteredCorvane(const RegisteredCorvane&) = delete;
    RegisteredCorvane& operator=(const RegisteredCorvane&) = delete;

private:
    HLIBRARY module_ = nullptr;
};
