// The list bands (the file finder band Ferncastle and the MP3 finder band Harrowby) in
// the test's own web browser (tests/band/BandHostFixture.h), on a site of routes.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "tests/band/BandHostFixture.h"

// What the test knows of one band module.
struct ListBandUnderTest {
    const char* modulePath;
    CLSID classId;
    const char* title;
    const char* settingsKey;  // below HKEY_CURRENT_USER
    const char* mainPage;     // the tail of the main page's address ("/222")
    const char* progressPage;
    const char* markerPage;  // the list page of a view
};

inline const ListBandUnderTest kFileBand = {
    DOVETINE_MODULE_PATH,
    {0x7F0EA224, 0x395B, 0x4E44, {0x97, 0x65, 0x79, 0x25, 0x8A, 0xE5, 0xF4, 0xA0}},
    "Ferncastle",
    "Software\\Morvelle\\Ferncastle",
    "/222",
    "/217",
    "allFiles.htm"};

inline const ListBandUnderTest kMp3Band = {
    HARROWBY_MODULE_PATH,
    {0xFF1D8FCB, 0x4F52, 0x4D19, {0x95, 0xCC, 0xCD, 0x02, 0x9C, 0x32, 0x2B, 0x70}},
    "Harrowby",
    "Software\\Morvelle\\Harrowby",
    "/216",
    "/217",
    "allMP3s.htm"};

class ListBandTest : public BandHostTest {
protected:
    explicit ListBandTest(const ListBandUnderTest& band)
        : BandHostTest(band.modulePath, band.classId, band.settingsKey, NextStorage(), ""),
          band_(band) {}

    // The stored value, "<none>" for a value or "<no key>" for a key that is missing.
    std::string StoredSetting(const std::string& name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, band_.settingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no key>";
        DWORD type = 0;
        std::string data;
        const bool found = RegQueryValueBytes(key, name, &type, &data) == ERROR_SUCCESS;
        std::string value = found ? RegReadString(key, name) : "<none>";
        RegCloseKey(key);
        return value;
    }

    // Creates the band by class id and sites it in the frame; waits for its main page.
    // The storage folder is stored first unless keepSettings.
    void OpenBand(bool keepSettings = false) { OpenBandShowing(band_.mainPage, keepSettings); }

    std::string PanelField(const std::string& field) { return PanelFieldIn("", field); }

    // A command that no link of the page carries, as an address of the panel's page. The
    // panel runs it before this returns; what it posted for later has been served too.
    void Command(const std::string& fragment) {
        const std::string page =
            panel_->GetLocationURL().substr(0, panel_->GetLocationURL().find('#'));
        ASSERT_TRUE(panel_->Navigate2(page + "#" + fragment));
        ServePostedMessages();
    }
    HRESULT Type(const std::string& field, const std::string& text) {
        return panel_->TypeIntoField("extract", field, text);
    }

    // An extraction from the panel, to its end: the host shows the list page and the
    // panel its main page again.
    void Extract() {
        ASSERT_EQ(Click("#/panel/extract"), S_OK);
        ASSERT_TRUE(
            PumpUntil([&] { return HostShowsPage(band_.markerPage) && PanelShows(band_.mainPage); },
                      std::chrono::seconds(60)))
            << host_.GetLocationURL();
    }

    std::string ListPage(const std::string& view = "default") const {
        return ViewFolder(view) + "\\" + band_.markerPage;
    }

    const ListBandUnderTest& band_;

private:
    static std::string NextStorage() {
        static std::atomic<int> count{0};
        return "c:\\lists\\bandstorage" + std::to_string(++count);
    }
};
