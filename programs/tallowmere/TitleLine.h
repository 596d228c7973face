// Tallowmere's title line: the pages its crawls visited, the rows found, the files
// downloaded (while a Download Selected batch runs) and the time since the run began.
#pragma once

#include <cstdint>
#include <string>

// "Tallowmere ( visited=V found=F [downloaded=D ]elapsed=HH:MM:SS )", downloaded shown
// when not null; the hours are those of the day (a whole day counts 0), a negative
// elapsed time counts 0.
std::string TallowmereTitle(int visited, int found, const int* downloaded,
                            std::int64_t elapsedSeconds);
