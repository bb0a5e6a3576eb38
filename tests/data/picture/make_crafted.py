#!/usr/bin/env python3
"""Writes the picture fixtures that ImageMagick cannot make, byte by byte.

Run from this folder: python3 make_crafted.py
"""
import struct
import zlib


def read_ppm(path):
    words = []
    with open(path) as f:
        for line in f:
            words += line.split('#', 1)[0].split()
    assert words[0] == 'P3'
    width, height, _ = map(int, words[1:4])
    values = list(map(int, words[4:]))
    pixels = [tuple(values[i:i + 3]) for i in range(0, len(values), 3)]
    return width, height, pixels


def bmp(width, height, bits, pixel_data, palette=b'', compression=0, colours_used=0):
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression,
                       len(pixel_data), 2835, 2835, colours_used, 0)
    offset = 14 + len(info) + len(palette)
    header = b'BM' + struct.pack('<IHHI', offset + len(pixel_data), 0, 0, offset)
    return header + info + palette + pixel_data


def bmp16_555():
    """16 bits per pixel, 5-5-5, no bit fields: the plain variant."""
    width, height, pixels = read_ppm('pattern.ppm')
    rows = []
    for y in reversed(range(height)):
        row = b''
        for x in range(width):
            r, g, b = pixels[y * width + x]
            row += struct.pack('<H', (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
        rows.append(row + b'\0' * (-len(row) % 4))
    return bmp(width, height, 16, b''.join(rows))


def bmp8_rle_clipped():
    """4 x 3, run-length coded, with a run and a literal string longer than the
    row and a skip: bottom row a run of 6 red, middle row a literal of 5,
    top row a skip of 2 and one blue pixel."""
    palette = bytes([0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0])  # B G R x
    data = bytes([6, 1, 0, 0,
                  0, 5, 2, 3, 2, 3, 2, 0, 0, 0,
                  0, 2, 2, 0, 1, 3, 0, 1])
    return bmp(4, 3, 8, data, palette, compression=1, colours_used=4)


def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def png_1x2000000():
    """A correct header for a 1 x 2,000,000 grey picture, with one row of data."""
    ihdr = struct.pack('>IIBBBBB', 1, 2000000, 8, 0, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', ihdr) +
            png_chunk(b'IDAT', zlib.compress(b'\0\0')) + png_chunk(b'IEND', b''))


def png_20000x20000():
    """A correct header for a 20000 x 20000 grey picture, within libpng's own
    limits but beyond the picture maker's, with one row of data."""
    ihdr = struct.pack('>IIBBBBB', 20000, 20000, 8, 0, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', ihdr) +
            png_chunk(b'IDAT', zlib.compress(b'\0' * 20001)) + png_chunk(b'IEND', b''))


def lzw(pixels, min_code_size):
    """Codes every pixel alone and clears the table after every second code,
    so that the code width never grows."""
    clear = 1 << min_code_size
    width = min_code_size + 1
    codes = []
    for i, p in enumerate(pixels):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(clear + 1)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits)
    blocks = bytearray([min_code_size])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b'\0')


def gif(screen, colours, frame, pixels, transparent=None):
    """A one-frame GIF. screen = (w, h); frame = (left, top, w, h); colours is
    the global table (a power of two entries)."""
    size_bits = (len(colours) - 1).bit_length() - 1
    out = b'GIF89a' + struct.pack('<HHBBB', screen[0], screen[1], 0x80 | size_bits, 0, 0)
    out += b''.join(bytes(c) for c in colours)
    if transparent is not None:
        out += bytes([0x21, 0xF9, 4, 1, 0, 0, transparent, 0])
    out += b',' + struct.pack('<HHHHB', *frame, 0)
    out += lzw(pixels, max(2, size_bits + 1))
    return out + b';'


BLACK, RED, GREEN, BLUE = (0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)

FILES = {
    'bmp16_555.bmp': bmp16_555(),
    'bmp8_rle_clipped.bmp': bmp8_rle_clipped(),
    'png_1x2000000.png': png_1x2000000(),
    'png_20000x20000.png': png_20000x20000(),
    # 4 x 3 screen, a 4 x 3 frame of red placed at (2, 1): half of it lies outside.
    'gif_frame_partly_outside.gif': gif((4, 3), [BLACK, RED, GREEN, BLUE], (2, 1, 4, 3), [1] * 12),
    # The frame starts right of the screen.
    'gif_frame_outside.gif': gif((4, 3), [BLACK, RED, GREEN, BLUE], (10, 0, 2, 2), [1] * 4),
    # A two-entry table (red, green); pixels use indexes 0 to 3, 3 is transparent.
    'gif_indexes_past_map.gif': gif((4, 3), [RED, GREEN], (0, 0, 4, 3),
                                    [0, 1, 2, 3, 3, 3, 0, 1, 1, 0, 2, 2], transparent=3),
    # The transparent index 200 lies past the four-entry table.
    'gif_transparent_past_map.gif': gif((4, 3), [BLACK, RED, GREEN, BLUE], (0, 0, 4, 3),
                                        [0, 1, 2, 3] * 3, transparent=200),
}

for name, content in FILES.items():
    with open(name, 'wb') as f:
        f.write(content)
