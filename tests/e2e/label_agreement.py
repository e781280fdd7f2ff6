#!/usr/bin/env python3
"""Where two pictures of the same face put each label's ink.

Takes the drawing operations of a frame (orbidial-render --calls), the frame
as orbidial-render drew it and the same frame as another back end drew it
(Orbidial.scr under Wine, from a screenshot), and compares the ink centroid
of every label: the label's cells come from the operations, each pixel is
weighed by its brightest channel, and pixels that fall in the cells of two
labels count for neither. Prints, for the turned and the upright labels,
the mean offset (other minus reference) in x and y and the 95th percentile
of the distance, and fails when a limit given on the command line is passed.

  label_agreement.py CALLS REFERENCE.png OTHER.png [--turned MEAN P95 COUNT]
                     [--upright MEAN P95 COUNT]

where COUNT is the fewest labels of that kind that must be found with ink.
"""

import argparse
import math
import subprocess
import sys

# Advances as parts of the em, near enough to bound a label's cells: the
# CJK characters fill the em, digits and spaces take part of it.
NARROW_ADVANCE = {" ": 0.25}
DIGIT_ADVANCE = 0.6
# The em as a part of the cell height, per face of the clock font.
EM_PER_CELL = {"楷体": 1.0, "微软雅黑": 0.69}
# Pixels added around each cell, so the other picture's ink stays inside.
PAD = 2.0
# A label needs this much ink (brightest channel summed) in both pictures.
MIN_INK = 255.0 * 4


def read_rgb(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                          capture_output=True, text=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    if len(raw) != width * height * 3:
        raise SystemExit(f"{path}: unexpected pixel data")
    bright = bytes(max(raw[i], raw[i + 1], raw[i + 2]) for i in range(0, len(raw), 3))
    return width, height, bright


def advance(char, em):
    if char in NARROW_ADVANCE:
        return NARROW_ADVANCE[char] * em
    if char.isdigit():
        return DIGIT_ADVANCE * em
    return em


def read_labels(path):
    """Labels as lists of cells: (x, y, width, height, escapement)."""
    labels, current = [], []
    height, escapement, face = 0, 0, "楷体"
    with open(path, encoding="utf-8") as calls:
        for line in calls:
            words = line.rstrip("\n").split(" ")
            kind = words[0]
            if kind == "text":
                text = " ".join(words[3:])
                em = height * EM_PER_CELL.get(face, 1.0)
                width = sum(advance(c, em) for c in text.rstrip(" "))
                current.append((int(words[1]), int(words[2]), width, height, escapement))
                continue
            if current:
                labels.append(current)
                current = []
            if kind == "font":
                height, escapement, face = int(words[1]), int(words[2]), words[4]
    if current:
        labels.append(current)
    return labels


def cell_pixels(cell, width, height):
    """The pixels whose centres lie in the (padded) turned cell."""
    x, y, w, h, escapement = cell
    theta = math.radians((escapement % 3600) / 10.0)
    c, s = math.cos(theta), math.sin(theta)
    corners = [(x + u * c + v * s, y - u * s + v * c)
               for u in (-PAD, w + PAD) for v in (-PAD, h + PAD)]
    x0 = max(0, int(min(p[0] for p in corners)))
    x1 = min(width - 1, int(max(p[0] for p in corners)) + 1)
    y0 = max(0, int(min(p[1] for p in corners)))
    y1 = min(height - 1, int(max(p[1] for p in corners)) + 1)
    for py in range(y0, y1 + 1):
        for px in range(x0, x1 + 1):
            dx, dy = px + 0.5 - x, py + 0.5 - y
            u = dx * c - dy * s
            v = dx * s + dy * c
            if -PAD <= u <= w + PAD and -PAD <= v <= h + PAD:
                yield py * width + px


def centroid(pixels, bright, width):
    total = sx = sy = 0.0
    for index in pixels:
        weight = bright[index]
        if weight:
            total += weight
            sx += weight * (index % width)
            sy += weight * (index // width)
    if total < MIN_INK:
        return None
    return sx / total, sy / total


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(math.ceil(share * len(ordered))) - 1)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("calls")
    parser.add_argument("reference")
    parser.add_argument("other")
    parser.add_argument("--turned", nargs=3, type=float, metavar=("MEAN", "P95", "COUNT"))
    parser.add_argument("--upright", nargs=3, type=float, metavar=("MEAN", "P95", "COUNT"))
    args = parser.parse_args()

    width, height, reference = read_rgb(args.reference)
    other_width, other_height, other = read_rgb(args.other)
    if (width, height) != (other_width, other_height):
        raise SystemExit(f"sizes differ: {width}x{height} and {other_width}x{other_height}")

    labels = read_labels(args.calls)
    regions = [set(p for cell in label for p in cell_pixels(cell, width, height))
               for label in labels]
    owners = {}
    for region in regions:
        for p in region:
            owners[p] = owners.get(p, 0) + 1

    offsets = {"turned": [], "upright": []}
    for label, region in zip(labels, regions):
        own = [p for p in region if owners[p] == 1]
        a = centroid(own, reference, width)
        b = centroid(own, other, width)
        if a is None or b is None:
            continue
        kind = "upright" if label[0][4] % 3600 == 0 else "turned"
        offsets[kind].append((b[0] - a[0], b[1] - a[1]))

    failed = False
    for kind, limits in (("turned", args.turned), ("upright", args.upright)):
        found = offsets[kind]
        if not found:
            print(f"{kind}: no labels")
            if limits:
                failed = True
            continue
        mean_x = sum(d[0] for d in found) / len(found)
        mean_y = sum(d[1] for d in found) / len(found)
        p95 = percentile([math.hypot(*d) for d in found], 0.95)
        print(f"{kind}: {len(found)} labels, mean dx {mean_x:+.2f} dy {mean_y:+.2f}, "
              f"p95 distance {p95:.2f} px")
        if limits:
            mean_limit, p95_limit, count = limits
            if (abs(mean_x) > mean_limit or abs(mean_y) > mean_limit or p95 > p95_limit
                    or len(found) < count):
                print(f"  beyond the limits: mean within {mean_limit}, p95 at most {p95_limit}"
                      f", at least {count:.0f} labels")
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
