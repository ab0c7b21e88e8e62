#!/usr/bin/python3
"""Writes BMP files made by other programs, with what an independent decoder
sees in them, for the reader's tests and as the fuzzer's seeds.

    make_bmp_corpus.py OUTDIR [CONVERT]

OUTDIR receives the .bmp files, for each file that must load a .rgb file with
the pixels Pillow decodes from it (rows top-down, 3 bytes red, green, blue a
pixel), manifest.txt with one line per file:

    <file> load <width> <height> <bits per pixel> <info header size>
    <file> refuse <what it is> <reason>

where <reason> is the BmpRefusal the reader gives for it ("kCompressed"),
and seeds/, a small selection for the fuzzer. Writers: Pillow (1, 8 and 24
bits, 40-byte headers) and ImageMagick (1, 4, 8 and 24 bits, with its default
108/124-byte headers and with 40-byte ones, RLE, 16 and 32 bits, OS/2).
CONVERT is ImageMagick's convert (default /usr/bin/convert).
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

from PIL import Image

WIDTHS = range(1, 41)


def color(i):
    # Distinct for i in 0..255 (odd multipliers are bijections mod 256).
    return ((i * 53 + 17) % 256, (i * 101 + 29) % 256, (i * 197 + 71) % 256)


def indexed_source(width, height, count):
    """An RGB image that uses all `count` colours when it has that many pixels."""
    image = Image.new("RGB", (width, height))
    image.putdata([color((p + width) % count) for p in range(width * height)])
    return image


def true_color_source(width, height):
    return Image.frombytes(
        "RGB", (width, height),
        bytes((x * 29 + y * 71 + c * 113 + (x * y) % 7 + width) % 256
              for y in range(height) for x in range(width) for c in range(3)))


def fields(data):
    off_bits = struct.unpack_from("<I", data, 10)[0]
    info_size = struct.unpack_from("<I", data, 14)[0]
    if info_size < 40:
        return off_bits, info_size, None, None, None, None
    width, height, _planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    return off_bits, info_size, width, height, bits, compression


class Corpus:
    def __init__(self, outdir):
        self.outdir = outdir
        self.lines = []
        self.seeds = []

    def load(self, name, data, seed=False):
        """A file that must load: decoded by Pillow as the reference."""
        path = os.path.join(self.outdir, name)
        with open(path, "wb") as f:
            f.write(data)
        with Image.open(path) as image:
            rgb = image.convert("RGB")
            width, height = rgb.size
            with open(path + ".rgb", "wb") as f:
                f.write(rgb.tobytes())
        _, info_size, _, _, bits, compression = fields(data)
        assert compression == 0 and bits in (1, 4, 8, 24), (name, bits, compression)
        self.lines.append(f"{name} load {width} {height} {bits} {info_size}")
        if seed:
            self.seeds.append(name)

    def refuse(self, name, data, what, reason, seed=True):
        with open(os.path.join(self.outdir, name), "wb") as f:
            f.write(data)
        self.lines.append(f"{name} refuse {what} {reason}")
        if seed:
            self.seeds.append(name)

    def finish(self):
        with open(os.path.join(self.outdir, "manifest.txt"), "w") as f:
            f.write("\n".join(self.lines) + "\n")
        seeds = os.path.join(self.outdir, "seeds")
        os.makedirs(seeds, exist_ok=True)
        for name in self.seeds:
            shutil.copyfile(os.path.join(self.outdir, name), os.path.join(seeds, name))


def pil_bytes(image):
    with tempfile.TemporaryFile() as f:
        image.save(f, "BMP")
        f.seek(0)
        return f.read()


def top_down(data):
    """The same picture with its rows stored top-down (negative height)."""
    off_bits, _, width, height, bits, _ = fields(data)
    row = (width * bits + 31) // 32 * 4
    rows = [data[off_bits + i * row: off_bits + (i + 1) * row] for i in range(height)]
    head = bytearray(data[:off_bits])
    struct.pack_into("<i", head, 22, -height)
    return bytes(head) + b"".join(reversed(rows))


def with_gap(data, gap):
    """Junk bytes between the palette and the pixels, bfOffBits moved past them."""
    off_bits = fields(data)[0]
    head = bytearray(data[:off_bits])
    struct.pack_into("<I", head, 10, off_bits + gap)
    struct.pack_into("<I", head, 2, len(data) + gap)
    return bytes(head) + bytes((i * 7 + 3) % 256 for i in range(gap)) + data[off_bits:]


def pillow_files(corpus):
    for width in WIDTHS:
        height = 1 + width % 5
        seed = width in (1, 5, 13)
        mono = Image.new("1", (width, height))
        mono.putdata([((x * 3 + y * 5 + width) % 7 < 3) * 255 for y in range(height) for x in range(width)])
        grey = Image.new("L", (width, height))
        grey.putdata([(x * 37 + y * 91 + width) % 256 for y in range(height) for x in range(width)])
        count = 2 + (width * 37) % 250
        paletted = indexed_source(width, height, count).quantize(colors=256, method=Image.Quantize.MAXCOVERAGE)
        rgb = true_color_source(width, height)
        for tag, image in (("1", mono), ("L8", grey), ("P8", paletted), ("24", rgb)):
            data = pil_bytes(image)
            corpus.load(f"pil_{tag}_w{width}.bmp", data, seed)
            if width % 3 == 1 or width <= 9:
                corpus.load(f"pil_{tag}_w{width}_topdown.bmp", top_down(data), seed)
        if width in (3, 10, 31):
            corpus.load(f"pil_P8_w{width}_gap.bmp", with_gap(pil_bytes(paletted), 36), seed)
            corpus.load(f"pil_24_w{width}_gap.bmp", with_gap(pil_bytes(rgb), 4), seed)
    rgba = Image.new("RGBA", (6, 4), (10, 20, 30, 40))
    data = pil_bytes(rgba)
    assert fields(data)[4:] == (32, 0), fields(data)  # plain 32-bit, no bit fields
    corpus.refuse("pil_32_rgb.bmp", data, "32-bit", "kUnsupportedDepth")


def magick_files(corpus, convert, work):
    """One convert run per kind writes every width (+adjoin numbers them).
    Indexed sources are palette PNGs, which ImageMagick writes with the fewest
    bits that hold their colours (its own quantiser is slow)."""
    for width in WIDTHS:
        height = 17 + width % 4
        for bits, count in ((1, 2), (4, 3 + width % 14), (8, 17 + (width * 37) % 239)):
            image = indexed_source(width, height, count).quantize(colors=count)
            image.save(os.path.join(work, f"src{bits}_{width:02d}.png"))
        true_color_source(width, height).save(os.path.join(work, f"src24_{width:02d}.png"))
        # Grey pictures, which ImageMagick writes with a 108-byte header.
        mono = Image.new("1", (width, height))
        mono.putdata([((p * 5 + width) % 7 < 3) * 255 for p in range(width * height)])
        mono.save(os.path.join(work, f"srcg1_{width:02d}.png"))
        grey = Image.new("L", (width, height))
        grey.putdata([(p * 37 + width) % 256 for p in range(width * height)])
        grey.save(os.path.join(work, f"srcg8_{width:02d}.png"))

    def run(bits, options, prefix, name):
        inputs = [os.path.join(work, f"src{bits}_{w:02d}.png") for w in WIDTHS]
        pattern = os.path.join(work, name + "_%02d.bmp")
        subprocess.run([convert, *inputs, *options, "+adjoin", prefix + pattern], check=True)
        return {w: open(os.path.join(work, f"{name}_{i:02d}.bmp"), "rb").read() for i, w in enumerate(WIDTHS)}

    for bits in (1, 4, 8, 24):
        kind = ["-type", "TrueColor"] if bits == 24 else []
        for prefix, header in (("BMP:", "v5"), ("BMP3:", "v3")):
            files = run(bits, kind + ["-compress", "None"], prefix, f"im{bits}{header}")
            for width, data in files.items():
                written = fields(data)[4]
                assert written == bits, f"ImageMagick wrote {written} bits for a {bits}-bit {header} file"
                name = f"im_{bits}_{header}_w{width}.bmp"
                corpus.load(name, data, seed=width in (1, 6, 11))
                if bits == 4 and width % 4 == 1:
                    corpus.load(f"im_{bits}_{header}_w{width}_topdown.bmp", top_down(data), seed=width == 9)
    for bits in (1, 8):
        files = run(f"g{bits}", ["-compress", "None"], "BMP:", f"im{bits}grey")
        for width, data in files.items():
            info = fields(data)
            assert info[1] == 108 and info[4] == bits, f"ImageMagick wrote {info} for a grey {bits}-bit file"
            corpus.load(f"im_{bits}_v4grey_w{width}.bmp", data, seed=width in (2, 9))

    # What the reader refuses, and why: run-length and bit-field files are
    # compressed; a 24-bit OS/2 file has its pixels right after a 12-byte
    # header, where a 40-byte one has no room. RGB555 may be written plain
    # (then its depth is refused) or with bit fields.
    refused = (
        ("rle8", 8, ["-compress", "RLE"], "BMP3:", 1, "kCompressed"),
        ("rle8v5", 8, ["-compress", "RLE"], "BMP:", 1, "kCompressed"),
        ("rgb565", 24, ["-define", "bmp:subtype=RGB565"], "BMP:", 3, "kCompressed"),
        ("rgb555", 24, ["-define", "bmp:subtype=RGB555"], "BMP:", None, None),
        ("argb32", 24, ["-alpha", "set", "-channel", "A", "-evaluate", "set", "50%", "+channel"], "BMP:", 3,
         "kCompressed"),
        ("os2", 24, [], "BMP2:", None, "kNoRoomForInfoHeader"),
    )
    for name, bits, options, prefix, compression, reason in refused:
        files = run(bits, options, prefix, "refuse_" + name)
        for width in (1, 7, 12, 40):
            data = files[width]
            info = fields(data)
            if compression is not None:
                assert info[5] == compression, (name, info)
            if name == "os2":
                assert info[:2] == (26, 12), (name, info)
            why = reason or ("kCompressed" if info[5] else "kUnsupportedDepth")
            corpus.refuse(f"im_{name}_w{width}.bmp", data, name, why, seed=width != 40)


def main():
    outdir = sys.argv[1]
    convert = sys.argv[2] if len(sys.argv) > 2 else "/usr/bin/convert"
    if os.path.isdir(outdir):
        shutil.rmtree(outdir)
    os.makedirs(outdir)
    corpus = Corpus(outdir)
    pillow_files(corpus)
    with tempfile.TemporaryDirectory() as work:
        magick_files(corpus, convert, work)
    corpus.finish()
    print(f"{len(corpus.lines)} files, {len(corpus.seeds)} seeds in {outdir}")


if __name__ == "__main__":
    main()
