#!/usr/bin/env python3
"""Decodes a frame file written by orximaq with Python's standard library only,
independently of the program's own writers, and stores its samples in the
camera's packed layout for the tests to check against the test pattern.

usage: decode_frame.py FRAME OUT

FRAME is a .png, a .tif or a .raw file (a .raw file is described by the
frames.json beside it). OUT receives one text line "WIDTH HEIGHT LAYOUT"
(LAYOUT gray8, gray16 or bgr24) and then the pixels: 16-bit samples
little-endian, colour pixels in blue, green, red order.
"""
import json
import os
import struct
import sys
import zlib


class DecodeError(Exception):
    pass


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise DecodeError("not a PNG file")
    pos, header, idat = 8, None, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if zlib.crc32(kind + body) != struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]:
            raise DecodeError("bad CRC in chunk %r" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if interlace != 0 or colour not in (0, 2) or depth not in (8, 16):
        raise DecodeError("unexpected PNG header %r" % (header,))
    channels = 3 if colour == 2 else 1
    pixel = channels * depth // 8
    stride = width * pixel
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - pixel] if i >= pixel else 0
            b = previous[i]
            c = previous[i - pixel] if i >= pixel else 0
            line[i] = (line[i] + (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, channels, depth, b"".join(rows), ">"


def decode_tiff(data):
    order = {b"II": "<", b"MM": ">"}.get(data[:2])
    if order is None or struct.unpack(order + "H", data[2:4])[0] != 42:
        raise DecodeError("not a TIFF file")
    ifd = struct.unpack(order + "I", data[4:8])[0]
    count = struct.unpack(order + "H", data[ifd:ifd + 2])[0]
    sizes = {1: 1, 2: 1, 3: 2, 4: 4}
    tags = {}
    for i in range(count):
        entry = data[ifd + 2 + 12 * i:ifd + 14 + 12 * i]
        tag, kind, n = struct.unpack(order + "HHI", entry[:8])
        if kind not in sizes:
            continue
        size = sizes[kind] * n
        where = entry[8:12] if size <= 4 else data[struct.unpack(order + "I", entry[8:12])[0]:][:size]
        code = {1: "B", 2: "B", 3: "H", 4: "I"}[kind]
        tags[tag] = struct.unpack(order + code * n, where[:size])
    width, height = tags[256][0], tags[257][0]
    depth, channels = tags[258][0], tags.get(277, (1,))[0]
    if tags.get(259, (1,))[0] != 1 or tags.get(284, (1,))[0] != 1:
        raise DecodeError("only uncompressed, interleaved TIFF is expected")
    if tags[262][0] != (2 if channels == 3 else 1):
        raise DecodeError("unexpected photometric interpretation %d" % tags[262][0])
    pixels = b"".join(data[offset:offset + length] for offset, length in zip(tags[273], tags[279]))
    if len(pixels) != width * height * channels * depth // 8:
        raise DecodeError("strips hold %d bytes" % len(pixels))
    return width, height, channels, depth, pixels, order


def decode_raw(path, data):
    sidecar = json.load(open(os.path.join(os.path.dirname(path), "frames.json")))
    entry = [f for f in sidecar["frames"] if f["file"] == os.path.basename(path)]
    if len(entry) != 1 or entry[0]["bytes"] != len(data):
        raise DecodeError("frames.json does not describe the file")
    width, height, layout = sidecar["width"], sidecar["height"], sidecar["layout"]
    order = "<" if sidecar["byteOrder"] == "little" else ">"
    if layout in ("mono8", "mono16"):
        depth = 8 if layout == "mono8" else 16
        return width, height, 1, depth, data[:width * height * depth // 8], order
    step = 3 if layout == "bgr24" else 4
    rgb = bytearray()
    for i in range(width * height):
        b, g, r = data[i * step:i * step + 3]
        rgb += bytes((r, g, b))
    return width, height, 3, 8, bytes(rgb), order


def main():
    path, out = sys.argv[1], sys.argv[2]
    data = open(path, "rb").read()
    if path.endswith(".png"):
        width, height, channels, depth, pixels, order = decode_png(data)
    elif path.endswith(".tif"):
        width, height, channels, depth, pixels, order = decode_tiff(data)
    else:
        width, height, channels, depth, pixels, order = decode_raw(path, data)
    if depth == 16:
        samples = struct.unpack(order + "%dH" % (len(pixels) // 2), pixels)
        pixels = struct.pack("<%dH" % len(samples), *samples)
        layout = "gray16"
    elif channels == 3:
        bgr = bytearray(len(pixels))
        bgr[0::3], bgr[1::3], bgr[2::3] = pixels[2::3], pixels[1::3], pixels[0::3]
        pixels, layout = bytes(bgr), "bgr24"
    else:
        layout = "gray8"
    with open(out, "wb") as file:
        file.write(("%d %d %s\n" % (width, height, layout)).encode() + pixels)


if __name__ == "__main__":
    try:
        main()
    except (DecodeError, KeyError, ValueError, struct.error, zlib.error) as error:
        sys.exit("decode_frame: %s: %s" % (sys.argv[1], error))
