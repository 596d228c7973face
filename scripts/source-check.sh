#!/usr/bin/env bash
# Keeps raw system calls and third-party libraries inside platform/, and sleeps
# out of the tests (tests wait on conditions with deadlines instead).
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
system_dirs="engine formatter band bandvariants programs toolbar tools"
forbidden='#include *[<"](curl/|gumbo|pugixml|FreeImage|vips/|cairo|pango|fontconfig|glib|filesystem>|fstream>|dirent|unistd|fcntl|sys/|pthread|dlfcn)'
for d in $system_dirs; do
    [ -d "$d" ] || continue
    if grep -rnE "$forbidden" "$d" --include='*.cpp' --include='*.h'; then
        echo "source-check: the includes above belong in platform/ only"
        status=1
    fi
    if grep -rnE '\b(fopen|std::ofstream|std::ifstream|std::filesystem|::open\(|std::thread|sleep_for)\b' "$d" --include='*.cpp' --include='*.h'; then
        echo "source-check: the calls above belong in platform/ only"
        status=1
    fi
done
if grep -rnE '#include *"band/' engine --include='*.cpp' --include='*.h'; then
    echo "source-check: the engine never includes band code (the bands fill the engine's records)"
    status=1
fi
if grep -rnE "$forbidden" platform --include='*.h' | grep -vE '(filesystem|fstream|dirent|unistd|fcntl|sys/|pthread|dlfcn)'; then
    echo "source-check: library headers belong in platform/*.cpp, not in platform headers"
    status=1
fi
if [ -d tests ] && grep -rnE '\b(sleep_for|usleep|nanosleep)\b|\bsleep\(' tests --include='*.cpp' --include='*.h' | grep -v '^tests/support/'; then
    echo "source-check: tests wait on conditions with deadlines, not on sleeps"
    status=1
fi
if command -v clang-format >/dev/null 2>&1; then
    unformatted=$(git ls-files '*.cpp' '*.h' 2>/dev/null |
        xargs -r -P "$(nproc)" -n 16 clang-format --dry-run 2>&1 |
        grep 'warning:' | cut -d: -f1 | sort -u)
    if [ -n "$unformatted" ]; then
        echo "source-check: not formatted with the root .clang-format (run clang-format -i):"
        echo "$unformatted"
        status=1
    fi
fi
exit $status
