#!/usr/bin/python3
"""The reference peer of bench/history-throughput: the annual doses of an
intake history as a dosimetrist would compute them with numpy and scipy. Each
block's PCHIP of the 30 regions, integrated twice, differenced at the
calendar-year bounds: acute intakes by the first antiderivative, intakes
spread over [s0, s1) by the second. Not split at birthdays and not exact:
timing only. Reads the same data folder and intake CSV; writes one CSV.

    scipy_annual.py DATA_DIR INTAKES_CSV UNTIL_YEAR OUTPUT_CSV
"""
import csv
import datetime
import os
import sys

import numpy as np
from scipy.interpolate import PchipInterpolator

LUNG_WEIGHTS = np.array([0.1665, 0.1665, 0.333, 0.333])
AGES = [(1, 100), (2, 365), (7, 1825), (12, 3650), (17, 5475), (200, 7300)]


def number(text):
    try:
        return float(text.strip().replace("D", "E").replace("d", "e"))
    except ValueError:
        return 0.0


def read_blocks(path, inhalation, nuclides):
    """{(nuclide, age days): [(times, low rates, high rates) by form]} of `nuclides`"""
    with open(path, encoding="latin-1", newline="") as f:
        lines = f.read().split("\r\n")
    blocks, i, off = {}, 2, 0 if inhalation else -7
    while i < len(lines) and lines[i].strip():
        header = lines[i]
        count = int(number(header[27 + off:31 + off]))
        per_point = int(number(header[31 + off:33 + off]))
        key = (header[0:7].strip(), int(number(header[7:12])))
        if key[0] not in nuclides:  # only the cohort's nuclides are parsed
            i += 1 + count * per_point
            continue
        records = []
        for line in lines[i + 1:i + 1 + count * per_point]:
            rates = np.array([number(line[9 + 10 * k:19 + 10 * k]) for k in range(29)])
            records.append((number(line[0:9]), np.append(rates, rates[14:18] @ LUNG_WEIGHTS)))
        i += 1 + count * per_point
        x = np.array([t for t, _ in records[::per_point]])
        let = header[34 + off]
        pair = [np.array([r for _, r in records[start::per_point]]) if let in (c, "B") else None
                for c, start in (("L", 0), ("H", per_point - 1))]
        blocks.setdefault(key, []).append((x, *pair))
    return blocks


def day(text):
    return datetime.date.fromisoformat(text).toordinal()


def main():
    data, intakes, until, out = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
    rows = list(csv.DictReader(open(intakes)))
    nuclides = {row["nuclide"] for row in rows}
    files = {True: read_blocks(os.path.join(data, "TQV27INH2.DRT"), True, nuclides),
             False: read_blocks(os.path.join(data, "TQV27ING2.DRT"), False, nuclides)}
    # Day numbers of 1 January, from the first year of intake to the year after the last.
    base = min(datetime.date.fromisoformat(row["start"]).year for row in rows)
    year_starts = np.array([day(f"{y}-01-01") for y in range(base, until + 2)], float)
    curves, totals = {}, {}
    for row in rows:
        inhalation = row["intake"].lower().startswith("h") or row["intake"].lower() == "inhalation"
        s0 = day(row["start"])
        years = (s0 - day(row["birth_date"])) / 365.25
        age = next(days for limit, days in AGES if years < limit)
        key = (inhalation, row["nuclide"], age, int(row["form"]))
        if key not in curves:
            x, low, high = files[inhalation][(row["nuclide"], age)][int(row["form"]) - 1]
            # Antiderivatives of the PCHIP, both LET components side by side.
            rates = np.hstack([r if r is not None else np.zeros((len(x), 30)) for r in (low, high)])
            pchip = PchipInterpolator(x, rates, axis=0, extrapolate=True)
            first, second = pchip.antiderivative(1), pchip.antiderivative(2)
            curves[key] = (first, second, first(0.0), second(0.0))
        first, second, f0, g0 = curves[key]
        first_year = datetime.date.fromordinal(s0).year
        bounds = year_starts[first_year - base:]
        activity = float(row["activity_bq"])
        if row["end"]:
            s1 = day(row["end"])

            def g(u):  # the dose from intake to u, integrated over u, from 0
                u = np.maximum(u, 0.0)
                return np.where((u > 0)[:, None], second(u) - g0 - f0 * u[:, None], 0.0)
            cumulative = (g(bounds - s0) - g(bounds - s1)) / (s1 - s0)
        else:
            u = np.maximum(bounds - s0, 0.0)
            cumulative = np.where((u > 0)[:, None], first(u) - f0, 0.0)
        # Each person's doses by year from `base` and by region, both components.
        person = totals.setdefault(row["person"], [first_year, np.zeros((until + 1 - base, 60))])
        person[0] = min(person[0], first_year)
        person[1][first_year - base:] += np.diff(cumulative, axis=0) * activity
    with open(out, "w") as f:
        f.write("person,year,region,low_let_gy,high_let_gy\n")
        for name, (first_year, doses) in totals.items():
            for year in range(first_year, until + 1):
                dose = doses[year - base]
                for region in range(30):
                    f.write(f"{name},{year},{region + 1},{dose[region]!r},{dose[30 + region]!r}\n")


if __name__ == "__main__":
    main()
