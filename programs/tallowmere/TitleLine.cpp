#include "programs/tallowmere/TitleLine.h"

#include <algorithm>
#include <cstdio>

std::string TallowmereTitle(int visited, int found, const int* downloaded,
                            std::int64_t elapsedSeconds) {
    const std::int64_t seconds = std::max<std::int64_t>(elapsedSeconds, 0);
    const std::int64_t totalHours = seconds / 3600;
    const int hours = static_cast<int>(totalHours - (seconds / 86400) * 24);
    const int minutes = static_cast<int>(seconds / 60 - totalHours * 60);
    const int secs = static_cast<int>(seconds % 60);
    char title[160];
    if (downloaded != nullptr)
        std::snprintf(title, sizeof title,
                      "Tallowmere ( visited=%d found=%d downloaded=%d elapsed=%02d:%02d:%02d )",
                      visited, found, *downloaded, hours, minutes, secs);
    else
        std::snprintf(title, sizeof title,
                      "Tallowmere ( visited=%d found=%d elapsed=%02d:%02d:%02d )", visited, found,
                      hours, minutes, secs);
    return title;
}
