"""A small hand-made data folder and its values in exact rational arithmetic.

The files are written here, in the record layout of the data files; the values
are recomputed from those files by tests/app/annual_doses_exact.py (read apart
from the C++ code), so a fault the module shares with the batch still shows.
"""
import pathlib
import sys
from fractions import Fraction

sys.path.insert(0, str(pathlib.Path(__file__).parents[1] / "app"))
import annual_doses_exact as exact  # noqa: E402

# Am-241 inhalation, adult, form 1 (F): low falls to a flat end, so its
# continued last piece is constant and bounded; high rises and falls, so its
# continued cubic leaves the data far out. Infant form 1 (F) scales the adult
# one by 2. Be-7 inhalation, adult, form 1 (M) has a single time point.
# Cs-137 ingestion, adult, f1 1.
TIMES = [0.5, 1, 3, 10, 30]
LOW = [4, 2, 1, 1, 1]
HIGH = [1, 3, 6, 4, 2]
LAST_TIME = 30


def _record(text, length):
    return text.ljust(length - 2)[:length - 2].encode("latin-1") + b"\r\n"


def _rates(time, base, scale):
    text = ("%.3E" % time).rjust(9)
    for region in range(1, 30):
        text += ("%.3E" % (base * scale * region * 1e-9)).rjust(10)
    return _record(text, 301)


def _block(header, points, per_point_pairs):
    out = [_record(header, 301)]
    for time, pair in zip(points, per_point_pairs):
        out += [_rates(time, *part) for part in pair]
    return out


def _inhalation_header(age, code, points, name="Am-241"):
    return name.ljust(7) + str(age).rjust(5) + " " * 6 + code + " " * 8 + str(points).rjust(4) + " 2 B"


def write(folder, times_lines=("1", "7", "36500")):
    """Writes the data folder; returns it. `times_lines`: the lines of
    Quillmore.ini between START and END."""
    folder = pathlib.Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    headings = " " * 9 + "".join(("R%d" % k).ljust(10) for k in range(1, 29)) + "Remainder"
    title = {"h": "Synthetic inhalation dose rates", "g": "Synthetic ingestion dose rates"}
    inh = [_record(title["h"], 301), _record(headings, 301)]
    inh += _block(_inhalation_header(7300, "F", 5), TIMES,
                  [((lo, 1), (hi, 1)) for lo, hi in zip(LOW, HIGH)])
    inh += _block(_inhalation_header(100, "F", 5), TIMES,
                  [((lo, 2), (hi, 2)) for lo, hi in zip(LOW, HIGH)])
    single = len(inh) + 1
    inh += _block(_inhalation_header(7300, "M", 1, "Be-7"), [2], [((5, 1), (7, 1))])
    ing = [_record(title["g"], 301), _record(headings, 301)]
    ing += _block("Cs-137  7300" + "1.0E+00 " + "   3 2 B", [1, 10, 100],
                  [((3, 1), (0, 1)), ((2, 1), (0, 1)), ((1, 1), (0, 1))])
    index = [_record("Synthetic index", 25), _record("   3   5", 25),
             _record("Am-241 " + "0".rjust(8) + "3".rjust(8), 25),
             _record("Be-7   " + "0".rjust(8) + str(single).rjust(8), 25),
             _record("Cs-137 " + "3".rjust(8) + "0".rjust(8), 25)]
    (folder / "TQV27INH2.DRT").write_bytes(b"".join(inh))
    (folder / "TQV27ING2.DRT").write_bytes(b"".join(ing))
    (folder / "DoseInd.NDX").write_bytes(b"".join(index))
    write_times(folder / "Quillmore.ini", times_lines)
    return folder


def write_times(path, lines):
    path.write_bytes(("START\r\n" + "".join(f"{line}\r\n" for line in lines) + "END\r\n")
                     .encode("latin-1"))


class Exact:
    """Exact coefficients and far-extrapolation judgements of a written folder."""

    def __init__(self, folder):
        self.data = exact.DataSet(str(folder))

    def curves(self, nuclide, route, group, form, region):
        """(low, high) exact curves of one block and region."""
        blocks = self.data.blocks(exact.normalise(nuclide), route, group, [region])
        return blocks[form - 1][2][0]

    def coefficient(self, nuclide, route, group, form, region, period):
        """(low, high) Gy/Bq from intake to `period` days."""
        return tuple(curve.dc(Fraction(period))[0]
                     for curve in self.curves(nuclide, route, group, form, region))

    def extrapolation(self, nuclide, route, group, form, region, period):
        """(low, high) as the extrapolation column words them: what the continued
        last piece adds past the data must lie within [-tau, last rate x span + tau],
        tau = 1e-3 |dose to the last time|."""
        judged = []
        for curve in self.curves(nuclide, route, group, form, region):
            span = Fraction(period) - curve.last_time
            if span <= 0:
                judged.append("none")
                continue
            at_last = curve.dc(curve.last_time)[0]
            added = curve.dc(Fraction(period))[0] - at_last
            tau = abs(at_last) / 1000
            inside = -tau <= added <= curve.last_rate * span + tau
            judged.append("bounded" if inside else "unbounded")
        return tuple(judged)


def close(value, exact_value):
    """`value` (a double) within 1e-9 relative of the exact one: a last piece
    continued a thousand widths and more past the data loses that many digits
    to the cancelling terms of its cubic in extended precision; any fault of
    the module is off by far more."""
    if exact_value == 0:
        return value == 0
    return abs(Fraction(value) - exact_value) <= abs(exact_value) * Fraction(1, 10 ** 9)


def rate(curve, time):
    """The exact rate of an exact.Curve at `time` days: its cubic piece there,
    the first piece continued before the data, the last one after."""
    u = Fraction(time)
    _, knot, c, _, _ = curve.pieces[max(0, exact.bisect.bisect_right(curve.starts, u) - 1)]
    v = u - knot
    return c[0] + c[1] * v + c[2] * v ** 2 + c[3] * v ** 3
