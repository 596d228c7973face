#include "band/settings/PanelPreferences.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/util/RegistryValues.h"
#include "platform/file/FileLayer.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestEnvironment.h"

using namespace std::string_literals;

namespace {

// Every test starts without the band's key and leaves none behind.
class PanelPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTree(HKEY_CURRENT_USER, ImageBandSettingsKey); }
    void TearDown() override { RegDeleteTree(HKEY_CURRENT_USER, ImageBandSettingsKey); }

    // Every value of the key: name -> stored text, each a REG_SZ ending in its NUL.
    static std::map<std::string, std::string> StoredValues() {
        std::map<std::string, std::string> values;
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, ImageBandSettingsKey, 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        std::string name;
        std::string data;
        DWORD type = REG_NONE;
        for (DWORD i = 0; key && RegEnumValue(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i) {
            EXPECT_EQ(type, REG_SZ) << name;
            EXPECT_TRUE(!data.empty() && data.back() == '\0') << name;
            values[name] = data.substr(0, data.size() - 1);
        }
        if (key)
            RegCloseKey(key);
        return values;
    }

    // Saves the defaults, then overwrites one value with text.
    static void StoreValue(const char* name, const std::string& text) {
        ASSERT_TRUE(PanelPreferences().SaveSettings(ImageBandSettingsKey));
        SetValue(name, text);
    }

    static void SetValue(const char* name, const std::string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, ImageBandSettingsKey, &key), ERROR_SUCCESS);
        EXPECT_TRUE(RegWriteString(key, name, text));
        RegCloseKey(key);
    }

    static void DeleteValue(const char* name) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, ImageBandSettingsKey, &key), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteValue(key, name), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    static PanelPreferences Loaded() {
        PanelPreferences preferences;
        EXPECT_TRUE(preferences.LoadSettings(ImageBandSettingsKey));
        return preferences;
    }
};

void ExpectDefaults(const PanelPreferences& preferences) {
    EXPECT_EQ(preferences.settings, PanelSettings());
    EXPECT_EQ(preferences.storageFolder, "c:\\browser\\storage");
    EXPECT_EQ(preferences.style, "blue");
    EXPECT_FALSE(preferences.autoGenerateViewNames);
    EXPECT_TRUE(preferences.dontBug);
}

}  // namespace

TEST(PanelSettingsTest, ConstructorDefaults) {
    const PanelSettings s;
    EXPECT_EQ(s.siteList, "");
    EXPECT_EQ(s.siteFolderName, "");
    EXPECT_EQ(s.siteUrl, "");
    EXPECT_EQ(s.minWidth, 0);
    EXPECT_EQ(s.minHeight, 0);
    EXPECT_FALSE(s.wander);
    EXPECT_TRUE(s.cache);
    EXPECT_EQ(s.depth, 1);
    EXPECT_EQ(s.minFileSize, 0);
    EXPECT_EQ(s.folder, "");
    EXPECT_EQ(s.maxImages, 0);
    EXPECT_EQ(s.viewName, "default");
    EXPECT_TRUE(s.thumbnails);
    EXPECT_EQ(s.thumbnailWidth, 100);
    EXPECT_EQ(s.thumbnailHeight, 100);
    EXPECT_EQ(s.zoomSize, 500);
    EXPECT_FALSE(s.fast);
    EXPECT_TRUE(s.removeCache);
    EXPECT_EQ(s.filterWords, "");
}

TEST_F(PanelPreferencesTest, DefaultStorageFolderIsBesideTheModule) {
    ExpectDefaults(PanelPreferences());
    const std::string original = GetModuleFilePath();
    SetModuleFilePath("c:\\programs\\Tallowmere.exe");
    EXPECT_EQ(PanelPreferences().storageFolder, "c:\\programs\\storage");
    SetModuleFilePath(original);
}

TEST_F(PanelPreferencesTest, FirstStartWritesAllValuesAndReadsThemBack) {
    const PanelPreferences preferences = Loaded();
    const std::map<std::string, std::string> expected = {
        {"autoGenerateViewNames", "false"},
        {"dontBug", "true"},
        {"storage", "c:\\browser\\storage"},
        {"depth", "1"},
        {"wander", "false"},
        {"cache", "true"},
        {"removecache", "true"},
        {"thumbnails", "true"},
        {"minwidth", "0"},
        {"minheight", "0"},
        {"maximages", "0"},
        {"minfilesize", "0"},
        {"thumbwidth", "100"},
        {"thumbheight", "100"},
        {"zoomsize", "500"},
        {"style", "blue"},
    };
    EXPECT_EQ(StoredValues(), expected);

    EXPECT_EQ(preferences.settings.maxImages, 20) << "0 stored, 20 loaded";
    PanelSettings defaults;
    defaults.maxImages = 20;
    EXPECT_EQ(preferences.settings, defaults);
    EXPECT_EQ(preferences.storageFolder, "c:\\browser\\storage");
    EXPECT_EQ(preferences.style, "blue");
    EXPECT_FALSE(preferences.autoGenerateViewNames);
    EXPECT_TRUE(preferences.dontBug);
}

TEST_F(PanelPreferencesTest, StoredValuesLoadTyped) {
    PanelPreferences saved;
    saved.autoGenerateViewNames = true;
    saved.dontBug = false;
    saved.storageFolder = "d:\\pictures\\found";
    saved.style = "";
    PanelSettings& s = saved.settings;
    s.depth = 3;
    s.wander = true;
    s.cache = false;
    s.removeCache = false;
    s.thumbnails = false;
    s.minWidth = 64;
    s.minHeight = -1;
    s.maxImages = 250;
    s.minFileSize = 4096;
    s.thumbnailWidth = 160;
    s.thumbnailHeight = 120;
    s.zoomSize = 800;
    // Not stored: these keep the defaults of the loading record.
    s.siteUrl = "http://example.test/";
    s.folder = "c:\\x";
    s.viewName = "mine";
    s.fast = true;
    s.siteList = "http://a.test/";
    s.siteFolderName = "a";
    s.filterWords = "zip";
    ASSERT_TRUE(saved.SaveSettings(ImageBandSettingsKey));

    const std::map<std::string, std::string> stored = StoredValues();
    EXPECT_EQ(stored.size(), 16u);
    EXPECT_EQ(stored.at("minheight"), "-1");
    EXPECT_EQ(stored.at("cache"), "false");
    EXPECT_EQ(stored.at("style"), "");

    const PanelPreferences loaded = Loaded();
    EXPECT_TRUE(loaded.autoGenerateViewNames);
    EXPECT_FALSE(loaded.dontBug);
    EXPECT_EQ(loaded.storageFolder, "d:\\pictures\\found");
    EXPECT_EQ(loaded.style, "") << "an empty style stays empty";
    PanelSettings expected = s;
    expected.siteUrl = "";
    expected.folder = "";
    expected.viewName = "default";
    expected.fast = false;
    expected.siteList = "";
    expected.siteFolderName = "";
    expected.filterWords = "";
    EXPECT_EQ(loaded.settings, expected);
}

TEST_F(PanelPreferencesTest, ZerosAndMalformedNumbersAreRepaired) {
    const struct {
        std::map<std::string, std::string> stored;
        int maxImages;
        int zoomSize;
        int thumbnailWidth;
        int thumbnailHeight;
    } cases[] = {
        {{{"maximages", "0"}}, 20, 500, 100, 100},
        {{{"maximages", "abc"}}, 20, 500, 100, 100},
        {{{"maximages", ""}}, 20, 500, 100, 100},
        {{{"maximages", "7"}}, 7, 500, 100, 100},
        {{{"zoomsize", "0"}}, 20, 500, 100, 100},
        {{{"zoomsize", "abc"}}, 20, 500, 100, 100},
        {{{"zoomsize", "640"}}, 20, 640, 100, 100},
        {{{"thumbwidth", "0"}, {"thumbheight", "70"}}, 20, 500, 100, 100},
        {{{"thumbwidth", "x"}, {"thumbheight", "70"}}, 20, 500, 100, 100},
        {{{"thumbwidth", "80"}, {"thumbheight", "70"}}, 20, 500, 80, 70},
        {{{"thumbwidth", "80"}, {"thumbheight", "0"}}, 20, 500, 80, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PanelPreferences().SaveSettings(ImageBandSettingsKey));
        std::string what;
        for (const auto& [name, text] : c.stored) {
            SetValue(name.c_str(), text);
            what += name + "=" + text + " ";
        }
        const PanelSettings s = Loaded().settings;
        EXPECT_EQ(s.maxImages, c.maxImages) << what;
        EXPECT_EQ(s.zoomSize, c.zoomSize) << what;
        EXPECT_EQ(s.thumbnailWidth, c.thumbnailWidth) << what;
        EXPECT_EQ(s.thumbnailHeight, c.thumbnailHeight) << what;
    }
}

TEST_F(PanelPreferencesTest, EmptyStorageKeepsTheDefault) {
    StoreValue("storage", "");
    EXPECT_EQ(Loaded().storageFolder, "c:\\browser\\storage");
    DeleteValue("storage");
    EXPECT_EQ(Loaded().storageFolder, "c:\\browser\\storage");
}

TEST_F(PanelPreferencesTest, BooleansAreTrueOnlyForTrue) {
    const struct {
        const char* text;
        bool wander;
    } cases[] = {{"true", true}, {"TRUE", true}, {"True", true},  {"yes", false},
                 {"1", false},   {"", false},    {"true ", false}};
    for (const auto& c : cases) {
        StoreValue("wander", c.text);
        EXPECT_EQ(Loaded().settings.wander, c.wander) << "\"" << c.text << "\"";
    }
}

TEST_F(PanelPreferencesTest, MissingValuesReadAsFalseAndZero) {
    ASSERT_TRUE(PanelPreferences().SaveSettings(ImageBandSettingsKey));
    for (const char* name : {"dontBug", "thumbnails", "depth", "maximages", "thumbwidth", "style"})
        DeleteValue(name);
    const PanelPreferences loaded = Loaded();
    EXPECT_FALSE(loaded.dontBug);
    EXPECT_FALSE(loaded.settings.thumbnails);
    EXPECT_EQ(loaded.settings.depth, 0);
    EXPECT_EQ(loaded.settings.maxImages, 20);
    EXPECT_EQ(loaded.settings.thumbnailWidth, 100);
    EXPECT_EQ(loaded.style, "");
    EXPECT_EQ(StoredValues().size(), 10u) << "an existing key is not filled in again";
}

TEST_F(PanelPreferencesTest, UnwritableKeyLeavesTheDefaults) {
    {
        // A store below a plain file can be neither read nor written.
        const std::string file = MakeTestFolder("unwritable") + "/file";
        ASSERT_TRUE(WriteFileBytes(file, "not a folder"));
        ScopedEnvironment config("MORVELLE_CONFIG_HOME", (file + "/config").c_str());
        PanelPreferences preferences;
        EXPECT_FALSE(preferences.LoadSettings(ImageBandSettingsKey));
        ExpectDefaults(preferences);
        EXPECT_FALSE(preferences.SaveSettings(ImageBandSettingsKey));
    }
    PanelPreferences invalid;
    EXPECT_FALSE(invalid.LoadSettings("Software\\\\Morvelle"));
    ExpectDefaults(invalid);

    PanelPreferences retried;
    EXPECT_TRUE(retried.LoadSettings(ImageBandSettingsKey)) << "the next load tries again";
    EXPECT_EQ(retried.settings.maxImages, 20);
    EXPECT_EQ(StoredValues().size(), 16u);
}
