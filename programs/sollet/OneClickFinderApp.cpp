#include "programs/sollet/OneClickFinderApp.h"

#include "programs/sollet/CommandLine.h"
#include "programs/sollet/OneClickFinderDialog.h"

std::string& OneClickStartUrl() {
    static std::string url;
    return url;
}

bool OneClickFinderApp::InitInstance() {
    OneClickStartUrl() = ReadStartUrl(arguments_);
    OneClickFinderDialog dialog(OneClickStartUrl());
    dialog.DoModal();
    return false;
}
