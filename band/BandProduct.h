// What makes one finder band out of the band code: a product descriptor. The band
// object, its module entry points, the panel view and its commands read everything that
// differs between the image, file and MP3 finder bands from here; each band module
// defines one descriptor and hands it to the band code (BandModule.h).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "band/settings/PanelPreferences.h"
#include "platform/base/Types.h"
#include "platform/com/Guid.h"

class CHtmlPanelView;
class CrawlSiteImagesJob;

// One command of a panel page: a link whose fragment contains text (ignoring case)
// runs handler with the fragment. Tables are tried in order and the first match acts,
// so a command that is part of another ("/panel/extract" of "/panel/extract/fast")
// comes after it only when it must not shadow it.
struct PanelCommand {
    std::string_view text;
    void (*handler)(CHtmlPanelView& panel, const std::string& fragment);
};

struct BandProduct {
    // --- Identities ---
    CLSID classId;
    std::string_view progId;                    // "Quillet.Pemberlit.1"
    std::string_view versionIndependentProgId;  // "Quillet.Pemberlit"
    std::string_view friendlyName;              // default value of the CLSID key
    std::string_view progIdDescription;         // default value of the two ProgID keys
    GUID libraryId;
    std::string_view libraryName;  // "QUILLETLib"
    std::string_view libraryHelp;  // "Quillet 1.0 Type Library"
    IID interfaceId;               // the dual interface (no methods of its own)
    std::string_view interfaceName;
    std::string_view title;       // the band title, caption of its messages
    std::string_view windowName;  // the panel window's name
    int windowId;                 // the panel window's child id

    // --- Settings ---
    // The preferences before the first load (storage folder beside the host program).
    PanelPreferences (*defaultPreferences)();
    bool (*loadSettings)(PanelPreferences& preferences);
    bool (*saveSettings)(const PanelPreferences& preferences);

    // --- Engine ---
    int jobLimit;                  // the module's job manager
    int extractionBrowserThreads;  // the pool when an extraction creates it
    int rebuildBrowserThreads;     // the pool when a rebuild of an edited view creates it
    // Whether the module's thumbnail jobs make thumbnails (the image band's); set as the
    // engine starts.
    bool makesThumbnails;
    // A new crawl job of the product (set up by the panel with MakeViewPages).
    CrawlSiteImagesJob* (*makeCrawlJob)();
    // The page whose presence marks a stored view ("allImages.htm"); also the page a
    // finished job shows.
    std::string_view markerPage;
    // Whether the band listens to the hosting browser's events (edit mode ends on its
    // next navigation).
    bool listensToBrowserEvents;

    // --- Panel pages (HTML resources of the module) ---
    int mainPage;       // the criteria form
    int progressPage;   // the "working" page
    int helpPage;       // shown in the hosting browser
    int tutorialsPage;  // shown in the hosting browser
    // Above this client height the main page's body scroll is turned off.
    int bodyScrollThreshold;
    // The criteria form's fields that the panel fills from the settings after the main
    // page has loaded, in order ("depth", "wander", "cache", "removecache", "minwidth",
    // "minheight", "maximages", "thumbsize", "zoomsize", "filter", "sites"). An extraction
    // reads the image criteria always (a field the page lacks reads empty); "filter" and
    // "sites" only when they are listed here.
    std::span<const std::string_view> formFields;

    // --- Commands, in the order they are tried ---
    std::span<const PanelCommand> editModeCommands;  // the only ones in edit mode
    std::span<const PanelCommand> panelCommands;     // "/panel/..." in normal mode
    std::span<const PanelCommand> viewCommands;      // "/view/...", each tested

    // --- Texts and addresses ---
    // Status texts of the progress page: by phase (0 to 3), and the blink texts.
    std::span<const std::string_view> phaseTexts;
    std::string_view workingText;   // " - working..."
    std::string_view stoppingText;  // " - stopping..."
    // In place of workingText while the job writes its pages (phase 3); empty: none.
    std::string_view finishingText;
    std::string_view homeAddress;
    std::string_view updateAddress;
    std::string_view onlineHelpAddress;
    std::string_view mailSubject;
    std::string_view mailBody;
};
