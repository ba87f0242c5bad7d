#!/usr/bin/python3
"""The reference peer of bench/format-throughput: the coefficient tables as a
dosimetrist would compute them with numpy and scipy, by monotone cubic
(PCHIP) interpolation of each block's dose rates, integrated from intake to
each integration time. Reads the same data folder and writes one text table
per nuclide and age group; the layout is close to quillmore-batch's, the
digits need not be the same.

    scipy_tables.py DATA_DIR OUTPUT_DIR [inhalation|ingestion]
"""
import os
import sys

import numpy as np
from scipy.interpolate import PchipInterpolator

LUNG_WEIGHTS = np.array([0.1665, 0.1665, 0.333, 0.333])
AGE_LABELS = {100: "Infant", 365: "1 y-old", 1825: "5 y-old", 3650: "10 y-old",
              5475: "15 y-old", 7300: "Adult"}


def number(text):
    text = text.strip().replace("D", "E").replace("d", "e")
    try:
        return float(text)
    except ValueError:
        return 0.0


def integration_times(path):
    times, started = [], False
    with open(path, encoding="latin-1") as f:
        for line in f:
            if not started:
                started = line.startswith("START")
            elif line.startswith("END"):
                break
            else:
                times.append(number(line.split()[0]) if line.strip() else 0.0)
    return np.array(times)


def read_record(line):
    time = number(line[0:9])
    rates = np.array([number(line[9 + 10 * k:19 + 10 * k]) for k in range(29)])
    return time, np.append(rates, rates[14:18] @ LUNG_WEIGHTS)


def main():
    data, out = sys.argv[1], sys.argv[2]
    inhalation = len(sys.argv) < 4 or sys.argv[3].startswith("inh")
    times = integration_times(os.path.join(data, "Quillmore.ini"))
    drt = "TQV27INH2.DRT" if inhalation else "TQV27ING2.DRT"
    with open(os.path.join(data, drt), encoding="latin-1", newline="") as f:
        lines = f.read().split("\r\n")
    os.makedirs(out, exist_ok=True)
    tables = {}
    i = 2
    while i < len(lines) and lines[i].strip():
        header = lines[i]
        name, age = header[0:7].strip(), int(number(header[7:12]))
        off = 0 if inhalation else -7
        form = header[18] if inhalation else header[12:20]
        count, per_point = int(number(header[27 + off:31 + off])), int(number(header[31 + off:33 + off]))
        let = header[34 + off]
        records = [read_record(line) for line in lines[i + 1:i + 1 + count * per_point]]
        i += 1 + count * per_point
        x = np.array([t for t, _ in records[::per_point]])
        low = np.zeros((len(times), 30))
        high = np.zeros((len(times), 30))
        for component, start in (("L", 0), ("H", per_point - 1)):
            if let not in (component, "B"):
                continue
            rates = np.array([r for _, r in records[start::per_point]])
            if count == 1:
                values = np.tile(rates[0], (len(times), 1))
            else:
                curve = PchipInterpolator(x, rates, axis=0, extrapolate=True)
                values = np.array([curve.integrate(0, t) for t in times])
            (low if component == "L" else high)[:] = values
        rows = []
        for k, t in enumerate(times):
            lead = f"{name:7}{form} " if k == 0 else " " * 9
            pairs = "".join(f"{lo:9.2E}{hi:9.2E} " for lo, hi in zip(low[k], high[k]))
            rows.append(f"{lead}{t:9.1E}{pairs}\r\n")
        tables.setdefault((name, age), []).extend(rows)
    for (name, age), rows in tables.items():
        path = os.path.join(out, f"{name}_{age}_{'H' if inhalation else 'G'}.TXT")
        with open(path, "w", encoding="latin-1") as f:
            f.write(f"Absorbed Dose Coefficients (Gy/Bq) For {AGE_LABELS.get(age, age)}\r\n")
            f.writelines(rows)


if __name__ == "__main__":
    main()
