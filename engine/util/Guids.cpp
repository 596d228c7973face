#include "engine/util/Guids.h"

std::string ClsidToString(REFCLSID clsid) {
    return GuidToString(clsid);
}

CLSID StringToClsid(std::string_view text) {
    CLSID clsid = GUID_NULL;
    CLSIDFromString(text, &clsid);
    return clsid;
}

std::string NewGuidString() {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return {};
    return GuidToString(guid);
}

std::string NewGuidName() {
    std::string name;
    for (char c : NewGuidString()) {
        if (c != '-' && c != '{' && c != '}')
            name.push_back(c);
    }
    return name;
}
