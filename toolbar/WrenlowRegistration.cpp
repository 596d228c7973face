#include "toolbar/WrenlowRegistration.h"

#include <string>

namespace {

constexpr const char* kClassDescription = "Gorsebeck Class";
constexpr const char* kProgId = "Gorsebeck.Gorsebeck.1";
constexpr const char* kVersionIndependentProgId = "Gorsebeck.Gorsebeck";
constexpr const char* kFriendlyName = "Sollet";
constexpr const char* kTypeLibraryName = "MYWRENLOWLib";
constexpr const char* kTypeLibraryVersion = "1.0";

}  // namespace

const RegistryScript& WrenlowRegistryScript() {
    static const RegistryScript script = [] {
        const std::string clsidKey = std::string("CLSID\\") + kGorsebeckClassId;
        const std::string libraryKey =
            std::string("TypeLib\\") + kWrenlowTypeLibraryId + "\\" + kTypeLibraryVersion;
        RegistryScript s;
        s.ownedKeys = {kProgId, kVersionIndependentProgId, clsidKey, libraryKey};
        s.keys = {
            {kProgId, {{"", kClassDescription}}},
            {std::string(kProgId) + "\\CLSID", {{"", kGorsebeckClassId}}},
            {kVersionIndependentProgId, {{"", kClassDescription}}},
            {std::string(kVersionIndependentProgId) + "\\CLSID", {{"", kGorsebeckClassId}}},
            {std::string(kVersionIndependentProgId) + "\\CurVer", {{"", kProgId}}},
            {clsidKey, {{"", kFriendlyName}}},
            {clsidKey + "\\ProgID", {{"", kProgId}}},
            {clsidKey + "\\VersionIndependentProgID", {{"", kVersionIndependentProgId}}},
            {clsidKey + "\\Programmable", {}},
            {clsidKey + "\\InprocServer32", {{"", "%MODULE%"}, {"ThreadingModel", "Apartment"}}},
            {clsidKey + "\\TypeLib", {{"", kWrenlowTypeLibraryId}}},
            {libraryKey, {{"", "Wrenlow 1.0 Type Library"}, {"Name", kTypeLibraryName}}},
            {libraryKey + "\\0\\linux64", {{"", "%MODULE%"}}},
            {libraryKey + "\\FLAGS", {{"", "0"}}},
            {libraryKey + "\\HELPDIR", {{"", "%MODULEFOLDER%"}}},
        };
        return s;
    }();
    return script;
}
