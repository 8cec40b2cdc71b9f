#!/usr/bin/env bash
# Draws the product's pictures and icons with ImageMagick and packs the .ico files, so the
# committed binaries under resources/ can be remade from this script alone:
#   resources/images/BackGround-{N,M,D}.bmp  the popup card, normal / pointer over / pressed
#   resources/images/deckicon.ico            the popup's adapter icon
#   resources/icons/product.ico              program and popup class icon (7 images)
#   resources/icons/adaptalert.ico           adaptalert's icon groups (8 images, 4/8/32 bits)
set -euo pipefail
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { echo "make-images: ImageMagick's convert is missing (scripts/setup.sh)" >&2; exit 1; }
images=resources/images
icons=resources/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$images" "$icons"

# A dark card that white text reads well on: vertical gradient, an amber accent stripe at the
# left, a faint highlight along the top. The three states differ only in brightness.
card() {  # <file> <top colour> <bottom colour> <highlight>
  convert -size 250x96 "gradient:$2-$3" \
    -fill '#f0a020' -draw 'rectangle 0,0 4,95' \
    -fill "$4" -draw 'rectangle 5,0 249,0' \
    -type TrueColor -define bmp:format=bmp3 "BMP3:$1"
}
card "$images/BackGround-N.bmp" '#26394d' '#142130' '#3d5670'
card "$images/BackGround-M.bmp" '#30506c' '#1b2f42' '#5a7d9e'
card "$images/BackGround-D.bmp" '#101c28' '#0a131c' '#1f3042'

# Master drawings at 256 pixels, scaled down for every size.
# Product: three bezel buttons on a teal deck.
convert -size 256x256 xc:none \
  -fill '#136f7a' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill '#1b8e9b' -draw 'roundrectangle 8,8 247,120 48,48' -draw 'rectangle 8,80 247,120' \
  -fill '#136f7a' -draw 'rectangle 8,120 247,130' \
  -fill white -draw 'roundrectangle 56,52 200,84 16,16' \
  -draw 'roundrectangle 56,112 200,144 16,16' \
  -fill '#f0a020' -draw 'roundrectangle 56,172 200,204 16,16' \
  "$work/product.png"
# Adapter warning: a lightning bolt on an amber tile.
convert -size 256x256 xc:none \
  -fill '#f0a020' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill '#1a1a1a' -draw 'polygon 150,28 66,142 120,142 96,228 190,108 134,108 168,28' \
  "$work/deck.png"

# pack-ico <out.ico> <master.png> <size:bits>...   bits 4/8 paletted, 24, 32 (alpha), png
pack_ico() {
  local out=$1 master=$2
  shift 2
  local entry size bits args=()
  for entry in "$@"; do
    size=${entry%%:*}
    bits=${entry##*:}
    case "$bits" in
      png) convert "$master" -resize "${size}x${size}" "PNG32:$work/$size-png.png" ;;
      4) convert "$master" -resize "${size}x${size}" -background black -alpha remove -colors 16 -depth 8 "rgb:$work/$size-$bits.raw" ;;
      8) convert "$master" -resize "${size}x${size}" -background black -alpha remove -colors 256 -depth 8 "rgb:$work/$size-$bits.raw" ;;
      *) convert "$master" -resize "${size}x${size}" -depth 8 "rgba:$work/$size-$bits.raw" ;;
    esac
    args+=("$size:$bits")
  done
  python3 - "$out" "$work" "${args[@]}" <<'PY'
import struct, sys
out, work, entries = sys.argv[1], sys.argv[2], sys.argv[3:]

def row_pad(n):
    return (4 - n % 4) % 4

def and_mask(size, alpha):
    rows = []
    stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        bits = bytearray(stride)
        for x in range(size):
            if alpha is not None and alpha[y * size + x] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(bits))
    return b"".join(rows)

def dib(size, bits):
    raw = open(f"{work}/{size}-{bits}.raw", "rb").read()
    header = lambda bpp, colours: struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, colours, 0)
    if bits in ("24", "32"):
        px = [raw[i:i + 4] for i in range(0, len(raw), 4)]
        alpha = [p[3] for p in px]
        body = bytearray()  # bottom-up rows, each padded to 4 bytes
        if bits == "24":
            for y in reversed(range(size)):
                row = bytearray()
                for x in range(size):
                    r, g, b, _ = px[y * size + x]
                    row += bytes((b, g, r))
                body += row + b"\0" * row_pad(len(row))
        else:
            for y in reversed(range(size)):
                for x in range(size):
                    r, g, b, a = px[y * size + x]
                    body += bytes((b, g, r, a))
        return header(int(bits), 0) + bytes(body) + and_mask(size, alpha), int(bits), 0
    bpp = int(bits)
    px = [raw[i:i + 3] for i in range(0, len(raw), 3)]
    palette = sorted(set(px))
    limit = 1 << bpp
    assert len(palette) <= limit, f"{size}x{size}: {len(palette)} colours for {bpp} bits"
    palette += [b"\0\0\0"] * (limit - len(palette))
    index = {c: i for i, c in enumerate(palette)}
    body = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        if bpp == 8:
            row += bytes(index[px[y * size + x]] for x in range(size))
        else:
            for x in range(0, size, 2):
                hi = index[px[y * size + x]]
                lo = index[px[y * size + x + 1]] if x + 1 < size else 0
                row.append(hi << 4 | lo)
        body += row + b"\0" * row_pad(len(row))
    table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    return header(bpp, limit) + table + bytes(body) + and_mask(size, None), bpp, limit if limit < 256 else 0

images = []
for entry in entries:
    size, bits = entry.split(":")
    size = int(size)
    if bits == "png":
        images.append((size, open(f"{work}/{size}-png.png", "rb").read(), 32, 0))
    else:
        data, bpp, colours = dib(size, bits)
        images.append((size, data, bpp, colours))
offset = 6 + 16 * len(images)
directory = struct.pack("<HHH", 0, 1, len(images))
blobs = b""
for size, data, bpp, colours in images:
    directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(data), offset + len(blobs))
    blobs += data
open(out, "wb").write(directory + blobs)
PY
}
pack_ico "$icons/product.ico" "$work/product.png" 256:png 128:24 96:24 48:24 32:24 24:24 16:24
pack_ico "$icons/adaptalert.ico" "$work/deck.png" 32:4 16:4 48:8 32:8 16:8 48:32 32:32 16:32
pack_ico "$images/deckicon.ico" "$work/deck.png" 48:32 32:32 16:32
echo "make-images: wrote $images/BackGround-{N,M,D}.bmp, $images/deckicon.ico, $icons/product.ico, $icons/adaptalert.ico"
