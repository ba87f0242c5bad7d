#!/usr/bin/python3
"""Recomputes the golden tables from the sample data set, independently of the C++ code.

Every row group of every golden file is rebuilt from the dose-rate file: the
monotone cubic Hermite slopes and the integral of the cubic pieces from 0 to
each integration time are computed in exact rational arithmetic (fractions),
Lung is the sum of columns 15-18 with the single-precision weights, each value
is rounded exactly to single precision and rendered with 2 or 3 significant
digits, ties to even on the exact decimal value. The text is compared with the
golden file line by line, and every numeric field is counted.

The C++ code works in extended precision and stores doubles, so its values
differ from the exact ones in the last bits of a double; they can only render
differently when the exact value lies within about 1e-15 (relative) of a
single-precision rounding boundary or its float of a decimal rounding tie. The
report gives the closest such margin met, so a mismatch can be told apart from
a near tie.

Usage: verify_row_group.py (--data DATA_DIR | --sample-data PROGRAM) [GOLDEN_DIR]
Exit status 0 when every file matches, 1 on a mismatch, 2 on bad usage.
"""

import argparse
import functools
import os
import re
import struct
import subprocess
import sys
import tempfile
from fractions import Fraction

RECORD = 301
AGE_LABELS = {100: "Infant  ", 365: "1 y-old ", 1825: "5 y-old ",
              3650: "10 y-old", 5475: "15 y-old", 7300: "Adult   "}
LABELS = {("H", 4): "(Water Vapor)", ("H", 5): "(Elemental)", ("H", 6): "(Organic)",
          ("C", 4): "(Carbon Monoxide)", ("C", 5): "(Carbon Dioxide)",
          ("S", 4): "(Dioxide)", ("S", 5): "(Carbon Disulfide)", ("I", 5): "(Methyl Iodine)",
          ("Hg", 4): "(Organic Particulate)", ("Hg", 5): "(Organic Particulate)",
          ("Hg", 6): "(Organic Particulate)", ("Hg", 7): "(Vapor)"}
NUMBER = re.compile(r"[ \t\r\n]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[EeDd][+-]?\d+)?)")


def as_float32(value):
    """The exact value of the single-precision number nearest `value` (ties to even)."""
    return Fraction(struct.unpack("f", struct.pack("f", value))[0])


LUNG_WEIGHTS = [as_float32(w) for w in (0.1665, 0.1665, 0.333, 0.333)]


# The number type of the whole computation: exact rationals, or with --double
# Python floats, to see how far plain double arithmetic gets.
ARITHMETIC = {"number": Fraction}


def read_number(text):
    """A field's leading decimal number; 0 when the field holds none."""
    match = NUMBER.match(text)
    if not match:
        return ARITHMETIC["number"](0)
    return ARITHMETIC["number"](Fraction(match.group(1).replace("D", "E").replace("d", "e")))


@functools.lru_cache(maxsize=2)
def records(path):
    with open(path, "rb") as handle:
        data = handle.read().decode("latin-1")
    return [data[i:i + RECORD - 2] for i in range(0, len(data), RECORD)]


def column(record, region):
    start = 9 + 10 * (region - 1)
    return read_number(record[start:start + 10])


def region_value(record, region):
    if region == 30:
        weights = [ARITHMETIC["number"](w) for w in LUNG_WEIGHTS]
        return sum(w * column(record, 15 + i) for i, w in enumerate(weights))
    return column(record, region)


def blocks(recs, ingestion):
    """Yields (header fields, rate records) for every block from record 3 on."""
    i = 2
    while i < len(recs):
        head = recs[i]
        shift = 7 if ingestion else 0
        header = {"name": head[0:7], "age": int(read_number(head[7:12])),
                  "form": head[12:20] if ingestion else head[18],
                  "n": int(read_number(head[27 - shift:31 - shift])),
                  "p": int(read_number(head[31 - shift:33 - shift])),
                  "let": head[34 - shift]}
        count = header["n"] * (2 if header["let"] == "B" else 1)
        yield header, recs[i + 1:i + 1 + count]
        i += 1 + count


def slopes(x, f):
    """Shape-preserving slopes: three-point ends kept to the data's shape,
    Brodlie's weighted harmonic mean inside, zero at turns and flat secants."""
    n = len(x)
    h = [x[i + 1] - x[i] for i in range(n - 1)]
    s = [(f[i + 1] - f[i]) / h[i] for i in range(n - 1)]
    sign = lambda v: (v > 0) - (v < 0)
    if n == 2:
        return [s[0], s[0]]
    d = [Fraction(0)] * n
    d[0] = ((2 * h[0] + h[1]) * s[0] - h[0] * s[1]) / (h[0] + h[1])
    if sign(d[0]) * sign(s[0]) <= 0:
        d[0] = Fraction(0)
    elif sign(s[0]) * sign(s[1]) < 0 and abs(d[0]) > abs(3 * s[0]):
        d[0] = 3 * s[0]
    for i in range(1, n - 1):
        a, b = s[i - 1], s[i]
        if sign(a) * sign(b) > 0:
            total = h[i - 1] + h[i]
            w1 = (total + h[i - 1]) / (3 * total)
            w2 = (total + h[i]) / (3 * total)
            big = max(abs(a), abs(b))
            d[i] = min(abs(a), abs(b)) / (a / big * w1 + b / big * w2)
    a, b = s[-2], s[-1]
    d[-1] = ((2 * h[-1] + h[-2]) * b - h[-1] * a) / (h[-2] + h[-1])
    if sign(d[-1]) * sign(b) <= 0:  # as the left end: a flat last secant gives 0
        d[-1] = Fraction(0)
    elif sign(a) * sign(b) < 0 and abs(d[-1]) > abs(3 * b):
        d[-1] = 3 * b
    return d


class PiecewiseCubic:
    """The Hermite curve through (x, f) with the shape-preserving slopes. Each
    piece is a polynomial in t = x - x[i]; the first piece also covers
    everything left of x[1], the last everything right of x[-2]."""

    def __init__(self, x, f):
        self.x = x
        self.antiderivatives = []  # per piece: coefficients of t, t^2, t^3, t^4
        d = slopes(x, f)
        for i in range(len(x) - 1):
            h = x[i + 1] - x[i]
            secant = (f[i + 1] - f[i]) / h
            c2 = (3 * secant - 2 * d[i] - d[i + 1]) / h
            c3 = (d[i] + d[i + 1] - 2 * secant) / (h * h)
            self.antiderivatives.append((f[i], d[i] / 2, c2 / 3, c3 / 4))
        self.whole = {}  # piece -> its integral over its stretch from 0 on

    def piece_integral(self, i, lo, hi):
        a1, a2, a3, a4 = self.antiderivatives[i]
        value = lambda t: t * (a1 + t * (a2 + t * (a3 + t * a4)))
        return value(hi - self.x[i]) - value(lo - self.x[i])

    def integral(self, upper):
        """Integral from 0 to `upper` (upper >= 0)."""
        total = 0
        last = len(self.x) - 2
        for i in range(last + 1):
            lo = max(self.x[i], 0) if i > 0 else 0
            right = self.x[i + 1] if i < last else None
            if right is not None and right <= upper:
                if i not in self.whole:
                    self.whole[i] = self.piece_integral(i, lo, right) if lo < right else 0
                total += self.whole[i]
            else:
                if lo < upper:
                    total += self.piece_integral(i, lo, upper)
                break
        return total


def rate_curves(header, rate_records, regions):
    """The block's time grid, its rates by component (1 low, 2 high) and
    region position, and the components it integrates, exact."""
    n, let = header["n"], header["let"]
    per_point = 1 if header["p"] == 1 else 2
    grid = [Fraction(0)] * n
    curves = {1: [[Fraction(0)] * n for _ in regions], 2: [[Fraction(0)] * n for _ in regions]}
    for i in range(n):
        for part in range(per_point):
            rec = rate_records[i * per_point + part]
            grid[i] = read_number(rec[0:9])
            component = (1 if let == "L" else 2) if per_point == 1 else part + 1
            for j, region in enumerate(regions):
                curves[component][j][i] = region_value(rec, region)
    integrated = {"L": [1], "B": [1, 2], "H": [2]}.get(let, []) if n > 1 else [1, 2]
    return grid, curves, integrated


def coefficients(header, rate_records, regions, times):
    """[time index][region position] -> (low, high), exact."""
    grid, curves, integrated = rate_curves(header, rate_records, regions)
    if len(grid) == 1:  # a single point: the tabulated rate is every coefficient
        return [[(curves[1][j][0], curves[2][j][0]) for j in range(len(regions))] for _ in times]
    cubics = {c: [PiecewiseCubic(grid, curve) for curve in curves[c]] for c in integrated}
    return [[tuple(cubics[c][j].integral(t) if c in integrated else 0 for c in (1, 2))
             for j in range(len(regions))]
            for t in times]


def to_float32(value):
    """The exact value of the single-precision number nearest `value`, rounded
    from the exact rational (no double rounding through a double)."""
    value = Fraction(value)
    if value == 0:
        return Fraction(0)
    magnitude = abs(value)
    exponent = magnitude.numerator.bit_length() - magnitude.denominator.bit_length()
    if Fraction(2) ** exponent > magnitude:
        exponent -= 1
    quantum = Fraction(2) ** (max(exponent, -126) - 23)
    return round(magnitude / quantum) * quantum * (1 if value > 0 else -1)


def float32_margin(value):
    """Relative distance of `value` from the nearest single-precision rounding boundary."""
    value = Fraction(value)
    if value == 0:
        return Fraction(1)
    magnitude = abs(value)
    exponent = magnitude.numerator.bit_length() - magnitude.denominator.bit_length()
    if Fraction(2) ** exponent > magnitude:
        exponent -= 1
    quantum = Fraction(2) ** (exponent - 23)
    scaled = magnitude / quantum
    return abs(scaled - (scaled.__floor__() + Fraction(1, 2))) / scaled


def decimal_digits(value, digits):
    """(mantissa digits, exponent, relative distance from a rounding tie) of |value|."""
    magnitude = abs(value)
    if magnitude == 0:
        return "0" * digits, 0, Fraction(1)
    exponent = len(str(magnitude.numerator)) - len(str(magnitude.denominator))
    while Fraction(10) ** exponent > magnitude:
        exponent -= 1
    while Fraction(10) ** (exponent + 1) <= magnitude:
        exponent += 1
    scaled = magnitude / Fraction(10) ** (exponent - digits + 1)
    margin = abs(scaled - (scaled.__floor__() + Fraction(1, 2))) / scaled
    mantissa = round(scaled)  # Fraction rounds halves to even
    if mantissa == 10 ** digits:
        mantissa, exponent = 10 ** (digits - 1), exponent + 1
    return str(mantissa), exponent, margin


def render(value, digits):
    """One mask field: sign position, d.d(d), E, exponent sign, two or more digits."""
    mantissa, exponent, _ = decimal_digits(value, digits)
    sign = "-" if value < 0 else " "
    return "%s%s.%sE%s%02d" % (sign, mantissa[0], mantissa[1:],
                                "+" if exponent >= 0 else "-", abs(exponent))


def center(text, width):
    if len(text.lstrip(" ")) >= width:
        return text[:width]
    pad = (width - len(text)) // 2
    return (" " * pad + text).ljust(width)


class Tally:
    def __init__(self):
        self.values = 0
        self.mismatches = []
        self.closest = {}  # kind of boundary -> (relative margin, which value)

    def note_margin(self, kind, margin, what):
        if kind not in self.closest or margin < self.closest[kind][0]:
            self.closest[kind] = (margin, what)


def expected_rows(header, rate_records, regions, times, label, ingestion, tally, where):
    name = header["name"]
    table = coefficients(header, rate_records, regions, times)
    lines = []
    for k, t in enumerate(times):
        if k == 0:
            prefix = name + header["form"] if ingestion else name + header["form"] + " "
        else:
            prefix = " " * (15 if ingestion else 9)
        line = prefix + render(to_float32(t), 2)
        for j, pair in enumerate(table[k]):
            for component, exact in enumerate(pair, 1):
                single = to_float32(exact)
                tally.values += 1
                what = "%s t=%s region %d component %d" % (where, t, regions[j], component)
                tally.note_margin("single-precision rounding boundary", float32_margin(exact), what)
                tally.note_margin("3-digit rounding tie", decimal_digits(single, 3)[2], what)
                line += render(single, 3)
            line += " "
        if k == 0 and not ingestion:
            line += " " + label
        lines.append(line)
    return lines


def expected_file(golden_dir, golden_name, data_dir, times, tally):
    stem, age_text, kind = golden_name[:-4].rsplit("_", 2)
    ingestion = kind == "G"
    age = int(age_text)
    recs = records(os.path.join(data_dir, "TQV27ING2.DRT" if ingestion else "TQV27INH2.DRT"))
    names = [recs[1][9 + 10 * k:19 + 10 * k].strip(" ") for k in range(29)]
    names[28] = names[28].replace("|", " ").strip(" ")
    names.append("Lung")
    with open(os.path.join(golden_dir, golden_name), "rb") as handle:
        golden = handle.read().decode("latin-1").split("\r\n")
    # The golden head names the regions; everything else is rebuilt.
    heading = golden[1][(22 if ingestion else 16):]
    regions = [names.index(heading[19 * j:19 * j + 18].strip(" ")) + 1
               for j in range(len(heading) // 19)]
    kind_word = "Ingestion" if ingestion else "Inhalation"
    lines = [kind_word + " Absorbed Dose Coefficients (Gy/Bq) For " + AGE_LABELS[age]]
    columns = "".join(center(names[r - 1], 18) + " " for r in regions)
    lines.append((" " * 17 if ingestion else " " * 11) + "Time " + columns)
    lines.append((" " * 9 + "  f1     (d)  " if ingestion else " " * 12 + "(d)  ")
                 + "  low      high    " * len(regions))
    nuclide = stem.ljust(7)
    form_number = 0
    for header, rate_records in blocks(recs, ingestion):
        if header["name"] != nuclide or header["age"] != age:
            continue
        form_number += 1  # every form of the sample set is tabulated for every age
        label = LABELS.get((stem.split("-")[0], form_number), "")
        where = "%s block %d" % (golden_name, form_number)
        lines += expected_rows(header, rate_records, regions, times, label, ingestion, tally,
                               where)
    return lines + [""], golden


def read_times(data_dir):
    with open(os.path.join(data_dir, "Quillmore.ini"), "rb") as handle:
        lines = handle.read().decode("latin-1").split("\r\n")
    start = next(i for i, line in enumerate(lines) if line.startswith("START"))
    end = next(i for i, line in enumerate(lines) if line.startswith("END"))
    return [read_number(line) for line in lines[start + 1:end]]


def verify(data_dir, golden_dir):
    times = read_times(data_dir)
    tally = Tally()
    files = sorted(name for name in os.listdir(golden_dir) if name.endswith(".TXT"))
    for name in files:
        expected, golden = expected_file(golden_dir, name, data_dir, times, tally)
        if len(expected) != len(golden):
            tally.mismatches.append("%s: %d lines, expected %d"
                                    % (name, len(golden), len(expected)))
        for number, (want, got) in enumerate(zip(expected, golden), 1):
            if want != got:
                tally.mismatches.append("%s line %d:\n  expected [%s]\n  golden   [%s]"
                                        % (name, number, want, got))
    print("%d files, %d coefficients recomputed, %d mismatching lines"
          % (len(files), tally.values, len(tally.mismatches)))
    for kind, (margin, what) in sorted(tally.closest.items()):
        print("closest to a %s: %.3g relative, %s" % (kind, margin, what))
    for mismatch in tally.mismatches:
        print(mismatch)
    return 1 if tally.mismatches or not files else 0


def main():
    parser = argparse.ArgumentParser(description="Recomputes the golden tables independently.")
    source = parser.add_mutually_exclusive_group(required=True)
    source.add_argument("--data", help="folder holding the sample data set")
    source.add_argument("--sample-data", help="the quillmore-sample-data program, run into a "
                        "temporary folder")
    parser.add_argument("--double", action="store_true",
                        help="compute in Python floats (double) instead of exact rationals")
    parser.add_argument("golden", nargs="?", default=os.path.dirname(os.path.abspath(__file__)),
                        help="folder of the golden *.TXT files (default: this script's)")
    args = parser.parse_args()
    if args.double:
        ARITHMETIC["number"] = float
    if args.data:
        return verify(args.data, args.golden)
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([args.sample_data, "--out", folder], check=True, stdout=subprocess.DEVNULL)
        return verify(folder, args.golden)


if __name__ == "__main__":
    sys.exit(main())
