#!/usr/bin/env python3
"""Build the application icon from its text pixel map.

    python3 make_icon.py MAINICON.txt out.ico [--png preview.png] [--scale N]

The map file starts with palette lines, one per character:

    R = FF0000
    . = transparent

followed by exactly 32 rows of exactly 32 characters. Lines starting with
'#' are comments; blank lines are ignored.

The .ico holds a single 32x32, 4-bit image using the fixed 16-colour VGA
palette, so every colour in the map must be one of those 16. Output depends
only on the map, so rebuilding gives byte-identical files.
"""

import argparse
import re
import struct
import sys
import zlib

SIZE = 32

# Index order matters: it is the order the palette is stored in the .ico.
VGA_PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000,
    0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]

TRANSPARENT = None
PALETTE_LINE = re.compile(r'^(\S)\s+=\s+(\S+)\s*$')


class MapError(Exception):
    def __init__(self, path, lineno, message):
        where = f'{path}:{lineno}' if lineno else path
        super().__init__(f'{where}: {message}')


def parse_map(path):
    """Return a SIZE x SIZE list of palette indices (None = transparent)."""
    try:
        with open(path, 'rb') as f:
            raw = f.read()
    except OSError as e:
        raise MapError(path, 0, f'cannot read: {e.strerror}')
    try:
        text = raw.decode('ascii')
    except UnicodeDecodeError:
        raise MapError(path, 0, 'file is not plain ASCII')

    colours = {}       # char -> palette index or TRANSPARENT
    rows = []
    lines = text.split('\n')
    if lines[-1] == '':
        lines.pop()    # newline at end of file, not an extra line
    for lineno, line in enumerate(lines, 1):
        line = line.rstrip('\r')
        if not line.strip() or line.startswith('#'):
            continue
        m = PALETTE_LINE.match(line)
        if m and not rows:
            ch, value = m.group(1), m.group(2)
            if ch in colours:
                raise MapError(path, lineno, f"character '{ch}' defined twice")
            if value.lower() == 'transparent':
                if TRANSPARENT in colours.values():
                    raise MapError(path, lineno,
                                   'only one transparent character allowed')
                colours[ch] = TRANSPARENT
                continue
            if not re.fullmatch(r'[0-9A-Fa-f]{6}', value):
                raise MapError(path, lineno,
                               f"bad colour '{value}' (want RRGGBB hex or "
                               "'transparent')")
            rgb = int(value, 16)
            if rgb not in VGA_PALETTE:
                raise MapError(path, lineno,
                               f'colour {value.upper()} is not one of the 16 '
                               'VGA colours')
            colours[ch] = VGA_PALETTE.index(rgb)
            continue
        if not colours:
            raise MapError(path, lineno, 'pixel row before any palette line')
        if len(rows) == SIZE:
            raise MapError(path, lineno, f'more than {SIZE} pixel rows')
        if len(line) != SIZE:
            raise MapError(path, lineno,
                           f'row has {len(line)} characters, want {SIZE}')
        for col, ch in enumerate(line, 1):
            if ch not in colours:
                raise MapError(path, lineno,
                               f"column {col}: character '{ch}' is not in "
                               'the palette')
        rows.append(line)

    # No separate colour count check: colours are limited to the 16 VGA
    # entries above, so a map can never need more than the .ico can hold.
    if len(rows) != SIZE:
        raise MapError(path, len(lines),
                       f'end of file after {len(rows)} pixel rows, want {SIZE}')
    return [[colours[ch] for ch in line] for line in rows]


def row_bytes(bits_per_pixel, width):
    """Bytes per bitmap row; DIB rows are padded to a 4-byte boundary."""
    return (bits_per_pixel * width + 31) // 32 * 4


def build_ico(pixels):
    xor_stride = row_bytes(4, SIZE)
    and_stride = row_bytes(1, SIZE)

    xor = bytearray()
    mask = bytearray()
    # DIBs are stored bottom-up.
    for row in reversed(pixels):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, idx in enumerate(row):
            if idx is TRANSPARENT:
                idx = 0    # black under the mask keeps the screen unchanged
                bits[x // 8] |= 0x80 >> (x % 8)
            line[x // 2] |= idx << 4 if x % 2 == 0 else idx
        xor += line
        mask += bits

    palette = b''.join(struct.pack('<BBBB', c & 0xFF, (c >> 8) & 0xFF,
                                   c >> 16, 0) for c in VGA_PALETTE)
    header = struct.pack('<IiiHHIIiiII',
                         40,              # biSize
                         SIZE,            # biWidth
                         SIZE * 2,        # biHeight: XOR and AND stacked
                         1,               # biPlanes
                         4,               # biBitCount
                         0,               # biCompression = BI_RGB
                         len(xor) + len(mask),
                         0, 0,            # resolution: unused in icons
                         0, 0)            # biClrUsed/Important: all 16
    image = header + palette + bytes(xor) + bytes(mask)

    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII',
                        SIZE, SIZE,
                        16,               # colour count
                        0,
                        1,                # planes
                        4,                # bit count
                        len(image),
                        len(icondir) + 16)
    return icondir + entry + image


def png_chunk(kind, data):
    return (struct.pack('>I', len(data)) + kind + data +
            struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))


def build_png(pixels, scale):
    raw = bytearray()
    for row in pixels:
        line = bytearray([0])    # filter type: none
        for idx in row:
            if idx is TRANSPARENT:
                px = b'\0\0\0\0'
            else:
                c = VGA_PALETTE[idx]
                px = bytes([c >> 16, (c >> 8) & 0xFF, c & 0xFF, 255])
            line += px * scale
        raw += bytes(line) * scale
    ihdr = struct.pack('>IIBBBBB', SIZE * scale, SIZE * scale,
                       8, 6, 0, 0, 0)   # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', ihdr) +
            png_chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            png_chunk(b'IEND', b''))


def main(argv=None):
    ap = argparse.ArgumentParser(
        description='Convert a 32x32 text pixel map into a 16-colour .ico.')
    ap.add_argument('map', help='text pixel map (e.g. MAINICON.txt)')
    ap.add_argument('ico', help='output .ico file')
    ap.add_argument('--png', help='also write a preview PNG')
    ap.add_argument('--scale', type=int, default=8,
                    help='preview magnification (default 8)')
    args = ap.parse_args(argv)
    if args.scale < 1:
        ap.error('--scale must be at least 1')

    try:
        pixels = parse_map(args.map)
    except MapError as e:
        print(f'make_icon: {e}', file=sys.stderr)
        return 1

    outputs = [(args.ico, build_ico(pixels))]
    if args.png:
        outputs.append((args.png, build_png(pixels, args.scale)))
    for path, data in outputs:
        try:
            with open(path, 'wb') as f:
                f.write(data)
        except OSError as e:
            print(f'make_icon: {path}: {e.strerror}', file=sys.stderr)
            return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
