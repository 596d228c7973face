// Harrowby: the MP3 finder band as an in-process server. Its product
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
using ListPanelCommands::SaveList;
using ListPanelCommands::ViewList;

constexpr PanelCommand kEditModeCommands[] = {
    {"/panel/save", SaveList},
    {"/panel/cancel", CancelEdit},
};

constexpr PanelCommand kPanelCommands[] = {
    {"/panel/Brisquel", Home},       {"/panel/open", OpenView},
    {"/panel/edit", Edit},           {"/panel/cancel", NotInEditMode},
    {"/panel/save", NotInEditMode},  {"/panel/extract", Extract},
    {"/panel/view", ViewList},       {"/panel/email", Email},
    {"/panel/update", Update},       {"/panel/help", Help},
    {"/panel/tutorials", Tutorials}, {"/panel/onlinehelp", OnlineHelp},
    {"/panel/site", Site},           {"/panel/settings", Settings},
};

// The storage folder itself: a list band's view has no pictures folder.
constexpr PanelCommand kViewCommands[] = {
    {"/view/storage", ViewRoot},
};

constexpr std::string_view kFormFields[] = {"depth", "wander", "maximages"};

constexpr std::string_view kPhaseTexts[] = {
    " - collecting links...",
    " - downloading images...",
    " - generating images...",
    " - validating & building...",
};

const BandProduct kHarrowby = {
    .classId = {0xFF1D8FCB, 0x4F52, 0x4D19, {0x95, 0xCC, 0xCD, 0x02, 0x9C, 0x32, 0x2B, 0x70}},
    .progId = "Harrowby.Tessaly.1",
    .versionIndependentProgId = "Harrowby.Tessaly",
    .friendlyName = "Harrowby",
    .progIdDescription = "Tessaly Class",
    .libraryId = {0xE5E79614, 0x0BCC, 0x40A8, {0xB7, 0x7A, 0x7E, 0xC4, 0x6D, 0xE7, 0x36, 0x01}},
    .libraryName = "HARROWBYLib",
    .libraryHelp = "Harrowby 1.0 Type Library",
    .interfaceId = {0xCA952712, 0x061D, 0x43DD, {0xBD, 0x11, 0x66, 0x88, 0xBA, 0x0F, 0x13, 0x34}},
    .interfaceName = "ITessaly",
    .title = "Harrowby",
    .windowName = "bandy3",
    .windowId = 12345,
    .defaultPreferences = [] { return ListBandDefaultPreferences(Mp3BandSettingsScheme); },
    .loadSettings =
        [](PanelPreferences& p) { return LoadListBandSettings(p, Mp3BandSettingsScheme); },
    .saveSettings =
        [](const PanelPreferences& p) { return SaveListBandSettings(p, Mp3BandSettingsScheme); },
    .jobLimit = Mp3FinderBandJobLimit,
    .extractionBrowserThreads = Mp3FinderBandExtractionBrowserThreads,
    .rebuildBrowserThreads = Mp3FinderBandViewRebuildBrowserThreads,
    .makesThumbnails = false,
    .makeCrawlJob = []() -> CrawlSiteImagesJob* {
        return new CrawlSiteFilesJob(Mp3FinderBandListValues);
    },
    .markerPage = AllMp3sPageName,
    .listensToBrowserEvents = false,
    .mainPage = 216,
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
    .finishingText = " - finishing...",
    .homeAddress = "http://www.example.com/harrowby/",
    .updateAddress = "http://www.example.com/harrowby/update.htm",
    .onlineHelpAddress = "http://help.example.com/harrowby/",
    .mailSubject = "Check out Harrowby",
    .mailBody =
        "Harrowby lists every MP3 file that the pages of a web site link to: "
        "http://www.example.com/harrowby/",
};

}  // namespace

extern "C" HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return BandGetClassObject(kHarrowby, clsid, iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
    return BandCanUnloadNow();
}

extern "C" HRESULT DllRegisterServer() {
    return BandRegisterServer(kHarrowby);
}

extern "C" HRESULT DllUnregisterServer() {
    return BandUnregisterServer(kHarrowby);
}
