// Quillet: the image finder band (Brisquel) as an in-process server. Its product
// descriptor, and the four entry points, which hand it to the band code.
#include "band/BandModule.h"
#include "band/PanelCommands.h"
#include "band/settings/PanelPreferences.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/extract/CrawlSiteImagesJob.h"
#include "engine/extract/StorageLayout.h"
#include "engine/jobs/JobManager.h"
#include "platform/com/ServerExports.h"

namespace {

using namespace PanelCommands;

constexpr PanelCommand kEditModeCommands[] = {
    {"/panel/save", SaveEdit},
    {"/panel/cancel", CancelEdit},
};

constexpr PanelCommand kPanelCommands[] = {
    {"/panel/Brisquel", Home},       {"/panel/open", OpenView},
    {"/panel/edit", Edit},           {"/panel/cancel", NotInEditMode},
    {"/panel/save", NotInEditMode},  {"/panel/extract", Extract},
    {"/panel/view", View},           {"/panel/email", Email},
    {"/panel/update", Update},       {"/panel/help", Help},
    {"/panel/tutorials", Tutorials}, {"/panel/onlinehelp", OnlineHelp},
    {"/panel/site", Site},           {"/panel/settings", Settings},
};

constexpr PanelCommand kViewCommands[] = {
    {"/view/thumbnails", ViewThumbnails},
    {"/view/tiled", ViewTiled},
    {"/view/slideshow", ViewSlideshow},
    {"/view/multiview", ViewMultiview},
    {"/view/storage", ViewStorage},
    {"/view/zoom", ViewZoom},
    {"/view/root", ViewRoot},
    {"/view/site", ViewSite},
    {"/view/urls", ViewUrls},
    {"/view/email", Nothing},
};

constexpr std::string_view kFormFields[] = {
    "depth",     "wander",    "cache",     "removecache", "minwidth",
    "minheight", "maximages", "thumbsize", "zoomsize",
};

constexpr std::string_view kPhaseTexts[] = {
    " - finding images...",
    " - downloading images...",
    " - generating images...",
    " - building views...",
};

const BandProduct kQuillet = {
    .classId = {0x0FF527A4, 0x6274, 0x44FF, {0xA1, 0x4C, 0xC2, 0xFB, 0x99, 0xE6, 0x48, 0xC9}},
    .progId = "Quillet.Pemberlit.1",
    .versionIndependentProgId = "Quillet.Pemberlit",
    .friendlyName = "Brisquel",
    .progIdDescription = "Brisquel",
    .libraryId = {0x4147C9A4, 0xCA2D, 0x44A9, {0x88, 0x59, 0x30, 0x10, 0x36, 0x71, 0x01, 0x16}},
    .libraryName = "QUILLETLib",
    .libraryHelp = "Quillet 1.0 Type Library",
    .interfaceId = {0xFCCC006B, 0x640B, 0x498D, {0x8D, 0x95, 0xD2, 0x3E, 0x69, 0xD2, 0xB5, 0xA9}},
    .interfaceName = "IPemberlit",
    .title = "Brisquel",
    .windowName = "bandy",
    .windowId = 1234,
    .defaultPreferences = [] { return PanelPreferences(); },
    .loadSettings = [](PanelPreferences& p) { return p.LoadSettings(ImageBandSettingsKey); },
    .saveSettings = [](const PanelPreferences& p) { return p.SaveSettings(ImageBandSettingsKey); },
    .jobLimit = ImageFinderBandJobLimit,
    .extractionBrowserThreads = ImageFinderBandBrowserThreads,
    .rebuildBrowserThreads = ImageFinderBandBrowserThreads,
    .makesThumbnails = true,
    .makeCrawlJob = []() -> CrawlSiteImagesJob* { return new CrawlSiteImagesJob; },
    .markerPage = AllImagesPageName,
    .listensToBrowserEvents = true,
    .mainPage = 214,
    .progressPage = 215,
    .helpPage = 216,
    .tutorialsPage = 218,
    .bodyScrollThreshold = 750,
    .formFields = kFormFields,
    .editModeCommands = kEditModeCommands,
    .panelCommands = kPanelCommands,
    .viewCommands = kViewCommands,
    .phaseTexts = kPhaseTexts,
    .workingText = " - working...",
    .stoppingText = " - stopping...",
    .finishingText = "",
    .homeAddress = "http://www.example.com/brisquel/",
    .updateAddress = "http://www.example.com/brisquel/update.htm",
    .onlineHelpAddress = "http://help.example.com/brisquel/",
    .mailSubject = "Check out Brisquel",
    .mailBody =
        "Brisquel finds every picture of a web site and lays them out in a gallery: "
        "http://www.example.com/brisquel/",
};

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return BandGetClassObject(kQuillet, clsid, iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    return BandCanUnloadNow();
}

extern "C" HRESULT DllRegisterServer() {
    return BandRegisterServer(kQuillet);
}

extern "C" HRESULT DllUnregisterServer() {
    return BandUnregisterServer(kQuillet);
}
