#!/usr/bin/python3
"""Checks quillmore-batch's CSV, JSON and run manifest against its own text
tables and against the exact computation of verify_row_group.py.

On a freshly generated sample data set, quillmore-batch --format txt,csv,json
runs for some inhalation and ingestion nuclides. Then:
- every CSV value, and the same value in the JSON, rendered through the
  table masks gives exactly the digits of its text table, row group by row
  group; the form codes and labels are those the tables print;
- every value agrees with the exact rational computation to 1e-13 relative;
- every far-extrapolation status (CSV column, JSON arrays) is the one the
  exact integral of the continued last piece gives, here and in a run with
  periods far past the data, which must hold unbounded values;
- the curves CSV section of doc/formats.md names the columns the curve files
  have, and its example lines are lines of the file that run wrote;
- the manifest lists every file of the folder, the curve files of --curves
  too, with its size and the SHA-256 that sha256sum gives;
- a second run with the same arguments gives the same bytes, and --jobs 2
  the same CSV and JSON as --jobs 1 and a manifest that differs only in its
  command line.

Usage: verify_export.py BUILD_DIR. Exit status 0 when all holds, 1 otherwise.
"""

import csv
import filecmp
import json
import os
import subprocess
import sys
import tempfile
from fractions import Fraction

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import verify_row_group as exact  # noqa: E402

REGIONS = [1, 15, 30]
RUNS = {"h": ["H-3", "Be-7", "Am-241"], "g": ["Pu-239", "Ni-63"]}
FAR = ("h", ["Pu-239"], [Fraction(t) for t in (1, 365, 18250, 100000, 1000000)])
TOLERANCE = Fraction(1, 10 ** 13)
FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
    return condition


def batch(build, work, kind, folder, jobs, nuclides, extra=(), status=0):
    arguments = [os.path.join(build, "src", "quillmore-batch"), "--data-set", kind, "--regions",
                 ",".join(map(str, REGIONS)), "--format", "txt,csv,json", "--curves", "--jobs",
                 str(jobs), "--output-dir", folder, "--quiet"] + list(extra) + nuclides
    ran = subprocess.run(arguments, cwd=work, stderr=subprocess.DEVNULL)
    check(ran.returncode == status, "%s: exit status %d" % (folder, ran.returncode))
    return os.path.join(work, folder)


WORSE = ["none", "bounded", "unbounded"]


def extrapolations(header, rate_records, regions, times):
    """[time index][region position] -> (low, high) far-extrapolation status,
    exact: past the last time point T_last, what the continued last piece adds
    up to T must lie in [-tau, r_last (T - T_last) + tau], tau = |D(T_last)| / 1000."""
    grid, curves, integrated = exact.rate_curves(header, rate_records, regions)
    cubics = {}

    def status(c, j, t):
        if len(grid) == 1 or c not in integrated or t <= grid[-1]:
            return "none"
        cubic = cubics.setdefault((c, j), exact.PiecewiseCubic(grid, curves[c][j]))
        last = grid[-1]
        added = cubic.piece_integral(len(grid) - 2, last, t)
        tau = abs(cubic.integral(last)) / 1000
        inside = -tau <= added <= curves[c][j][-1] * (t - last) + tau
        return "bounded" if inside else "unbounded"
    return [[(status(1, j, t), status(2, j, t)) for j in range(len(regions))] for t in times]


def table_rows(path):
    """Row groups of a text table: lists of rows after the three header lines."""
    with open(path, "rb") as handle:
        lines = handle.read().decode("latin-1").split("\r\n")[3:-1]
    groups = []
    for line in lines:
        if not line.startswith(" "):
            groups.append([])
        groups[-1].append(line)
    return groups


def check_values(nuclide, kind, folder, data, times):
    """CSV and JSON of one nuclide against its text tables and the exact values."""
    ingestion = kind == "g"
    letter = kind.upper()
    with open(os.path.join(folder, "%s_%s.csv" % (nuclide, letter)), newline="",
              encoding="utf-8") as handle:
        rows = list(csv.DictReader(handle))
    with open(os.path.join(folder, "%s_%s.json" % (nuclide, letter)), encoding="utf-8") as handle:
        document = json.load(handle)
    check(document["periods_days"] == [float(t) for t in times], nuclide + ": periods")
    recs = exact.records(os.path.join(data, "TQV27ING2.DRT" if ingestion else "TQV27INH2.DRT"))
    prefix = 15 if ingestion else 9
    count = 0
    unbounded = 0
    for group in document["age_groups"]:
        days = group["age_days"]
        tables = table_rows(os.path.join(folder, "%s_%d_%s.TXT" % (nuclide, days, letter)))
        blocks = [b for b in exact.blocks(recs, ingestion)
                  if b[0]["name"] == nuclide.ljust(7) and b[0]["age"] == days]
        check(len(tables) == len(group["forms"]) == len(blocks), "%s %d: forms" % (nuclide, days))
        for form, table, (header, rate_records) in zip(group["forms"], tables, blocks):
            where = "%s %d form %d" % (nuclide, days, form["form"])
            first = table[0]
            check(first[7:prefix].strip() == form["form_code"], where + ": form code")
            label = "" if ingestion else first[prefix + 8 + 19 * len(REGIONS) + 1:]
            check(label == form["form_label"], where + ": label")
            values = exact.coefficients(header, rate_records, REGIONS, times)
            statuses = extrapolations(header, rate_records, REGIONS, times)
            for k, (t, line) in enumerate(zip(times, table)):
                check(exact.render(exact.to_float32(Fraction(float(t))), 2)
                      == line[prefix:prefix + 8], where + ": period %s" % t)
                for j, region in enumerate(form["regions"]):
                    row = rows[count]
                    count += 1
                    check((row["nuclide"], row["age_days"], row["form"], row["region"],
                           row["form_code"], row["form_label"])
                          == (nuclide, str(days), str(form["form"]), str(region["region"]),
                              form["form_code"], form["form_label"]), where + ": row keys")
                    check(float(row["period_days"]) == float(t), where + ": CSV period")
                    both = statuses[k][j]
                    check(row["extrapolation"] == max(both, key=WORSE.index),
                          "%s %s region %d: CSV extrapolation %s, exact %s"
                          % (where, t, region["region"], row["extrapolation"], both))
                    check((region["low_let_extrapolation"][k], region["high_let_extrapolation"][k])
                          == both, "%s %s: JSON extrapolation" % (where, t))
                    unbounded += "unbounded" in both
                    for c, name in enumerate(("low_let_gy_per_bq", "high_let_gy_per_bq")):
                        value = float(row[name])
                        check(value == region[name][k], where + ": CSV and JSON differ")
                        start = prefix + 8 + 19 * j + 9 * c
                        check(exact.render(exact.to_float32(Fraction(value)), 3)
                              == line[start:start + 9], "%s %s: %s" % (where, t, name))
                        truth = values[k][j][c]
                        check(abs(Fraction(value) - truth) <= TOLERANCE * abs(truth),
                              "%s %s region %d %s: %r, exact %s"
                              % (where, t, region["region"], name, value, float(truth)))
    check(count == len(rows) and count > 0, nuclide + ": CSV rows")
    return count, unbounded


def check_manifest(folder):
    with open(os.path.join(folder, "quillmore-run.json"), encoding="utf-8") as handle:
        manifest = json.load(handle)
    names = sorted(n for n in os.listdir(folder) if n != "quillmore-run.json")
    check([f["name"] for f in manifest["files"]] == names, folder + ": manifest lists the folder")
    for entry in manifest["files"]:
        path = os.path.join(folder, entry["name"])
        digest = subprocess.run(["sha256sum", path], check=True, capture_output=True,
                                text=True).stdout.split()[0]
        check(entry["sha256"] == digest and entry["size"] == os.path.getsize(path),
              entry["name"] + ": size or SHA-256")
    return manifest


def same_files(a, b, names):
    match, mismatch, errors = filecmp.cmpfiles(a, b, names, shallow=False)
    return not mismatch and not errors


def check_curves_doc(folder):
    """The doc's curves CSV columns and example against a curve file of the far run."""
    doc = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "doc",
                       "formats.md")
    with open(doc, encoding="utf-8") as handle:
        section = handle.read().split("### Curves CSV")[1].split("\n### ")[0]
    with open(os.path.join(folder, "Pu-239_H_curves.csv"), encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    columns = [row.split("`")[1] for row in section.split("\n") if row.startswith("| `")]
    check(",".join(columns) == lines[0], "doc/formats.md: the curve columns")
    example = section.split("```csv\n")[1].split("```")[0].splitlines()
    check(example and example[0] == lines[0], "doc/formats.md: the curves header")
    written = set(lines)
    for line in example[1:]:
        check(line in written, "doc/formats.md: example line not written: " + line)


def main():
    build = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "DATA")
        subprocess.run([os.path.join(build, "tools", "quillmore-sample-data"), "--out", data],
                       check=True, stdout=subprocess.DEVNULL)
        times = exact.read_times(data)
        values = 0
        for kind in RUNS:
            serial = batch(build, work, kind, "ONE_" + kind, 1, RUNS[kind])
            first = os.path.join(work, "FIRST_" + kind)
            os.rename(serial, first)
            serial = batch(build, work, kind, "ONE_" + kind, 1, RUNS[kind])
            parallel = batch(build, work, kind, "TWO_" + kind, 2, RUNS[kind])
            names = sorted(os.listdir(serial))
            check(names == sorted(os.listdir(first)) == sorted(os.listdir(parallel)),
                  kind + ": the same files")
            check(same_files(first, serial, names), kind + ": a second run differs")
            curves = [n for n in names if n.endswith("_curves.csv")]
            check(len(curves) == len(RUNS[kind]), kind + ": one curve file each")
            exports = [n for n in names
                       if n.endswith((".csv", ".json")) and "run" not in n and n not in curves]
            check(len(exports) == 2 * len(RUNS[kind]), kind + ": one CSV and one JSON each")
            check(same_files(serial, parallel, exports + curves),
                  kind + ": --jobs 2 changed CSV, JSON or curves")
            one, two = check_manifest(serial), check_manifest(parallel)
            check(one["command_line"] != two["command_line"], kind + ": command lines")
            one.pop("command_line")
            two.pop("command_line")
            check(one == two, kind + ": manifests differ beyond the command line")
            for nuclide in RUNS[kind]:
                rows, unbounded = check_values(nuclide, kind, serial, data, times)
                values += rows
                check(unbounded == 0, nuclide + ": unbounded at the sample periods")
        kind, nuclides, far_times = FAR
        far_file = os.path.join(work, "far.ini")
        with open(far_file, "wb") as handle:
            handle.write(("START\r\n%s\r\nEND\r\n"
                          % "\r\n".join(str(t) for t in far_times)).encode())
        far = batch(build, work, kind, "FAR", 1, nuclides, ["--times", far_file], status=1)
        for nuclide in nuclides:
            rows, unbounded = check_values(nuclide, kind, far, data, far_times)
            values += rows
            check(unbounded > 0, nuclide + ": no unbounded value far past the data")
        check_curves_doc(far)
    print("%d CSV rows checked, %d failures" % (values, len(FAILURES)))
    for failure in FAILURES[:20]:
        print(failure)
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
