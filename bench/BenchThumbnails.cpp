// morvelle-bench-thumbs: makes the thumbnail of every picture in a folder, one after the
// other on the calling thread, as a thumbnail job does for its batch, and reports the
// rate.
//
//   morvelle-bench-thumbs SOURCE-FOLDER THUMBS-FOLDER
//
// Both folders are system paths ("c:\..."), mapped by the file layer under the data
// home. Prints one line on standard output:
//   thumbnails=N seconds=S per-second=R
// where S counts the thumbnails only (not the start of the program). Exit code 1 when a
// folder cannot be read or a thumbnail could not be made.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/thumbnail/MakeThumbnail.h"
#include "engine/util/PathHelpers.h"
#include "platform/file/FileLayer.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: morvelle-bench-thumbs SOURCE-FOLDER THUMBS-FOLDER\n");
        return 2;
    }
    const std::string source = argv[1];
    const std::string thumbs = argv[2];
    std::vector<FolderEntry> entries;
    if (!ListFolder(source, &entries)) {
        std::fprintf(stderr, "cannot read %s\n", source.c_str());
        return 1;
    }
    CreateDirectory(thumbs);

    int made = 0;
    int failed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const FolderEntry& entry : entries) {
        if (entry.isFolder)
            continue;
        const std::string thumbnail =
            MakeThumbnail(thumbs, JoinPath(source, entry.name), 100, 100, 16);
        if (thumbnail.empty())
            ++failed;
        else
            ++made;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("thumbnails=%d seconds=%.3f per-second=%.1f\n", made, seconds,
                seconds > 0 ? made / seconds : 0.0);
    return failed == 0 ? 0 : 1;
}
