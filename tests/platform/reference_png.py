#!/usr/bin/env python3
"""Independent PNG decoder that writes the pixel table png_test checks our libpng loader against.

Plain Python (zlib, struct only), written from the PNG rules and not from libpng. It applies
the same transforms as the game's loader: 16-bit samples keep their high byte, palettes become
RGB, grey of 1, 2 or 4 bits is scaled to 8 bits, a valid tRNS chunk becomes an alpha channel,
and interlaced files are read through all seven passes. Grey with alpha (or grey with a tRNS
colour) comes out as RGBA with red = green = blue = grey.

Usage:
  reference_png.py FOLDER [--check EXPECTED_TSV]   writes the table for FOLDER/*.png to stdout
  reference_png.py FILE.png --dump                 writes the decoded bytes of one file to stdout
"""
import os
import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"

# Allowed bit depths for each colour type, and its samples a pixel.
DEPTHS = {0: (1, 2, 4, 8, 16), 2: (8, 16), 3: (1, 2, 4, 8), 4: (8, 16), 6: (8, 16)}
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}

# Adam7: (first column, first row, column step, row step) of each pass.
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]

FNV_OFFSET = 14695981039346656037
FNV_PRIME = 1099511628211


class PngError(Exception):
    """The file must be rejected: no picture."""


def fnv1a64(data):
    h = FNV_OFFSET
    for byte in data:
        h = ((h ^ byte) * FNV_PRIME) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def is_critical(kind):
    return not (kind[0] & 0x20)


def read_chunks(data):
    """Yields (type, body) up to and including IEND. A critical chunk with a bad CRC is fatal;
    an ancillary one with a bad CRC is dropped, as libpng does by default."""
    if data[:8] != SIGNATURE:
        raise PngError("bad signature")
    pos = 8
    while True:
        if pos + 8 > len(data):
            raise PngError("file ends before IEND")
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if length > 0x7FFFFFFF:
            raise PngError("chunk length too large")
        if not all(65 <= c <= 90 or 97 <= c <= 122 for c in kind):
            raise PngError("invalid chunk type %r" % kind)
        end = pos + 8 + length
        if end + 4 > len(data):
            raise PngError("file ends inside %r" % kind)
        body = data[pos + 8:end]
        (crc,) = struct.unpack(">I", data[end:end + 4])
        pos = end + 4
        if zlib.crc32(kind + body) != crc:
            if is_critical(kind):
                raise PngError("CRC error in %r" % kind)
            continue
        yield kind, body
        if kind == b"IEND":
            return


def parse_ihdr(body):
    if len(body) != 13:
        raise PngError("bad IHDR length")
    width, height, depth, colour, compression, filtering, interlace = struct.unpack(
        ">IIBBBBB", body)
    if not (1 <= width <= 0x7FFFFFFF and 1 <= height <= 0x7FFFFFFF):
        raise PngError("bad size")
    if colour not in DEPTHS or depth not in DEPTHS[colour]:
        raise PngError("bad colour type %d / bit depth %d" % (colour, depth))
    if compression != 0 or filtering != 0 or interlace not in (0, 1):
        raise PngError("bad compression, filter or interlace method")
    return width, height, depth, colour, interlace


def read_structure(data):
    """Walks the chunks; returns the header, palette, tRNS body (or None) and the image data."""
    chunks = read_chunks(data)
    first = next(chunks, None)
    if first is None or first[0] != b"IHDR":
        raise PngError("IHDR is not first")
    width, height, depth, colour, interlace = parse_ihdr(first[1])
    palette = None
    trns = None
    idat = []
    idat_state = "before"  # before, inside, after the first run of IDAT chunks
    for kind, body in chunks:
        if kind == b"IDAT":
            if idat_state == "before" and colour == 3 and palette is None:
                raise PngError("no PLTE before IDAT")
            if idat_state != "after":
                idat_state = "inside"
                idat.append(body)
            # IDAT after another chunk: extra data, ignored (libpng only warns).
            continue
        if idat_state == "inside":
            idat_state = "after"
        if kind == b"IHDR":
            raise PngError("second IHDR")
        elif kind == b"PLTE":
            if palette is not None:
                raise PngError("second PLTE")
            if idat_state != "before":
                if colour == 3:
                    raise PngError("PLTE after IDAT")
                continue
            if colour in (0, 4):
                continue  # ignored in grey files
            if len(body) % 3 or not 3 <= len(body) <= 768:
                if colour == 3:
                    raise PngError("bad PLTE length")
                continue
            entries = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
            if colour == 3:
                entries = entries[:1 << depth]  # more entries than indices: extra ones unused
            palette = entries
        elif kind == b"tRNS":
            # An invalid, duplicate or misplaced tRNS is dropped, not fatal.
            if trns is not None or idat_state != "before":
                continue
            if colour == 3:
                if palette is not None and 1 <= len(body) <= len(palette):
                    trns = body
            elif colour == 0 and len(body) == 2 or colour == 2 and len(body) == 6:
                trns = body
        elif kind == b"IEND":
            if idat_state == "before":
                raise PngError("no IDAT")
        elif is_critical(kind):
            raise PngError("unknown critical chunk %r" % kind)
    return width, height, depth, colour, interlace, palette, trns, b"".join(idat)


def inflate(stream):
    """zlib stream -> bytes. Like libpng, a wrong Adler-32 is not fatal, but the deflate data
    must be valid and complete."""
    if len(stream) < 2:
        raise PngError("image data too short")
    cmf, flg = stream[0], stream[1]
    if cmf & 0x0F != 8 or cmf >> 4 > 7 or (cmf * 256 + flg) % 31 or flg & 0x20:
        raise PngError("bad zlib header")
    inflater = zlib.decompressobj(-15)
    try:
        out = inflater.decompress(stream[2:]) + inflater.flush()
    except zlib.error as error:
        raise PngError("bad deflate data: %s" % error)
    if not inflater.eof:
        raise PngError("deflate data ends early")
    return out


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, pos, width, rows, bits_per_pixel):
    """Undoes the row filters of one (sub)image starting at raw[pos]; returns rows and the end."""
    row_bytes = (width * bits_per_pixel + 7) // 8
    bpp = max(1, bits_per_pixel // 8)  # sub-byte pixels filter against the previous byte
    prior = bytearray(row_bytes)
    out = []
    for _ in range(rows):
        if pos + 1 + row_bytes > len(raw):
            raise PngError("not enough image data")
        ftype = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + row_bytes])
        pos += 1 + row_bytes
        if ftype == 1:
            for i in range(bpp, row_bytes):
                line[i] = (line[i] + line[i - bpp]) & 0xFF
        elif ftype == 2:
            for i in range(row_bytes):
                line[i] = (line[i] + prior[i]) & 0xFF
        elif ftype == 3:
            for i in range(row_bytes):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prior[i]) >> 1)) & 0xFF
        elif ftype == 4:
            for i in range(row_bytes):
                left = line[i - bpp] if i >= bpp else 0
                upper_left = prior[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + paeth(left, prior[i], upper_left)) & 0xFF
        elif ftype != 0:
            raise PngError("bad filter type %d" % ftype)
        out.append(line)
        prior = line
    return out, pos


def samples(line, count, depth):
    """The first count samples of a row, at the file's bit depth."""
    if depth == 8:
        return list(line[:count])
    if depth == 16:
        return [line[2 * i] << 8 | line[2 * i + 1] for i in range(count)]
    per_byte = 8 // depth
    mask = (1 << depth) - 1
    return [(line[i // per_byte] >> (8 - depth * (i % per_byte + 1))) & mask
            for i in range(count)]


def decode_samples(width, height, depth, colour, interlace, raw):
    """Returns the picture as rows of per-pixel sample tuples at the file's bit depth."""
    channels = CHANNELS[colour]
    bits_per_pixel = depth * channels
    picture = [[None] * width for _ in range(height)]
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    pos = 0
    for x0, y0, dx, dy in passes:
        pass_width = (width - x0 + dx - 1) // dx if width > x0 else 0
        pass_height = (height - y0 + dy - 1) // dy if height > y0 else 0
        if pass_width == 0 or pass_height == 0:
            continue  # an empty pass has no rows, not even filter bytes
        lines, pos = unfilter(raw, pos, pass_width, pass_height, bits_per_pixel)
        for j, line in enumerate(lines):
            values = samples(line, pass_width * channels, depth)
            row = picture[y0 + j * dy]
            for i in range(pass_width):
                row[x0 + i * dx] = tuple(values[i * channels:(i + 1) * channels])
    return picture


def to_8_bits(value, depth):
    if depth == 16:
        return value >> 8
    return value * 255 // ((1 << depth) - 1)


def decode(data):
    """PNG bytes -> (width, height, buffer kind, pixel bytes); raises PngError to reject."""
    width, height, depth, colour, interlace, palette, trns, stream = read_structure(data)
    picture = decode_samples(width, height, depth, colour, interlace, inflate(stream))
    mask = (1 << depth) - 1
    out = bytearray()
    if colour == 3:
        alphas = list(trns) if trns is not None else None
        kind = "rgba" if alphas else "rgb"
        for row in picture:
            for (index,) in row:
                # An index past the palette reads as black.
                out += bytes(palette[index]) if index < len(palette) else b"\0\0\0"
                if alphas:
                    out.append(alphas[index] if index < len(alphas) else 255)
    elif colour in (0, 2):
        key = None
        if trns is not None:
            # The tRNS colour is compared at the file's own depth, before 16 bits are cut.
            key = tuple(v & mask for v in struct.unpack(">%dH" % (len(trns) // 2), trns))
        kind = ("rgba" if key is not None else ("grey" if colour == 0 else "rgb"))
        for row in picture:
            for pixel in row:
                values = bytes(to_8_bits(v, depth) for v in pixel)
                if key is None:
                    out += values
                else:
                    out += values * 3 if colour == 0 else values
                    out.append(0 if pixel == key else 255)
    else:
        kind = "rgba"
        for row in picture:
            for pixel in row:
                values = [to_8_bits(v, depth) for v in pixel]
                out += bytes(values[:1] * 3 + values[1:]) if colour == 4 else bytes(values)
    return width, height, kind, bytes(out)


def table_row(path):
    name = os.path.basename(path)
    with open(path, "rb") as f:
        data = f.read()
    try:
        width, height, kind, pixels = decode(data)
    except PngError:
        return [name, "fail", "0", "0", "-", "-"]
    return [name, "ok", str(width), str(height), kind, fnv1a64(pixels)]


def main(argv):
    if len(argv) == 3 and argv[2] == "--dump":
        sys.stdout.buffer.write(decode(open(argv[1], "rb").read())[3])
        return 0
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--check"):
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    names = sorted(n for n in os.listdir(folder) if n.endswith(".png"))
    rows = [table_row(os.path.join(folder, n)) for n in names]
    print("# Made by reference_png.py from the standard PNG test suite; remake with:")
    print("#   python3 tests/platform/reference_png.py tests/data/pngsuite"
          " > tests/platform/pngsuite_pixels.tsv")
    print("file\tstatus\twidth\theight\tbuffer\tfnv1a64")
    for row in rows:
        print("\t".join(row))
    if len(argv) == 4:
        # Every column but the hash must agree with the given table, for every file.
        expected = {}
        with open(argv[3]) as f:
            next(f)
            for line in f:
                fields = line.split()
                if fields:
                    expected[fields[0]] = fields[1:5]
        bad = 0
        for row in rows:
            want = expected.pop(row[0], None)
            if want != row[1:5]:
                bad += 1
                sys.stderr.write("differs: %s ours %s, table %s\n" % (row[0], row[1:5], want))
        for name in sorted(expected):
            bad += 1
            sys.stderr.write("in the table but not in the folder: %s\n" % name)
        sys.stderr.write("%d files, %d differ from %s\n" % (len(rows), bad, argv[3]))
        return 1 if bad else 0
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
