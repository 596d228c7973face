// The thumbnail of one downloaded image, as the thumbnail job makes it for each of its
// sources.
#pragma once

#include <string>
#include <string_view>

// Makes the thumbnail of the image file sourcePath in folder: the shell's picture of
// the file, fitting width x height at colourDepth bits, is written as
// folder\<base>.bmp, where base is the source's file name cut before its last "."; that
// file is converted to folder\<base>.jpg and deleted. Returns the .jpg path, or the
// .bmp path when the conversion did not succeed (the .bmp then stays), or "" when no
// picture could be made or the .bmp could not be written. Sources whose names differ
// only after their last "." share a thumbnail file: the later one wins.
// Runs on the thumbnail job's worker thread (any thread; several at once are safe);
// never throws.
std::string MakeThumbnail(std::string_view folder, std::string_view sourcePath, int width,
                          int height, int colourDepth);
