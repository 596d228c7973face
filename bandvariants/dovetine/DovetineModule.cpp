// Dovetine: the file finder band (Ferncastle) as an in-process server. Its product
// descriptor, and the four entry points, which hand it to the band code.
#include "band/BandModule.h"
#include "band/PanelCommands.h"
#include "band/settings/ListBandPreferences.h"
#include "bandvariants/lists/ListPanelCommands.h"
#include "engine/browser/BrowserThreadPool.h"
#include "engine/jobs/JobManager.h"
#include "engine/lists/CrawlSiteFilesJob.h"
#include "platform/com/ServerExports.h"

namespace {

using namespace PanelCommands;
using namespace ListPanelCommands;

constexpr PanelCommand kEditModeCommands[] = {
    {"/panel/save", SaveList},
    {"/panel/cancel", CancelEdit},
};

constexpr PanelCommand kPanelCommands[] = {
    {"/panel/Brisquel", Home},        {"/panel/open", OpenView},         {"/panel/edit", Edit},
    {"/panel/cancel", NotInEditMode}, {"/panel/save", NotInEditMode},    {"/panel/add", AddSite},
    {"/panel/clear", ClearSites},     {"/panel/extract", Extract},       {"/panel/view", ViewList},
    {"/panel/email", Email},          {"/panel/update", Update},         {"/panel/help", Help},
    {"/panel/tutorials", Tutorials},  {"/panel/onlinehelp", OnlineHelp}, {"/panel/site", Site},
    {"/panel/settings", Settings},
};

// The storage folder itself: a list band's view has no pictures folder.
constexpr PanelCommand kViewCommands[] = {
    {"/view/storage", ViewRoot},
};

constexpr std::string_view kFormFields[] = {"sites", "filter", "depth", "wander", "maximages"};

constexpr std::string_view kPhaseTexts[] = {
    " - collecting links...",
    " - downloading images...",
    " - generating images...",
    " - building views...",
};

const BandProduct kDovetine = {
    .classId = {0x7F0EA224, 0x395B, 0x4E44, {0x97, 0x65, 0x79, 0x25, 0x8A, 0xE5, 0xF4, 0xA0}},
    .progId = "Dovetine.Marlowick.1",
    .versionIndependentProgId = "Dovetine.Marlowick",
    .friendlyName = "Ferncastle",
    .progIdDescription = "Marlowick Class",
    .libraryId = {0x93CC8108, 0x51F8, 0x4361, {0x97, 0x54, 0x7A, 0x52, 0x58, 0x55, 0xB7, 0xE5}},
    .libraryName = "DOVETINELib",
    .libraryHelp = "Dovetine 1.0 Type Library",
    .interfaceId = {0x91FD0E7D, 0x6AB2, 0x4928, {0xA6, 0x08, 0x6C, 0x76, 0x46, 0xD5, 0x82, 0x73}},
    .interfaceName = "IMarlowick",
    .title = "Ferncastle",
    .windowName = "bandy4",
    .windowId = 12345,
    .defaultPreferences = [] { return ListBandDefaultPreferences(FileBandSettingsScheme); },
    .loadSettings =
        [](PanelPreferences& p) { return LoadListBandSettings(p, FileBandSettingsScheme); },
    .saveSettings =
        [](const PanelPreferences& p) { return SaveListBandSettings(p, FileBandSettingsScheme); },
    .jobLimit = FileFinderBandJobLimit,
    .extractionBrowserThreads = FileFinderBandBrowserThreads,
    .rebuildBrowserThreads = FileFinderBandBrowserThreads,
    .makesThumbnails = false,
    .makeCrawlJob = []() -> CrawlSiteImagesJob* {
        return new CrawlSiteFilesJob(FileFinderBandListValues);
    },
    .markerPage = AllFilesPageName,
    .listensToBrowserEvents = false,
    .mainPage = 222,
    .progressPage = 217,
    .helpPage = 218,
    .tutorialsPage = 220,
    .bodyScrollThreshold = 350,
    .formFields = kFormFields,
    .editModeCommands = kEditModeCommands,
    .panelCommands = kPanelCommands,
    .viewCommands = kViewCommands,
    .phaseTexts = kPhaseTexts,
    .workingText = " - working...",
    .stoppingText = " - stopping...",
    .finishingText = "",
    .homeAddress = "http://www.example.com/ferncastle/",
    .updateAddress = "http://www.example.com/ferncastle/update.htm",
    .onlineHelpAddress = "http://help.example.com/ferncastle/",
    .mailSubject = "Check out Ferncastle",
    .mailBody =
        "Ferncastle lists every file of a web site that you ask for, by its type: "
        "http://www.example.com/ferncastle/",
};

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return BandGetClassObject(kDovetine, clsid, iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    return BandCanUnloadNow();
}

extern "C" HRESULT DllRegisterServer() {
    return BandRegisterServer(kDovetine);
}

extern "C" HRESULT DllUnregisterServer() {
    return BandUnregisterServer(kDovetine);
}
