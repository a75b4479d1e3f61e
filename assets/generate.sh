#!/usr/bin/env bash
# Regenerates every generated file in assets/ from its source:
#   icon.svg            -> icon-16.png ... icon-256.png (RGBA) and mervalin.ico
#   ../ui/diagram.h     -> diagram.svg, the reference drawing of the diagram
#
# Needs the groups program, python and images of scripts/packages: g++
# (builds the program that writes diagram.svg), rsvg-convert (SVG to PNG),
# ImageMagick's convert (PNG clean-up, 256-colour quantising) and Python
# (writes the .ico container; the standard library is enough). When run as
# root, missing packages are installed with apt-get.
#
# The output is deterministic: metadata and timestamps are stripped, the
# quantiser does not dither, and the .ico is assembled byte by byte, so running
# this twice gives identical files.
#
# Usage: assets/generate.sh   (from any directory)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

. "$here/../scripts/deps.sh"
require program python images

# Prefer Debian's ImageMagick 6 and Python by their full paths.
if [ -x /usr/bin/convert ]; then CONVERT=/usr/bin/convert; else CONVERT=convert; fi
if [ -x /usr/bin/python3 ]; then PYTHON=/usr/bin/python3; else PYTHON=python3; fi

# Same environment every run (no stray config, fixed locale).
export LC_ALL=C
unset MAGICK_CONFIGURE_PATH

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

png_clean=(-strip -define png:exclude-chunk=time,date,tEXt,zTXt,iTXt,bKGD
           -define png:compression-level=9)

# 1. Program icon, RGBA PNGs at every size.
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
        --format png icon.svg --output "$tmp/icon-$size.png"
    "$CONVERT" "$tmp/icon-$size.png" "${png_clean[@]}" "PNG32:icon-$size.png"
done

# 2. 256-colour images for the classic .ico entries: alpha cut to on/off at
#    50 %, fully transparent pixels set to black (as the AND/XOR scheme wants),
#    then at most 255 opaque colours without dithering.
for size in 16 32 48; do
    "$CONVERT" "icon-$size.png" \
        -channel A -threshold 50% +channel \
        -background black -alpha background \
        +dither -colors 255 \
        "${png_clean[@]}" "PNG8:$tmp/icon-$size-256colors.png"
done

# 3. mervalin.ico: 16, 32, 48 as 8-bit palettised BMP entries with a 1-bit
#    transparency mask, 256 as a PNG-compressed 32-bit entry.
"$PYTHON" - "$tmp" <<'PYEOF'
import struct, sys, zlib

tmp = sys.argv[1]

def read_png8(path):
    """Minimal reader for the palettised, non-interlaced 8-bit PNGs made above."""
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', path
    pos, idat, plte, trns = 8, b'', b'', b''
    while pos < len(data):
        length, ctype = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if ctype == b'IHDR':
            w, h, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
        elif ctype == b'PLTE':
            plte = body
        elif ctype == b'tRNS':
            trns = body
        elif ctype == b'IDAT':
            idat += body
    raw = zlib.decompress(idat)
    stride = (w * depth + 7) // 8
    rows, prev = [], bytearray(stride)
    for y in range(h):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 1] if i > 0 else 0
            b = prev[i]
            c = prev[i - 1] if i > 0 else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    palette = [tuple(plte[i:i + 3]) for i in range(0, len(plte), 3)]
    alpha = list(trns) + [255] * (len(palette) - len(trns))
    pixels = []  # (r, g, b) or None for transparent
    for row in rows:
        if colour == 3:  # indexed
            if depth == 8:
                idx = list(row)
            else:
                per = 8 // depth
                idx = [(row[x // per] >> (8 - depth * (x % per + 1))) & ((1 << depth) - 1)
                       for x in range(w)]
            pixels.append([None if alpha[i] < 128 else palette[i] for i in idx[:w]])
        elif colour == 0 and depth == 8:  # grey, should not happen for this icon
            pixels.append([(v, v, v) for v in row[:w]])
        else:
            raise SystemExit('unexpected PNG type in %s: colour %d depth %d' % (path, colour, depth))
    return w, h, pixels

def bmp_entry(w, h, pixels):
    """BITMAPINFOHEADER + 256-entry palette + 8-bit XOR image + 1-bit AND mask."""
    colours = sorted({p for row in pixels for p in row if p is not None})
    palette = [(0, 0, 0)] + colours            # index 0: black under transparent pixels
    assert len(palette) <= 256, len(palette)
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {c: i + 1 for i, c in enumerate(colours)}
    xor_stride = (w + 3) & ~3
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):               # bottom-up
        xor += bytes(0 if p is None else index[p] for p in row) + bytes(xor_stride - w)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 8, 0,
                         len(xor) + len(mask), 0, 0, 256, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    return header + pal + bytes(xor) + bytes(mask)

entries = []  # (width, height, colour count, bit count, data)
for size in (16, 32, 48):
    w, h, px = read_png8('%s/icon-%d-256colors.png' % (tmp, size))
    assert (w, h) == (size, size)
    entries.append((w, h, 0, 8, bmp_entry(w, h, px)))
entries.append((256, 256, 0, 32, open('icon-256.png', 'rb').read()))

out = struct.pack('<HHH', 0, 1, len(entries))
offset = 6 + 16 * len(entries)
for w, h, ncol, bpp, data in entries:
    out += struct.pack('<BBBBHHII', w % 256, h % 256, ncol, 0, 1, bpp, len(data), offset)
    offset += len(data)
out += b''.join(e[4] for e in entries)
open('mervalin.ico', 'wb').write(out)
PYEOF

# 4. Diagram: the drawing every front end draws, at 96 DPI, written by
#    tools/diagram_svg.cpp from ui/diagram.h.
g++ -std=c++20 -O1 -I"$here/.." "$here/../tools/diagram_svg.cpp" -o "$tmp/diagram-svg"
"$tmp/diagram-svg" >diagram.svg

echo "generate.sh: done"
