#include "programs/tallowmere/TallowmereSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/util/RegistryValues.h"
#include "engine/util/UrlClassification.h"

namespace {

using ValueMap = std::map<std::string, std::string>;

// Each test starts without the key and leaves none behind.
class TallowmereSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey); }
    void TearDown() override { RegDeleteTree(HKEY_CURRENT_USER, TallowmereSettingsKey); }

    static ValueMap StoredValues() {
        ValueMap values;
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        std::string name;
        DWORD type = REG_NONE;
        for (DWORD i = 0; key && RegEnumValue(key, i, &name, &type, nullptr) == ERROR_SUCCESS; ++i)
            values[name] = RegReadString(key, name);
        if (key)
            RegCloseKey(key);
        return values;
    }

    static void SetValue(const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, TallowmereSettingsKey, &key), ERROR_SUCCESS);
        EXPECT_TRUE(RegWriteString(key, name, text));
        RegCloseKey(key);
    }

    static TallowmereSettings Loaded() {
        TallowmereSettings settings;
        EXPECT_TRUE(settings.Load());
        return settings;
    }
};

const StringArray kBuiltInSites(TallowmereBuiltInSites.begin(), TallowmereBuiltInSites.end());

TEST_F(TallowmereSettingsTest, KeyAndSaveOrder) {
    EXPECT_EQ(TallowmereSettingsKey, "Software\\Morvelle\\Tallowmere");
    EXPECT_EQ(StringArray(TallowmereSaveOrder.begin(), TallowmereSaveOrder.end()),
              (StringArray{"storage", "depth", "wander", "sites", "maximages"}));
}

TEST_F(TallowmereSettingsTest, FirstRunStoresTheDefaultsAndLoadsTheBuiltInSitesAndForcedLimits) {
    const TallowmereSettings settings = Loaded();
    EXPECT_EQ(StoredValues(), (ValueMap{{"storage", "c:\\mp3Storage"},
                                        {"depth", "1"},
                                        {"wander", "false"},
                                        {"sites", ""},
                                        {"maximages", "0"}}));
    EXPECT_EQ(settings.storageFolder, "c:\\mp3Storage");
    EXPECT_EQ(settings.sites, kBuiltInSites);
    PanelSettings expected;
    expected.depth = 100000;
    expected.wander = true;
    expected.maxImages = 100000;
    EXPECT_EQ(settings.settings, expected);

    // The built-in sites are never real servers.
    ASSERT_EQ(kBuiltInSites.size(), 4u);
    for (const std::string& site : kBuiltInSites) {
        const std::string host = HostOfUrl(site);
        EXPECT_TRUE(host.ends_with("example.com") || host.ends_with("example.org") ||
                    host.ends_with(".invalid"))
            << site;
    }

    // What was loaded is what the next save stores.
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(StoredValues().at("depth"), "100000");
    EXPECT_EQ(StoredValues().at("wander"), "true");
    EXPECT_EQ(StoredValues().at("maximages"), "100000");
}

TEST_F(TallowmereSettingsTest, StoredValuesAndTheirFallBacks) {
    const struct {
        const char* name;
        std::string text;
        std::string storage;
        StringArray sites;
    } cases[] = {
        {"storage", "d:\\music", "d:\\music", kBuiltInSites},
        {"storage", "", "c:\\mp3Storage", kBuiltInSites},
        {"sites",
         "http://a.example/,http://b.example/",
         "c:\\mp3Storage",
         {"http://a.example/", "http://b.example/"}},
        {"sites",
         ",http://a.example/,,http://a.example/,",
         "c:\\mp3Storage",
         {"http://a.example/", "http://a.example/"}},
        {"sites", "http://a.example/x%2Cy", "c:\\mp3Storage", {"http://a.example/x%2Cy"}},
        {"maximages", "5", "c:\\mp3Storage", kBuiltInSites},
        {"depth", "2", "c:\\mp3Storage", kBuiltInSites},
        {"wander", "false", "c:\\mp3Storage", kBuiltInSites},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(TallowmereSettings().Save());
        SetValue(c.name, c.text);
        TallowmereSettings loaded;
        loaded.sites = {"http://before.example/"};
        ASSERT_TRUE(loaded.Load());
        EXPECT_EQ(loaded.storageFolder, c.storage) << c.name << "=" << c.text;
        EXPECT_EQ(loaded.sites, c.sites) << c.name << "=" << c.text;
        // Whatever is stored, the crawl limits are forced.
        EXPECT_EQ(loaded.settings.maxImages, 100000) << c.name << "=" << c.text;
        EXPECT_EQ(loaded.settings.depth, 100000) << c.name << "=" << c.text;
        EXPECT_TRUE(loaded.settings.wander) << c.name << "=" << c.text;
    }
}

TEST_F(TallowmereSettingsTest, SitesRoundTripThroughTheStoreAndLongListsAreReadWhole) {
    // Far longer than any fixed buffer a reader might use.
    StringArray many;
    std::string manyStored;
    for (int i = 0; i < 400; ++i) {
        many.push_back("http://site" + std::to_string(i) + ".example.org/music/index.htm");
        manyStored += (i > 0 ? "," : "") + many.back();
    }
    const struct {
        StringArray sites;
        std::string stored;
        StringArray loaded;
    } cases[] = {
        {{"http://a.example/", "http://b.example/"},
         "http://a.example/,http://b.example/",
         {"http://a.example/", "http://b.example/"}},
        {{"http://a.example/list?x=1,2", "http://b.example/"},
         "http://a.example/list?x=1%2C2,http://b.example/",
         {"http://a.example/list?x=1%2C2", "http://b.example/"}},
        {{}, "", kBuiltInSites},
        {many, manyStored, many},
    };
    for (const auto& c : cases) {
        TallowmereSettings saved;
        saved.sites = c.sites;
        saved.storageFolder = "e:\\songs";
        ASSERT_TRUE(saved.Save());
        const std::string stored = StoredValues().at("sites");
        EXPECT_EQ(stored, c.stored);
        const TallowmereSettings loaded = Loaded();
        EXPECT_EQ(loaded.sites, c.loaded) << stored.substr(0, 80);
        EXPECT_EQ(loaded.storageFolder, "e:\\songs");
    }
}

}  // namespace
