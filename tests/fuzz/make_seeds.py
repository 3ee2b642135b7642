#!/usr/bin/env python3
"""make_seeds.py FILES OUT — the fuzz targets' seed corpora, made at build time.

OUT/fuzz_png, OUT/fuzz_wav and OUT/fuzz_font get the pictures, sounds and
fonts the build staged under FILES (the art generator's own output and the
fonts as shipped), plus small hand-made files for the paths those never take:
every PNG colour type and depth, palettes with transparency, interlacing;
8-, 16-, 24-bit, float, companded and many-channel WAVs, extra and damaged
chunks; fonts without a Latin-1 map, without a Unicode map, with no metrics
or with a bitmap face. Nothing is downloaded. The edge fonts need fontTools
(python3-fonttools); without it only the staged fonts are seeds.
"""
import os
import shutil
import struct
import sys
import zlib

# The font target reads its first byte as pixel size (low five bits, from 6)
# and style (bold, italic, smooth in the top three): each face is seeded plain
# at 16 pixels and with every style at 16 pixels.
FONT_PLAIN = bytes([10])
FONT_STYLED = bytes([10 | 0xE0])
BIG_FONT = 256 << 10


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- PNG
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, depth, colour, rows, interlace=0, extra=(), tail=b""):
    """rows: one bytes object of packed samples per row, before filtering."""
    head = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    bits = depth * channels
    if interlace:
        raw = adam7(width, height, bits, rows)
    else:
        # None, Sub and Up filters in turn; the decoder undoes each.
        bpp = (bits + 7) // 8
        raw = b"".join(filtered(r, p, bpp, y % 3) for y, (r, p) in enumerate(zip(rows, [None] + rows[:-1])))
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head)
    for kind, body in extra:
        out += chunk(kind, body)
    return out + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"") + tail


def filtered(row, prev, bpp, kind):
    if kind == 1:  # Sub: less the sample to the left
        row = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(len(row)))
    elif kind == 2 and prev is not None:  # Up: less the sample above
        row = bytes((a - b) & 255 for a, b in zip(row, prev))
    else:
        kind = 0
    return bytes([kind]) + row


def adam7(width, height, bits, rows):
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    out = b""
    for x0, y0, dx, dy in passes:
        xs = range(x0, width, dx)
        if not xs:
            continue
        for y in range(y0, height, dy):
            picked = [sample_bits(rows[y], x, bits) for x in xs]
            out += b"\x00" + pack_bits(picked, bits)
    return out


def sample_bits(row, x, bits):
    if bits >= 8:
        n = bits // 8
        return row[x * n:(x + 1) * n]
    byte = row[x * bits // 8]
    shift = 8 - bits - (x * bits) % 8
    return (byte >> shift) & ((1 << bits) - 1)


def pack_bits(samples, bits):
    if bits >= 8:
        return b"".join(samples)
    out, acc, used = bytearray(), 0, 0
    for s in samples:
        acc = (acc << bits) | s
        used += bits
        if used == 8:
            out.append(acc)
            acc, used = 0, 0
    if used:
        out.append(acc << (8 - used))
    return bytes(out)


def image_rows(width, height, depth, channels):
    bits = depth * channels
    stride = (width * bits + 7) // 8
    return [bytes((x * 37 + y * 91 + 13) & 255 for x in range(stride)) for y in range(height)]


def png_seeds(out):
    w, h = 9, 7
    palette = bytes(v for i in range(16) for v in (i * 16, 255 - i * 16, i * 8))
    for colour, depths in ((0, (1, 2, 4, 8, 16)), (2, (8, 16)), (3, (1, 2, 4, 8)), (4, (8, 16)), (6, (8, 16))):
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
        for depth in depths:
            rows = image_rows(w, h, depth, channels)
            if colour == 3:  # indices within the 16-entry palette
                rows = [bytes(b & 15 for b in r) for r in rows] if depth == 8 else rows
            extra = [(b"PLTE", palette)] if colour == 3 else []
            name = f"c{colour}d{depth}"
            write(out, name + ".png", png(w, h, depth, colour, rows, extra=extra))
            write(out, name + "i.png", png(w, h, depth, colour, rows, interlace=1, extra=extra))
    # Transparency: a palette with alpha per entry, a grey and a colour key.
    rows = [bytes((x + y) & 15 for x in range(w)) for y in range(h)]
    write(out, "palette-trns.png",
          png(w, h, 8, 3, rows, extra=[(b"PLTE", palette), (b"tRNS", bytes(range(0, 256, 32)))]))
    write(out, "grey-trns.png", png(w, h, 8, 0, image_rows(w, h, 8, 1), extra=[(b"tRNS", b"\x00\x0d")]))
    write(out, "rgb16-trns.png", png(w, h, 16, 2, image_rows(w, h, 16, 3), extra=[(b"tRNS", b"\x00\x0d" * 3)]))
    # Chunks a reader skips, text and gamma, and bytes after the end.
    text = [(b"tEXt", b"Comment\x00ours"), (b"gAMA", struct.pack(">I", 45455)), (b"pHYs", bytes(9))]
    write(out, "chunks.png", png(w, h, 8, 6, image_rows(w, h, 8, 4), extra=text, tail=b"trailing"))
    # Damaged: cut inside the image data, a bad checksum, sizes past the limits.
    whole = png(w, h, 8, 6, image_rows(w, h, 8, 4))
    write(out, "cut.png", whole[:len(whole) - 20])
    write(out, "badcrc.png", whole[:29] + b"\0\0\0\0" + whole[33:])
    for name, (pw, ph) in (("wide", (20000, 1)), ("huge", (8192, 8192)), ("zero", (0, 4))):
        head = struct.pack(">IIBBBBB", pw, ph, 8, 6, 0, 0, 0)
        data = zlib.compress(b"\0" * 64)
        write(out, name + ".png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", data))


# ---------------------------------------------------------------- WAV
def riff(*chunks, size=None):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body) if size is None else size) + body


def wav_chunk(kind, body, declared=None):
    pad = b"\0" if len(body) % 2 else b""
    return kind + struct.pack("<I", len(body) if declared is None else declared) + body + pad


def fmt(tag, channels, rate, bits, align=None, extra=None):
    align = align or channels * max(bits, 8) // 8
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    if extra is not None:
        body += struct.pack("<H", len(extra)) + extra
    return wav_chunk(b"fmt ", body)


def wav_seeds(out):
    rate = 8000
    frames = 64
    tone = [int(12000 * ((i * 7) % 32 - 16) / 16) for i in range(frames)]

    def pcm(bits, channels):
        data = b""
        for v in tone:
            for _ in range(channels):
                if bits == 8:
                    data += bytes([(v >> 8) + 128])
                elif bits == 16:
                    data += struct.pack("<h", v)
                elif bits == 24:
                    data += struct.pack("<i", v << 8)[:3]
                else:
                    data += struct.pack("<i", v << 16)
        return data

    for bits in (8, 16, 24, 32):
        for channels in (1, 2, 6):
            sound = wav_chunk(b"data", pcm(bits, channels))
            write(out, f"pcm{bits}x{channels}.wav", riff(fmt(1, channels, rate, bits), sound))
    floats = b"".join(struct.pack("<f", v / 32768) for v in tone)
    write(out, "float32.wav", riff(fmt(3, 1, rate, 32, extra=b""), wav_chunk(b"data", floats)))
    companded = bytes((i * 13) & 255 for i in range(frames))
    write(out, "alaw.wav", riff(fmt(6, 1, rate, 8, extra=b""), wav_chunk(b"data", companded)))
    write(out, "mulaw.wav", riff(fmt(7, 2, rate, 8, extra=b""), wav_chunk(b"data", companded)))
    # IMA ADPCM: 256-byte blocks of 505 samples; any nibbles decode.
    block = struct.pack("<hBB", 0, 0, 0) + bytes((i * 29) & 255 for i in range(252))
    write(out, "ima.wav", riff(fmt(0x11, 1, rate, 4, align=256, extra=struct.pack("<H", 505)),
                               wav_chunk(b"fact", struct.pack("<I", 505)), wav_chunk(b"data", block * 2)))
    # Microsoft ADPCM with the standard seven coefficient pairs.
    coefs = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
    ms_extra = struct.pack("<HH", 500, 7) + b"".join(struct.pack("<hh", a, b) for a, b in coefs)
    ms_block = struct.pack("<Bhhh", 1, 16, 100, -100) + bytes(249)
    write(out, "msadpcm.wav", riff(fmt(2, 1, rate, 4, align=256, extra=ms_extra), wav_chunk(b"data", ms_block * 2)))
    # WAVE_FORMAT_EXTENSIBLE holding plain 16-bit PCM for a stereo layout.
    guid = struct.pack("<IHH", 1, 0, 0x10) + bytes([0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    ext = struct.pack("<HI", 16, 3) + guid
    write(out, "extensible.wav", riff(fmt(0xFFFE, 2, rate, 16, extra=ext), wav_chunk(b"data", pcm(16, 2))))
    # Chunks before and after the sound, one of odd length with its pad byte.
    write(out, "chunks.wav", riff(wav_chunk(b"LIST", b"INFOISFT\x05\0\0\0ours\0"), fmt(1, 1, rate, 16),
                                  wav_chunk(b"fact", struct.pack("<I", frames)), wav_chunk(b"data", pcm(16, 1)),
                                  wav_chunk(b"smpl", bytes(36))))
    # Damaged: data longer than the file, a RIFF size of zero, no data at all,
    # an empty data chunk, an odd byte count, a zero rate and zero channels.
    write(out, "cut.wav", riff(fmt(1, 1, rate, 16), wav_chunk(b"data", pcm(16, 1), declared=0x7FFFFFF0))[:120])
    write(out, "riffsize.wav", riff(fmt(1, 2, rate, 16), wav_chunk(b"data", pcm(16, 2)), size=0))
    write(out, "nodata.wav", riff(fmt(1, 1, rate, 16)))
    write(out, "empty.wav", riff(fmt(1, 1, rate, 16), wav_chunk(b"data", b"")))
    write(out, "odd.wav", riff(fmt(1, 1, rate, 16), wav_chunk(b"data", pcm(16, 1)[:63])))
    write(out, "norate.wav", riff(fmt(1, 1, 0, 16), wav_chunk(b"data", pcm(16, 1))))
    # A bare WAVE header without RIFF: SDL would take it, we refuse it.
    write(out, "bare.wav", riff(fmt(1, 1, rate, 16), wav_chunk(b"data", pcm(16, 1)))[8:])
    write(out, "nochannels.wav", riff(fmt(1, 0, rate, 16, align=2), wav_chunk(b"data", pcm(16, 1))))


# ---------------------------------------------------------------- fonts
def font_seeds(out):
    try:
        from fontTools.fontBuilder import FontBuilder
        from fontTools.pens.ttGlyphPen import TTGlyphPen
        from fontTools.pens.t2CharStringPen import T2CharStringPen
    except ImportError:
        print("make_seeds: fontTools missing; no hand-made fonts", file=sys.stderr)
        return

    def box(pen, x0, y0, x1, y1):
        pen.moveTo((x0, y0))
        pen.lineTo((x0, y1))
        pen.lineTo((x1, y1))
        pen.lineTo((x1, y0))
        pen.closePath()

    def build(name, cmap, cff=False, metrics=(800, -200, 0), giant=False, cmap_tables=None):
        names = [".notdef", "space", "block", "tall"]
        fb = FontBuilder(1000, isTTF=not cff)
        fb.setupGlyphOrder(names)
        fb.setupCharacterMap(cmap)
        shapes = {".notdef": (50, 0, 450, 700), "space": None, "block": (100, -100, 500, 600),
                  "tall": (-15000, -15000, 15000, 15000) if giant else (100, 0, 300, 900)}
        if cff:
            charstrings = {}
            for g, s in shapes.items():
                pen = T2CharStringPen(600, None)
                if s:
                    box(pen, *s)
                charstrings[g] = pen.getCharString()
            fb.setupCFF(name, {"FullName": name}, charstrings, {})
        else:
            glyphs = {}
            for g, s in shapes.items():
                pen = TTGlyphPen(None)
                if s:
                    box(pen, *s)
                glyphs[g] = pen.glyph()
            fb.setupGlyf(glyphs)
        fb.setupHorizontalMetrics({g: (600, 0) for g in names})
        ascent, descent, gap = metrics
        fb.setupHorizontalHeader(ascent=ascent, descent=descent, lineGap=gap)
        fb.setupNameTable({"familyName": name, "styleName": "Regular"})
        fb.setupOS2(sTypoAscender=ascent, sTypoDescender=descent, sTypoLineGap=gap,
                    usWinAscent=max(ascent, 0), usWinDescent=max(-descent, 0))
        fb.setupPost()
        if cmap_tables is not None:
            fb.font["cmap"].tables = cmap_tables(fb.font["cmap"].tables)
        path = os.path.join(out, name)
        fb.save(path)
        with open(path, "rb") as f:
            data = f.read()
        os.remove(path)
        write(out, name, FONT_PLAIN + data)
        write(out, name + "-styled", FONT_STYLED + data)

    os.makedirs(out, exist_ok=True)
    latin = {0x20: "space", 0x41: "block", 0xC9: "tall", 0xFF: "block"}
    greek = {0x391: "block", 0x3A9: "tall"}
    build("latin.ttf", latin)
    build("latin.otf", latin, cff=True)
    build("no-latin1.ttf", greek)
    build("no-metrics.ttf", latin, metrics=(0, 0, 0))
    build("tall-metrics.otf", latin, cff=True, metrics=(30000, -30000, 30000))
    build("giant-glyph.ttf", latin, giant=True)

    # Only a symbol map (no Unicode one), and no map at all.
    def symbol_only(tables):
        for t in tables:
            t.platformID, t.platEncID = 3, 0
        return tables[:1]

    build("symbol-map.ttf", {0xF041: "block", 0xF020: "space"}, cmap_tables=symbol_only)
    build("no-map.ttf", latin, cmap_tables=lambda tables: [])

    # A bitmap face in BDF: read, but not scalable, so refused.
    bdf = ("STARTFONT 2.1\nFONT -ours-seed-medium-r-normal--8-80-75-75-c-60-iso8859-1\nSIZE 8 75 75\n"
           "FONTBOUNDINGBOX 6 8 0 -1\nSTARTPROPERTIES 2\nFONT_ASCENT 7\nFONT_DESCENT 1\nENDPROPERTIES\n"
           "CHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 5 7 0 0\nBITMAP\n"
           "70\n88\n88\nF8\n88\n88\n88\nENDCHAR\nENDFONT\n").encode()
    write(out, "bitmap.bdf", FONT_PLAIN + bdf)


def latin1_only(data):
    """A big face cut to the codes the game draws (0-255), when fontTools is
    there: libFuzzer cuts inputs past a megabyte, and every run parses it."""
    if len(data) <= BIG_FONT:
        return data
    try:
        import io
        from fontTools import subset
        from fontTools.ttLib import TTFont
    except ImportError:
        return data
    font = TTFont(io.BytesIO(data))
    cutter = subset.Subsetter(subset.Options())
    cutter.populate(unicodes=range(256))
    cutter.subset(font)
    buf = io.BytesIO()
    font.save(buf)
    return buf.getvalue()


def staged(files, out):
    """The pictures, sounds and fonts the build staged, by kind."""
    for root, _, names in os.walk(files):
        for name in sorted(names):
            path = os.path.join(root, name)
            tag = os.path.basename(root) + "-" + name.replace(" ", "_")
            ext = name.lower().rsplit(".", 1)[-1]
            if ext == "png":
                shutil.copyfile(path, os.path.join(out, "fuzz_png", tag))
            elif ext == "wav":
                shutil.copyfile(path, os.path.join(out, "fuzz_wav", tag))
            elif ext in ("ttf", "otf"):
                with open(path, "rb") as f:
                    data = latin1_only(f.read())
                write(os.path.join(out, "fuzz_font"), tag, FONT_PLAIN + data)
                write(os.path.join(out, "fuzz_font"), tag + "-styled", FONT_STYLED + data)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    # fontTools stamps fonts with the time unless told otherwise: the same
    # build gives the same seeds.
    os.environ["SOURCE_DATE_EPOCH"] = "0"
    files, out = sys.argv[1], sys.argv[2]
    for target in ("fuzz_png", "fuzz_wav", "fuzz_font"):
        shutil.rmtree(os.path.join(out, target), ignore_errors=True)
        os.makedirs(os.path.join(out, target))
    png_seeds(os.path.join(out, "fuzz_png"))
    wav_seeds(os.path.join(out, "fuzz_wav"))
    font_seeds(os.path.join(out, "fuzz_font"))
    staged(files, out)


if __name__ == "__main__":
    main()
