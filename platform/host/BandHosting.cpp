// The bands of the registry store and their hosting: created by CLSID as the platform's
// browser creates them, given their site, asked their information, shown; and ended.
#include <algorithm>

#include "platform/browser/BandSite.h"
#include "platform/com/ComLibrary.h"
#include "platform/host/BrowserHostImpl.h"
#include "platform/registry/Registry.h"
#include "platform/trace/Trace.h"

namespace {

// The browser's list of toolbar bands: a value named by each band's CLSID.
constexpr const char* kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";

// A pane and a row have room for a band even when it tells no size.
constexpr int kDefaultPaneWidth = 260;
constexpr int kDefaultRowHeight = 28;

std::string ClassTitle(const std::string& clsidText) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID\\" + clsidText, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string data;
    DWORD type = 0;
    const LONG status = RegQueryValueBytes(key, "", &type, &data);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return {};
    while (!data.empty() && data.back() == '\0')
        data.pop_back();
    return data;
}

}  // namespace

std::vector<RegisteredBand> RegisteredVerticalBands() {
    std::vector<RegisteredBand> bands;
    HKEY classes = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &classes) != ERROR_SUCCESS)
        return bands;
    const std::string category = "\\Implemented Categories\\" + GuidToString(CATID_InfoBand);
    std::string name;
    for (DWORD i = 0; RegEnumKeyEx(classes, i, &name) == ERROR_SUCCESS; ++i) {
        HKEY implemented = nullptr;
        if (RegOpenKeyEx(classes, name + category, 0, KEY_READ, &implemented) != ERROR_SUCCESS)
            continue;
        RegCloseKey(implemented);
        RegisteredBand band;
        if (SUCCEEDED(CLSIDFromString(name, &band.clsid))) {
            band.title = ClassTitle(GuidToString(band.clsid));
            bands.push_back(band);
        }
    }
    RegCloseKey(classes);
    return bands;
}

std::vector<RegisteredBand> RegisteredToolbarBands() {
    std::vector<RegisteredBand> bands;
    HKEY toolbar = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_READ, &toolbar) != ERROR_SUCCESS)
        return bands;
    std::string name;
    std::string data;
    DWORD type = 0;
    for (DWORD i = 0; RegEnumValue(toolbar, i, &name, &type, &data) == ERROR_SUCCESS; ++i) {
        RegisteredBand band;
        if (SUCCEEDED(CLSIDFromString(name, &band.clsid))) {
            band.title = ClassTitle(GuidToString(band.clsid));
            bands.push_back(band);
        }
    }
    RegCloseKey(toolbar);
    return bands;
}

bool HostBand(REFCLSID clsid, HWND parent, IWebBrowser2* browser, DWORD bandId, bool vertical,
              HostedBand* hosted) {
    *hosted = HostedBand{};
    IUnknown* unknown = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&unknown));
    if (FAILED(hr) || unknown == nullptr) {
        Trace("host", "band %s cannot be created (0x%08X)", GuidToString(clsid).c_str(),
              static_cast<unsigned>(hr));
        return false;
    }
    ComPointer<IUnknown> object = ComPointer<IUnknown>::adopt(unknown);
    IDeskBand* band = nullptr;
    IObjectWithSite* withSite = nullptr;
    if (FAILED(object->QueryInterface(IID_IDeskBand, reinterpret_cast<void**>(&band)))) {
        Trace("host", "%s is no band", GuidToString(clsid).c_str());
        return false;
    }
    hosted->band = ComPointer<IDeskBand>::adopt(band);
    if (FAILED(object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
        Trace("host", "band %s takes no site", GuidToString(clsid).c_str());
        hosted->band.reset();
        return false;
    }
    hosted->withSite = ComPointer<IObjectWithSite>::adopt(withSite);
    hosted->clsid = clsid;
    ComPointer<BandSite> site = BandSite::Make(parent, browser);
    if (FAILED(hosted->withSite->SetSite(static_cast<IOleWindow*>(site.get())))) {
        Trace("host", "band %s refused its site", GuidToString(clsid).c_str());
        hosted->withSite->SetSite(nullptr);
        *hosted = HostedBand{};
        return false;
    }
    DESKBANDINFO info;
    info.dwMask =
        DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS;
    hosted->band->GetBandInfo(bandId, vertical ? DBIF_VIEWMODE_VERTICAL : DBIF_VIEWMODE_NORMAL,
                              &info);
    // A vertical band's sizes are given with x across the pane.
    const LONG minimum = vertical ? info.ptMinSize.x : info.ptMinSize.y;
    const LONG actual = vertical ? info.ptActual.x : info.ptActual.y;
    hosted->size = static_cast<int>(std::max(minimum, actual));
    if (hosted->size <= 0)
        hosted->size = vertical ? kDefaultPaneWidth : kDefaultRowHeight;
    if (!vertical)
        hosted->length =
            static_cast<int>(std::max<LONG>(std::max(info.ptMinSize.x, info.ptActual.x), 0));
    hosted->band->GetWindow(&hosted->window);
    hosted->band->ShowDW(TRUE);
    return true;
}

void EndBand(HostedBand* hosted) {
    if (hosted->band) {
        hosted->band->ShowDW(FALSE);
        hosted->band->CloseDW(0);
    }
    if (hosted->withSite)
        hosted->withSite->SetSite(nullptr);
    *hosted = HostedBand{};
}
