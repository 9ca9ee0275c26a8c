#!/usr/bin/env python3
"""Finds blobs of saturated white in frames of the show.

A blob is a 4-connected group of pixels whose red, green and blue are all at least the
threshold. Only the rows between the lyrics bands count (the bands are the show's own,
black with white words). Reads binary PPM files (velvet-render --format ppm), prints the
largest blob of each frame with its size and centre, and ends with status 1 when any blob
is larger than the limit.

  velvet-render --stills 1000,2000,... --format ppm --out stills
  white_blobs.py stills/*.ppm
"""
import argparse
import sys


def read_ppm(path):
    """Width, height and the RGB bytes of a binary PPM with maxval 255."""
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while pos < len(data) and data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while end < len(data) and not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError("not a binary PPM with 8-bit samples")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("the file ends before its pixels do")
    return width, height, pixels


def saturated_mask(pixels, threshold):
    """One byte per pixel: 1 where all three channels reach threshold."""
    table = bytes(1 if v >= threshold else 0 for v in range(256))
    bits = pixels.translate(table)
    red, green, blue = (int.from_bytes(bits[c::3], "big") for c in range(3))
    count = len(pixels) // 3
    return (red & green & blue).to_bytes(count, "big")


def largest_blob(mask, width, first_row, last_row):
    """Size and centre (x, y) of the largest 4-connected group of 1s in rows
    first_row..last_row - 1, or (0, None) when there is none."""
    seen = bytearray(len(mask))
    best, centre = 0, None
    start = first_row * width
    stop = last_row * width
    index = mask.find(1, start, stop)
    while index != -1:
        if not seen[index]:
            seen[index] = 1
            stack, size, sum_x, sum_y = [index], 0, 0, 0
            while stack:
                p = stack.pop()
                y, x = divmod(p, width)
                size += 1
                sum_x += x
                sum_y += y
                for q, ok in ((p - 1, x > 0), (p + 1, x + 1 < width),
                              (p - width, y > first_row), (p + width, y + 1 < last_row)):
                    if ok and mask[q] and not seen[q]:
                        seen[q] = 1
                        stack.append(q)
            if size > best:
                best, centre = size, (sum_x // size, sum_y // size)
        index = mask.find(1, index + 1, stop)
    return best, centre


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("frames", nargs="+", help="binary PPM files")
    parser.add_argument("--threshold", type=int, default=250, help="least value of every channel (250)")
    parser.add_argument("--limit", type=int, default=600, help="largest blob allowed, in pixels (600)")
    parser.add_argument("--band", type=int, default=106, help="rows of each lyrics band left out (106)")
    args = parser.parse_args()
    over, worst = 0, (0, None, None)
    for path in args.frames:
        try:
            width, height, pixels = read_ppm(path)
        except (OSError, ValueError) as error:
            print(f"white_blobs: {path}: {error}", file=sys.stderr)
            return 2
        mask = saturated_mask(pixels, args.threshold)
        size, centre = largest_blob(mask, width, args.band, height - args.band)
        flag = " OVER" if size > args.limit else ""
        where = f" at {centre[0]},{centre[1]}" if centre else ""
        print(f"{path}: largest blob {size} px{where}{flag}")
        over += size > args.limit
        if size > worst[0]:
            worst = (size, path, centre)
    print(f"{len(args.frames)} frames, {over} with a blob over {args.limit} px; "
          f"largest {worst[0]} px" + (f" in {worst[1]}" if worst[1] else ""))
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
