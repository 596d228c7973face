#include "band/settings/ListBandPreferences.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/util/RegistryValues.h"

namespace {

using ValueMap = std::map<std::string, std::string>;

// Each test starts without the list bands' keys and leaves none behind.
class ListBandPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteKeys(); }
    void TearDown() override { DeleteKeys(); }

    static void DeleteKeys() {
        RegDeleteTree(HKEY_CURRENT_USER, FileBandSettingsKey);
        RegDeleteTree(HKEY_CURRENT_USER, Mp3BandSettingsKey);
    }

    // Every value of the key: name -> stored text.
    static ValueMap StoredValues(std::string_view keyName) {
        ValueMap values;
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key), ERROR_SUCCESS);
        std::string name;
        DWORD type = REG_NONE;
        for (DWORD i = 0; key && RegEnumValue(key, i, &name, &type, nullptr) == ERROR_SUCCESS; ++i)
            values[name] = RegReadString(key, name);
        if (key)
            RegCloseKey(key);
        return values;
    }

    static void SetValue(std::string_view keyName, const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, keyName, &key), ERROR_SUCCESS);
        EXPECT_TRUE(RegWriteString(key, name, text));
        RegCloseKey(key);
    }
};

struct BandCase {
    const char* band;
    const ListBandSettingsScheme& scheme;
    std::string_view key;
    ValueMap firstStart;  // what the first load stores
    std::vector<std::string_view> loadOrder, saveOrder;
};

const BandCase kBands[] = {
    {"file band",
     FileBandSettingsScheme,
     "Software\\Morvelle\\Ferncastle",
     {{"autoGenerateViewNames", "false"},
      {"dontBug", "true"},
      {"storage", "c:\\browser\\fileStorage"},
      {"filter", ""},
      {"sites", ""},
      {"depth", "1"},
      {"wander", "false"},
      {"maximages", "0"}},
     {"autoGenerateViewNames", "dontBug", "storage", "style", "filter", "sites", "depth", "wander",
      "maximages"},
     {"autoGenerateViewNames", "dontBug", "storage", "filter", "sites", "depth", "wander",
      "maximages"}},
    {"MP3 band",
     Mp3BandSettingsScheme,
     "Software\\Morvelle\\Harrowby",
     {{"autoGenerateViewNames", "false"},
      {"dontBug", "true"},
      {"storage", "c:\\browser\\mp3Storage"},
      {"depth", "1"},
      {"wander", "false"},
      {"maximages", "0"}},
     {"autoGenerateViewNames", "dontBug", "storage", "style", "depth", "wander", "maximages"},
     {"autoGenerateViewNames", "dontBug", "storage", "depth", "wander", "maximages"}},
};

TEST_F(ListBandPreferencesTest, EachBandsKeyAndValueOrders) {
    for (const BandCase& c : kBands) {
        EXPECT_EQ(c.scheme.key, c.key) << c.band;
        EXPECT_EQ(
            std::vector<std::string_view>(c.scheme.loadOrder.begin(), c.scheme.loadOrder.end()),
            c.loadOrder)
            << c.band;
        EXPECT_EQ(
            std::vector<std::string_view>(c.scheme.saveOrder.begin(), c.scheme.saveOrder.end()),
            c.saveOrder)
            << c.band;
    }
}

TEST_F(ListBandPreferencesTest, FirstStartStoresTheBandsValuesAndLoadsThemRepaired) {
    for (const BandCase& c : kBands) {
        PanelPreferences preferences = ListBandDefaultPreferences(c.scheme);
        EXPECT_EQ(preferences.style, "blue") << c.band;
        ASSERT_TRUE(LoadListBandSettings(preferences, c.scheme)) << c.band;
        EXPECT_EQ(StoredValues(c.key), c.firstStart) << c.band;

        PanelSettings expected;
        expected.maxImages = 20;  // "0" stored
        EXPECT_EQ(preferences.settings, expected) << c.band;
        EXPECT_EQ(preferences.storageFolder, c.firstStart.at("storage")) << c.band;
        EXPECT_FALSE(preferences.autoGenerateViewNames) << c.band;
        EXPECT_TRUE(preferences.dontBug) << c.band;
        // No list band writes the style, so a loaded one is empty.
        EXPECT_EQ(preferences.style, "") << c.band;
    }
}

TEST_F(ListBandPreferencesTest, StoredValuesLoadBackAndOnlyTheFileBandKeepsFilterAndSites) {
    for (const BandCase& c : kBands) {
        PanelPreferences saved = ListBandDefaultPreferences(c.scheme);
        saved.autoGenerateViewNames = true;
        saved.dontBug = false;
        saved.storageFolder = "d:\\found";
        saved.settings.filterWords = "pdf, zip";
        saved.settings.siteList = "http://a.example/\nhttp://b.example/";
        saved.settings.depth = 0;
        saved.settings.wander = true;
        saved.settings.maxImages = 7;
        saved.settings.zoomSize = 800;  // none of the bands keeps it
        ASSERT_TRUE(SaveListBandSettings(saved, c.scheme)) << c.band;

        PanelPreferences loaded = ListBandDefaultPreferences(c.scheme);
        ASSERT_TRUE(LoadListBandSettings(loaded, c.scheme)) << c.band;
        const bool fileBand = &c.scheme == &FileBandSettingsScheme;
        PanelSettings expected;
        expected.filterWords = fileBand ? saved.settings.filterWords : "";
        expected.siteList = fileBand ? saved.settings.siteList : "";
        expected.depth = 0;
        expected.wander = true;
        expected.maxImages = 7;
        EXPECT_EQ(loaded.settings, expected) << c.band;
        EXPECT_EQ(loaded.storageFolder, "d:\\found") << c.band;
        EXPECT_TRUE(loaded.autoGenerateViewNames) << c.band;
        EXPECT_FALSE(loaded.dontBug) << c.band;
    }
}

TEST_F(ListBandPreferencesTest, EmptyStorageAndZeroOrMalformedLimitsAreRepaired) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {{"maximages", "0"}, {"maximages", "abc"}, {"storage", ""}};
    for (const BandCase& c : kBands) {
        for (const auto& value : cases) {
            ASSERT_TRUE(SaveListBandSettings(ListBandDefaultPreferences(c.scheme), c.scheme));
            SetValue(c.key, value.name, value.text);
            PanelPreferences loaded = ListBandDefaultPreferences(c.scheme);
            loaded.storageFolder = "e:\\kept";
            ASSERT_TRUE(LoadListBandSettings(loaded, c.scheme));
            EXPECT_EQ(loaded.settings.maxImages, 20) << c.band << " " << value.name;
            EXPECT_EQ(loaded.storageFolder, std::string_view(value.name) == "storage"
                                                ? "e:\\kept"
                                                : c.firstStart.at("storage"))
                << c.band << " " << value.name;
        }
    }
}

}  // namespace
