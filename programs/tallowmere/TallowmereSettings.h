// What Tallowmere keeps in the registry between runs: its site list, its storage folder
// and the crawl values of its settings record, under one key of HKEY_CURRENT_USER, one
// text value per name. Loading fixes the crawl limits, so that every crawl follows links
// across hosts to any depth.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/extract/PanelSettings.h"
#include "platform/text/Text.h"

inline constexpr std::string_view TallowmereSettingsKey = "Software\\Morvelle\\Tallowmere";

// The storage folder when none is stored.
inline constexpr std::string_view TallowmereDefaultStorageFolder = "c:\\mp3Storage";

// The site list when none is stored, in this order.
inline constexpr std::array<std::string_view, 4> TallowmereBuiltInSites = {
    "http://www.example.com/music/",
    "http://www.example.org/mp3/",
    "http://mp3.example.com/",
    "http://songs.example.invalid/",
};

// The values in the order Save writes them.
inline constexpr std::array<std::string_view, 5> TallowmereSaveOrder = {
    "storage", "depth", "wander", "sites", "maximages"};

// The values forced after every load.
inline constexpr int TallowmereForcedDepth = 100000;
inline constexpr int TallowmereForcedMaxImages = 100000;

struct TallowmereSettings {
    // The record's crawl values (depth, wander, maxImages) are stored; its other fields
    // keep their defaults, and its site URL and folder are set for each crawl.
    PanelSettings settings;
    // The site addresses, in list order.
    StringArray sites;
    std::string storageFolder{TallowmereDefaultStorageFolder};

    // Reads the values under TallowmereSettingsKey. A missing key is first written with
    // the current values. "storage": a non-empty value replaces the storage folder,
    // else "c:\mp3Storage". "sites": the list is emptied, then filled from the value cut
    // at "," (empty pieces dropped, "%2C" left as it stands); an empty value gives the
    // four built-in sites. "depth", "wander", "maximages" (0 read as 20), then a zoom size
    // of 0 becomes 500 and a thumbnail width of 0 makes the box 100 x 100. Whatever was
    // read: wander true, depth and maxImages 100,000. False, everything unchanged, when
    // the key can be neither opened nor created. The dialog's thread.
    bool Load();
    // Writes the values in TallowmereSaveOrder ("sites" joined with ",", a "," inside
    // an address written "%2C"), creating the key when missing.
    // False when the key cannot be created or a value could not be written (the others
    // are written all the same). The caller first puts the storage edit's text into
    // storageFolder.
    bool Save() const;

    // The site list as stored: joined with ",", each "," of an address as "%2C".
    static std::string JoinSites(const StringArray& sites);
    // A stored site list cut at ",", empty pieces dropped.
    static StringArray SplitSites(std::string_view stored);
};
