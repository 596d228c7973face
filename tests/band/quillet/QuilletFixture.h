// The image finder band in the test's own web browser (tests/band/BandHostFixture.h),
// on the bundled sample site.
#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "tests/band/BandHostFixture.h"

inline constexpr CLSID kQuilletClassId = {
    0x0FF527A4, 0x6274, 0x44FF, {0xA1, 0x4C, 0xC2, 0xFB, 0x99, 0xE6, 0x48, 0xC9}};

class QuilletTest : public BandHostTest {
protected:
    QuilletTest()
        : BandHostTest(QUILLET_MODULE_PATH, kQuilletClassId, "Software\\Morvelle\\Brisquel",
                       NextStorage(), std::string(MORVELLE_SOURCE_DIR) + "/resources/sample-site") {
    }

    std::string StoredSetting(const std::string& name) {
        HKEY key = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, settingsKey_, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no key>";
        std::string value = RegReadString(key, name);
        RegCloseKey(key);
        return value;
    }

    // Creates the band by class id and sites it in the frame; waits for its main page.
    void OpenBand() { OpenBandShowing("/214"); }

    std::string PanelField(const std::string& form, const std::string& field) {
        return PanelFieldIn(form, field);
    }

    // An extraction from the panel with the given depth, to its end.
    void Extract(const std::string& depth) {
        ASSERT_EQ(panel_->TypeIntoField("extract", "depth", depth), S_OK);
        ASSERT_EQ(Click("#/panel/extract"), S_OK);
        ASSERT_TRUE(PumpUntil([&] { return PanelShows("/215"); }));
        ASSERT_TRUE(PumpUntil([&] { return HostShowsPage("allImages.htm") && PanelShows("/214"); },
                              std::chrono::seconds(60)))
            << host_.GetLocationURL();
    }

private:
    static std::string NextStorage() {
        static std::atomic<int> count{0};
        return "c:\\quillet\\storage" + std::to_string(++count);
    }
};
