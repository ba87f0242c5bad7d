#!/usr/bin/python3
"""Reads back the figures of quillmore-batch on a fresh sample data set.

- SVG: every marker (a filled path of a series' colour inside a panel),
  mapped back through the panel rectangle and axis ranges of <metadata>,
  lands within 0.5 user units of a tabulated rate (from the curve file) or of
  a coefficient the table gives (CSV table), one marker each;
- PNG: decoded with zlib and struct at the asked size, with the asked dpi
  in pHYs, the title in tEXt, and not blank (the series' colour is there);
- PDF: pdfinfo reads one page of the asked size and the title;
- the manifest lists each figure with its SHA-256, and --jobs 2 gives the
  same bytes;
- --compare ages with three age groups: three curves and three legend entries;
- more than 8 curves in one figure is refused, naming the limit.

Usage: verify_figures.py BUILD_DIR. Exit status 0 when all holds, 1 otherwise.
"""

import csv
import hashlib
import json
import math
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

NS = {"svg": "http://www.w3.org/2000/svg", "q": "urn:quillmore:figure"}
WIDTH, HEIGHT, DPI = 5.0, 6.0, 100
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def batch(build, *args, expect=0):
    run = subprocess.run([os.path.join(build, "src", "quillmore-batch"), *args],
                         capture_output=True, text=True)
    if run.returncode != expect:
        sys.exit(f"quillmore-batch {' '.join(args)}: exit {run.returncode}\n{run.stderr}")
    return run


def rgb(style):
    """Colour of a style attribute's fill or stroke, as 0-255 numbers."""
    return tuple(round(float(p) * 2.55) for p in style)


def shapes(root, prop):
    """(colour, [numbers of d]) of the paths whose style sets `prop`."""
    found = []
    for path in root.iter("{%s}path" % NS["svg"]):
        match = re.search(prop + r":rgb\(([\d.]+)%,([\d.]+)%,([\d.]+)%\)", path.get("style", ""))
        if match and (prop == "stroke" or "fill:none" not in path.get("style")):
            numbers = [float(n) for n in re.findall(r"-?[\d.]+", path.get("d"))]
            found.append((rgb(match.groups()), numbers))
    return found


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def read_svg(path):
    root = ET.parse(path).getroot()
    check(list(root)[0].tag == "{%s}metadata" % NS["svg"], f"{path}: metadata not first")
    figure = root.find("svg:metadata/q:figure", NS)
    panels = []
    for panel in figure.findall("q:panel", NS):
        frame = {k: float(panel.get(k)) for k in
                 ("x", "y", "width", "height", "x-min", "x-max", "y-min", "y-max")}
        frame["series"] = [(s.get("label"), hex_colour(s.get("color")))
                           for s in panel.findall("q:series", NS)]
        panels.append(frame)
    return root, figure, panels


def inside(frame, x, y):
    return (frame["x"] - 0.01 <= x <= frame["x"] + frame["width"] + 0.01 and
            frame["y"] - 0.01 <= y <= frame["y"] + frame["height"] + 0.01)


def to_svg(frame, t, value):
    """Where (t, value) belongs in the panel: the metadata's mapping."""
    x = frame["x"] + (math.log10(t) - frame["x-min"]) / (frame["x-max"] - frame["x-min"]) * frame["width"]
    y = frame["y"] + (frame["y-max"] - math.log10(value)) / (frame["y-max"] - frame["y-min"]) * frame["height"]
    return x, y


def markers(root, frame, colour):
    """Centres of the filled shapes of `colour` inside the panel."""
    centres = []
    for fill, numbers in shapes(root, "fill"):
        if fill != colour or len(numbers) < 4:
            continue
        xs, ys = numbers[0::2], numbers[1::2]
        cx, cy = (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2
        if inside(frame, cx, cy):
            centres.append((cx, cy))
    return centres


def match(name, expected, centres, frame):
    """Each expected value has its own marker within 0.5 units, and no more."""
    left = list(centres)
    for t, value in expected:
        x, y = to_svg(frame, t, value)
        near = [c for c in left if abs(c[0] - x) <= 0.5 and abs(c[1] - y) <= 0.5]
        if not check(near, f"{name}: no marker at t={t} value={value:.6g}"):
            return
        left.remove(near[0])
    check(not left, f"{name}: {len(left)} markers stand for no value")


def verify_single(build, out):
    tabulated, coefficients = {}, {}
    with open(os.path.join(out, "Am-241_H_curves.csv"), newline="") as f:
        groups = {}
        for row in csv.DictReader(f):
            key = (row["age_days"], row["form"], row["region"])
            if row["kind"] == "tabulated":
                for c, column in enumerate(("low_let_rate_gy_per_bq_per_day",
                                            "high_let_rate_gy_per_bq_per_day")):
                    tabulated.setdefault(key + (c,), []).append(
                        (float(row["time_days"]), float(row[column])))
    with open(os.path.join(out, "Am-241_H.csv"), newline="") as f:
        for row in csv.DictReader(f):
            key = (row["age_days"], row["form"], row["region"])
            for c, column in enumerate(("low_let_gy_per_bq", "high_let_gy_per_bq")):
                coefficients.setdefault(key + (c,), []).append(
                    (float(row["period_days"]), float(row[column])))
    figures = 0
    for name in sorted(os.listdir(out)):
        parsed = re.fullmatch(r"Am-241_H_(\d+)_f(\d+)_r(\d+)\.svg", name)
        if not parsed:
            continue
        figures += 1
        root, figure, panels = read_svg(os.path.join(out, name))
        check(figure.get("title").startswith("Am-241  inhalation"), f"{name}: title")
        check(figure.get("software", "").startswith("quillmore-batch "), f"{name}: software")
        check("inhalation" in figure.get("data-set", ""), f"{name}: data set")
        if not check(len(panels) == 2, f"{name}: {len(panels)} panels"):
            continue
        for (label, colour), (_, dose_colour) in zip(panels[0]["series"], panels[1]["series"]):
            component = 0 if label == "low LET" else 1
            key = parsed.groups() + (component,)
            rates = [p for p in tabulated[key] if p[0] > 0 and p[1] > 0]
            doses = [p for p in coefficients[key] if p[1] > 0]
            check(len(rates) > 3 and len(doses) > 3, f"{name}: too few values to check")
            match(f"{name} {label} rates", rates, markers(root, panels[0], colour), panels[0])
            match(f"{name} {label} doses", doses, markers(root, panels[1], dose_colour), panels[1])
    groups = {key[:3] for key in coefficients}
    check(figures == len(groups) >= 4, f"{figures} SVG figures of Am-241, not {len(groups)}")


def png_chunks(path):
    with open(path, "rb") as f:
        data = f.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", f"{path}: no PNG signature")
    chunks, at = [], 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks.append((kind, data[at + 8:at + 8 + length]))
        at += 12 + length
    return chunks


def verify_png(path, title, colour):
    chunks = png_chunks(path)
    header = dict(chunks)[b"IHDR"]
    width, height, depth, kind = struct.unpack(">IIBB", header[:10])
    check((width, height) == (round(WIDTH * DPI), round(HEIGHT * DPI)), f"{path}: {width}x{height}")
    check((depth, kind) == (8, 2), f"{path}: not 8-bit RGB")
    ppm_x, ppm_y, unit = struct.unpack(">IIB", dict(chunks)[b"pHYs"])
    check(unit == 1 and abs(ppm_x * 0.0254 - DPI) < 0.01 and ppm_x == ppm_y, f"{path}: pHYs {ppm_x}")
    texts = dict(body.split(b"\0", 1) for kind, body in chunks if kind == b"tEXt")
    check(texts.get(b"Title", b"").decode("latin-1") == title, f"{path}: tEXt Title {texts}")
    check(texts.get(b"Software", b"").startswith(b"quillmore-batch"), f"{path}: tEXt Software")
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    stride = width * 3
    previous, pixels = bytearray(stride), bytearray()
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = previous[i], previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        pixels += line
        previous = line
    triples = [bytes(pixels[i:i + 3]) for i in range(0, len(pixels), 3)]
    ink = sum(1 for t in triples if t != b"\xff\xff\xff") / len(triples)
    check(0.01 < ink < 0.5, f"{path}: {ink:.1%} of the pixels inked")
    check(bytes(colour) in set(triples), f"{path}: no pixel of the first series' colour")


def verify_pdf(path, title):
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    check(re.search(r"^Pages:\s+1$", info, re.M), f"{path}: not one page\n{info}")
    size = re.search(r"^Page size:\s+([\d.]+) x ([\d.]+) pts", info, re.M)
    check(size and (float(size[1]), float(size[2])) == (WIDTH * 72, HEIGHT * 72), f"{path}: {info}")
    check(re.search(r"^Title:\s+" + re.escape(title) + "$", info, re.M), f"{path}: title\n{info}")


def verify_comparison(build, data, out):
    batch(build, "--data-dir", data, "--output-dir", out, "--data-set", "h", "--ages", "1,3,6",
          "--regions", "30", "--figures", "svg", "--compare", "ages", "Cs-137")
    name = os.path.join(out, "Cs-137_H_ages_f1_r30.svg")
    root, figure, panels = read_svg(name)
    labels = [label for label, _ in panels[0]["series"]]
    check(labels == ["Infant, low LET", "5 y-old, low LET", "Adult, low LET"], f"legend {labels}")
    colours = {colour for _, colour in panels[0]["series"]}
    check(len(colours) == 3, "three colours")
    rate = panels[0]
    curves = {c for c, numbers in shapes(root, "stroke")
              if c in colours and inside(rate, numbers[0], numbers[1])}
    check(curves == colours, f"curves of {len(curves)} colours in the rate panel")
    legend = [c for c, numbers in shapes(root, "fill") if c in colours and
              not any(inside(p, (min(numbers[0::2]) + max(numbers[0::2])) / 2,
                             (min(numbers[1::2]) + max(numbers[1::2])) / 2) for p in panels)]
    check(sorted(legend) == sorted(colours), f"{len(legend)} legend markers, not 3")


def main():
    build = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as tmp:
        data = os.path.join(tmp, "DATA")
        subprocess.run([os.path.join(build, "tools", "quillmore-sample-data"), "--out", data],
                       check=True, capture_output=True)
        outputs = []
        for jobs in ("1", "2"):
            out = os.path.join(tmp, "OUT" + jobs)
            outputs.append(out)
            batch(build, "--data-dir", data, "--output-dir", out, "--data-set", "h", "--ages",
                  "1,6", "--regions", "1,30", "--figures", "svg,pdf,png", "--figure-size",
                  f"{WIDTH}x{HEIGHT}", "--dpi", str(DPI), "--curves", "--format", "txt,csv",
                  "--jobs", jobs, "Am-241", "Cs-137")
        out = outputs[0]
        verify_single(build, out)
        stem = os.path.join(out, "Am-241_H_7300_f1_r30")
        _, figure, panels = read_svg(stem + ".svg")
        verify_png(stem + ".png", figure.get("title"), panels[0]["series"][0][1])
        verify_pdf(stem + ".pdf", figure.get("title"))

        with open(os.path.join(out, "quillmore-run.json")) as f:
            listed = {e["name"]: e["sha256"] for e in json.load(f)["files"]}
        figures = [n for n in os.listdir(out) if n.rsplit(".", 1)[-1] in ("svg", "pdf", "png")]
        groups = set()
        for nuclide in ("Am-241", "Cs-137"):
            with open(os.path.join(out, nuclide + "_H.csv"), newline="") as f:
                groups |= {(nuclide, r["age_days"], r["form"], r["region"]) for r in csv.DictReader(f)}
        check(len(figures) == 3 * len(groups), f"{len(figures)} figure files, not 3 x {len(groups)}")
        for name in figures:
            with open(os.path.join(out, name), "rb") as f:
                data_bytes = f.read()
            check(listed.get(name) == hashlib.sha256(data_bytes).hexdigest(), f"manifest: {name}")
            with open(os.path.join(outputs[1], name), "rb") as f:
                check(f.read() == data_bytes, f"{name} differs with --jobs 2")

        verify_comparison(build, data, os.path.join(tmp, "COMPARE"))
        refused = batch(build, "--data-dir", data, "--output-dir", os.path.join(tmp, "MANY"),
                        "--data-set", "h", "--figures", "svg", "--compare", "ages", "Am-241",
                        expect=2)
        check("at most 8" in refused.stderr, f"the limit unnamed: {refused.stderr}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"verify_figures: {'all passed' if not failures else f'{len(failures)} failures'}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
