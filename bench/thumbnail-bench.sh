#!/usr/bin/env bash
# The thumbnail rows of bench/run-bench.sh (run it as `bash bench/run-bench.sh thumbs`).
#   thumbnail-bench.sh FILES BUILD OTHER-BUILD MONTAGE   (the last two may be empty)
set -euo pipefail
cd "$(dirname "$0")/.."
files=$1 build=$2 other_build=$3 montage=$4

if ! command -v vipsthumbnail >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libvips-tools >/dev/null
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target morvelle-bench-thumbs -j 4 >/dev/null

work=$(mktemp -d /tmp/morvelle-thumbs-XXXXXX)
trap 'rm -rf "$work"' EXIT
export MORVELLE_CONFIG_HOME="$work/config" MORVELLE_DATA_HOME="$work/data"
source=$MORVELLE_DATA_HOME/c/thumbsource
mkdir -p "$MORVELLE_CONFIG_HOME" "$source"

# --- The pictures: the sample site's photographs enlarged to about a megapixel, with a
# grain of noise so that they hold detail like a camera's, saved at quality 85. --------
photos=(harbour-large.jpg rose.jpg apples.jpg lighthouse.jpg)
sizes=(1224x918 1224x816 1000x1000 816x1224)
for i in "${!photos[@]}"; do
    IFS=x read -r w h <<<"${sizes[$i]}"
    vips thumbnail "resources/sample-site/pictures/${photos[$i]}" "$work/big$i.v" "$w" \
        --height "$h" --size force
    vips gaussnoise "$work/noise$i.v" "$w" "$h" --sigma 6 --mean 0
    vips add "$work/big$i.v" "$work/noise$i.v" "$work/grain$i.v"
    vips cast "$work/grain$i.v" "$work/photo$i.jpg[Q=85]" uchar
done
for ((n = 0; n < files; n++)); do
    cp "$work/photo$((n % ${#photos[@]})).jpg" "$source/$(printf 'p%04d.jpg' "$n")"
done

nproc_=$(nproc)
echo "machine: $nproc_ processors ($(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)), $(uname -sr); load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "pictures: $files JPEGs of about 1 megapixel ($(du -sh "$source" | cut -f1)), thumbnails fitting 100 x 100, one processor (taskset -c 0)"

# --- The runs, each on processor 0 ---------------------------------------------------
ours() {  # build thumbs-folder-name
    taskset -c 0 "$1/bench/morvelle-bench-thumbs" 'c:\thumbsource' "c:\\$2" |
        sed -n 's/.*per-second=\([0-9.]*\).*/\1/p'
}
rate_ours=$(ours "$build" thumbs)
[ -n "$other_build" ] && rate_other=$(ours "$other_build" thumbs-other)
mkdir -p "$work/vips"
begin=$(date +%s.%N)
VIPS_CONCURRENCY=1 taskset -c 0 vipsthumbnail --size 100x100 -o "$work/vips/%s.jpg" "$source"/*.jpg
end=$(date +%s.%N)
rate_vips=$(echo "scale=1; $files / ($end - $begin)" | bc -l)

echo
printf '%-34s %8s thumbnails/s\n' "morvelle-bench-thumbs ($build)" "$rate_ours"
[ -n "$other_build" ] && printf '%-34s %8s thumbnails/s\n' "morvelle-bench-thumbs ($other_build)" "$rate_other"
printf '%-34s %8s thumbnails/s\n' "vipsthumbnail" "$rate_vips"
printf '%-34s %8.2f\n' "ours / vips (rate)" "$(echo "$rate_ours / $rate_vips" | bc -l)"

# --- How far apart the thumbnails lie --------------------------------------------------
# difference A B: "WxH WxH mean" (mean absolute difference of the pixels, 0 to 255).
difference() {
    local a=$1 b=$2 size_a size_b
    size_a=$(vipsheader -f width "$a")x$(vipsheader -f height "$a")
    size_b=$(vipsheader -f width "$b")x$(vipsheader -f height "$b")
    if [ "$size_a" != "$size_b" ]; then echo "$size_a $size_b -"; return; fi
    vips subtract "$a" "$b" "$work/d.v"
    vips abs "$work/d.v" "$work/a.v"
    echo "$size_a $size_b $(vips avg "$work/a.v")"
}
thumbs=$MORVELLE_DATA_HOME/c/thumbs
compare_all() {  # label other-folder
    local worst=0 sizes_differ=0 line
    for ((n = 0; n < ${#photos[@]}; n++)); do
        name=$(printf 'p%04d' "$n")
        line=$(difference "$thumbs/$name.jpg" "$2/$name.jpg")
        echo "  $name: $line"
        read -r _ _ mean <<<"$line"
        if [ "$mean" = - ]; then sizes_differ=1; continue; fi
        worst=$(echo "if ($mean > $worst) $mean else $worst" | bc -l)
    done
    printf '%-34s sizes %s, largest mean difference %.2f of 255\n' "$1" \
        "$([ $sizes_differ = 0 ] && echo equal || echo DIFFER)" "$worst"
}
echo
compare_all "ours against vipsthumbnail" "$work/vips"
[ -n "$other_build" ] && compare_all "ours against $other_build" "$MORVELLE_DATA_HOME/c/thumbs-other"
if [ -n "$montage" ]; then
    # Rows: ours, vipsthumbnail (and the other build's), one picture of each kind across.
    list=()
    for folder in "$thumbs" "$work/vips" ${other_build:+"$MORVELLE_DATA_HOME/c/thumbs-other"}; do
        for ((n = 0; n < ${#photos[@]}; n++)); do
            vips gravity "$folder/$(printf 'p%04d' "$n").jpg" "$work/m-${#list[@]}.v" centre 110 110 \
                --extend white
            list+=("$work/m-${#list[@]}.v")
        done
    done
    vips arrayjoin "${list[*]}" "$montage" --across "${#photos[@]}"
    echo "montage: $montage"
fi
