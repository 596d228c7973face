#!/usr/bin/env bash
# Makes the seeds of PictureFuzzer (tests/fuzz/corpus/PictureFuzzer): small pictures of
# every accepted kind from generated pixels, nothing downloaded. JPEG, PNG, GIF and TIFF
# are written by the vips command (Debian's libvips-tools), the bitmaps byte by byte.
# Run by hand when the seeds change; the seeds themselves are kept in git.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=tests/fuzz/corpus/PictureFuzzer
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Pixels: a colour gradient with a soft grain, w x h, as an sRGB picture.
picture() {  # name width height
    local name=$1 w=$2 h=$3
    vips xyz "$work/xy.v" "$w" "$h"
    vips extract_band "$work/xy.v" "$work/x.v" 0
    vips extract_band "$work/xy.v" "$work/y.v" 1
    vips linear "$work/x.v" "$work/r.v" "$(echo "255 / $w" | bc -l)" 0
    vips linear "$work/y.v" "$work/g.v" "$(echo "255 / $h" | bc -l)" 0
    vips add "$work/x.v" "$work/y.v" "$work/s.v"
    vips linear "$work/s.v" "$work/b.v" "$(echo "255 / ($w + $h)" | bc -l)" 0
    vips gaussnoise "$work/n.v" "$w" "$h" --sigma 8 --mean 0
    vips add "$work/b.v" "$work/n.v" "$work/bn.v"
    vips bandjoin "$work/r.v $work/g.v $work/bn.v" "$work/rgb.v"
    vips cast "$work/rgb.v" "$work/rgb8.v" uchar
    vips copy "$work/rgb8.v" "$work/$name.v" --interpretation srgb
}
picture small 40 30
picture large 400 300

vips copy "$work/small.v" "$out/baseline.jpg[Q=75]"
vips copy "$work/small.v" "$out/progressive.jpg[Q=75,interlace]"
vips colourspace "$work/small.v" "$work/grey.v" b-w
vips copy "$work/grey.v" "$out/grey.jpg[Q=75]"
vips copy "$work/large.v" "$out/shrink-on-load.jpg[Q=20,strip]"
vips icc_export "$work/small.v" "$work/cmyk.v" --output-profile cmyk 2>/dev/null &&
    vips copy "$work/cmyk.v" "$out/cmyk.jpg[Q=75,strip]" || true

vips copy "$work/small.v" "$out/rgb.png"
vips copy "$work/small.v" "$out/interlaced.png[interlace]"
vips bandjoin_const "$work/small.v" "$work/alpha.v" 128
vips copy "$work/alpha.v" "$out/alpha.png"
vips copy "$work/grey.v" "$work/grey16.v" --interpretation grey16
vips cast "$work/grey.v" "$work/g16.v" ushort
vips linear "$work/g16.v" "$work/g16s.v" 256 0
vips cast "$work/g16s.v" "$work/g16c.v" ushort
vips copy "$work/g16c.v" "$out/grey16.png" --interpretation grey16
vips copy "$work/small.v" "$out/palette.png[palette]"

vips copy "$work/small.v" "$out/still.gif"
vips flip "$work/small.v" "$work/flipped.v" horizontal
vips copy "$work/flipped.v" "$work/flipped.gif"
# Two frames: the second picture's frame, its colour table made its own, after the
# first's.
python3 - "$out/still.gif" "$work/flipped.gif" "$out/frames.gif" <<'GIF'
import sys
def parts(data):
    flags = data[10]
    table = 3 * (2 << (flags & 7)) if flags & 0x80 else 0
    return data[:13 + table], data[13:13 + table], flags, data[13 + table:data.rindex(b"\x3b")]
head, _, _, blocks = parts(open(sys.argv[1], "rb").read())
_, table, flags, frame = parts(open(sys.argv[2], "rb").read())
at = frame.index(b"\x2c")
descriptor = bytearray(frame[at:at + 10])
descriptor[9] = 0x80 | (flags & 7)
frame = frame[:at] + bytes(descriptor) + table + frame[at + 10:]
open(sys.argv[3], "wb").write(head + blocks + frame + b"\x3b")
GIF

vips copy "$work/small.v" "$out/lzw.tif[compression=lzw]"
vips copy "$work/small.v" "$out/tiled.tif[compression=deflate,tile,tile-width=16,tile-height=16]"
vips copy "$work/small.v" "$out/jpeg.tif[compression=jpeg]"
vips copy "$work/g16c.v" "$out/grey16.tif"

# Bitmaps: the forms the bitmap reader takes, 8 x 6 pixels.
python3 - "$out" <<'EOF'
import struct, sys
out = sys.argv[1]
w, h = 8, 6
def colour(x, y):
    return (x * 255 // (w - 1), y * 255 // (h - 1), (x * 7 + y * 3) % 256)
def bmp(name, info, table, pixels):
    offset = 14 + len(info) + len(table)
    with open(f"{out}/{name}.bmp", "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + table + pixels)
def info40(bits, compression, size, used=0, height=h):
    return struct.pack("<IiiHHIIiiII", 40, w, height, 1, bits, compression, size, 2835, 2835, used, 0)
def rows(bits, pixel, top_down=False):
    data = b""
    for y in (range(h) if top_down else reversed(range(h))):
        line = b"".join(pixel(x, y) for x in range(w))
        data += line + b"\0" * ((-len(line)) % 4)
    return data
rgb24 = rows(24, lambda x, y: bytes(reversed(colour(x, y))))
bmp("rgb24", info40(24, 0, len(rgb24)), b"", rgb24)
bmp("top-down", info40(24, 0, len(rgb24), height=-h), b"", rows(24, lambda x, y: bytes(reversed(colour(x, y))), True))
core = struct.pack("<IHHHH", 12, w, h, 1, 24)
bmp("core", core, b"", rgb24)
palette = b"".join(bytes((i * 37 % 256, 255 - i * 16, i * 16, 0)) for i in range(16))
index = lambda x, y: (x + y) % 16
p8 = rows(8, lambda x, y: bytes((index(x, y),)))
bmp("palette8", info40(8, 0, len(p8), 16), palette, p8)
p4 = b""
for y in reversed(range(h)):
    line = bytes((index(x, y) << 4 | index(x + 1, y)) for x in range(0, w, 2))
    p4 += line + b"\0" * ((-len(line)) % 4)
bmp("palette4", info40(4, 0, len(p4), 16), palette, p4)
rle8 = b""
for y in range(h):
    rle8 += bytes((3, index(0, y), 0, 5) + tuple(index(x, y) for x in range(3, 8))) + b"\0" + b"\0\0"
rle8 += b"\0\1"
bmp("rle8", info40(8, 1, len(rle8), 16), palette, rle8)
rle4 = b""
for y in range(h):
    rle4 += bytes((4, index(0, y) << 4 | index(1, y), 0, 4, index(4, y) << 4 | index(5, y), index(6, y) << 4 | index(7, y), 0, 0))
rle4 += b"\0\1"
bmp("rle4", info40(4, 2, len(rle4), 16), palette, rle4)
fields = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
p16 = rows(16, lambda x, y: struct.pack("<H", (colour(x, y)[0] >> 3) << 11 | (colour(x, y)[1] >> 2) << 5 | colour(x, y)[2] >> 3))
bmp("fields565", info40(16, 3, len(p16)), fields, p16)
v5 = bytearray(struct.pack("<IiiHHIIiiII", 124, w, h, 1, 32, 3, w * h * 4, 2835, 2835, 0, 0)) + bytearray(124 - 40)
v5[40:56] = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
p32 = rows(32, lambda x, y: bytes(reversed(colour(x, y))) + bytes((x * 32,)))
bmp("alpha-v5", bytes(v5), b"", p32)
EOF
ls -l "$out"
