#!/usr/bin/env python3
"""Cuts the committed seed corpora from generated sample data.

Usage: fuzz/make_seeds.py SAMPLE_DIR CORPUS_DIR
SAMPLE_DIR is what `quillmore-sample-data --out SAMPLE_DIR` writes (default seed).
Blocks are cut to a few time points so that each seed stays a few KB.
"""
import os
import re
import struct
import sys

MARKER = b"\n--8<--\n"
DRT = 301
NDX = 25


def records(data, length):
    return [data[i:i + length] for i in range(0, len(data), length)]


def layout(kind):
    # (N field, P field, LET letter) as Python slices of a header record.
    return ((27, 31), (31, 33), 34) if kind == "h" else ((20, 24), (24, 26), 27)


def blocks(recs, kind):
    """{name: [(header, rate records)]} in file order."""
    (n0, n1), (p0, p1), _ = layout(kind)
    found, r = {}, 2
    while r < len(recs):
        header = recs[r]
        n, p = int(float(header[n0:n1])), int(header[p0:p1])
        found.setdefault(header[:7].decode(), []).append((header, recs[r + 1:r + 1 + n * p]))
        r += 1 + n * p
    return found


def cut(block, kind, points):
    header, rates = block
    (n0, n1), (p0, p1), _ = layout(kind)
    per = int(header[p0:p1])
    header = header[:n0] + str(points).rjust(n1 - n0).encode() + header[n1:]
    return [header] + rates[:points * per]


def dose_rate_file(recs, kind, wanted):
    """Title, headings and the wanted cut blocks; returns bytes and start records."""
    found, out, starts = blocks(recs, kind), recs[:2], {}
    for name, which, points in wanted:
        starts.setdefault(name, len(out) + 1)
        out += cut(found[name][which], kind, points)
    return b"".join(out), starts


def index_file(title, names, starts):
    rows = [title, b"   3%4d".ljust(NDX - 2) % (2 + len(names)) + b"\r\n"]
    for name in names:
        rows.append(b"%-7s%8d%8d\r\n" % (name.encode(), starts["g"].get(name, 0), starts["h"].get(name, 0)))
    return b"".join(rows)


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main(sample, corpus):
    read = lambda name: open(os.path.join(sample, name), "rb").read()
    ndx = records(read("DoseInd.NDX"), NDX)
    drt = {"h": records(read("TQV27INH2.DRT"), DRT), "g": records(read("TQV27ING2.DRT"), DRT)}
    times = read("Quillmore.ini")

    for field in [b" 1.06E-03", b"9.672D-15", b"  0.04670", b"  24", b" 1", b"  12.6", b"&H1F",
                  b"&O17", b"&B101", b"-2.5e+3 days", b"Tc-99m", b"tE-131M", b"x"]:
        write(f"{corpus}/numeric_field", "field_" + re.sub(r"[^A-Za-z0-9.]", "_", field.decode().strip()), field)

    title = ndx[0]
    small = [title, b"   3  10".ljust(NDX - 2) + b"\r\n"] + ndx[2:10]
    write(f"{corpus}/index", "hit", b"Be-7   \n" + b"".join(small))
    write(f"{corpus}/index", "miss", b"Xe-133 \n" + b"".join(small))
    write(f"{corpus}/index", "entries", b"\n" + b"".join(small))
    write(f"{corpus}/index", "range_past_end", b"Ag-110m\n" + title + b"   3  99".ljust(NDX - 2) + b"\r\n" + b"".join(ndx[2:5]))

    wanted = [("Ag-110m", 0, 3), ("Am-241 ", 0, 2), ("Gd-148 ", 0, 2)]
    for kind in "hg":
        data, _ = dose_rate_file(drt[kind], kind, wanted)
        write(f"{corpus}/dose_rate", kind, data)

    write(f"{corpus}/integration_times", "sample", times)
    write(f"{corpus}/integration_times", "lf_only_no_end", times.replace(b"\r\n", b"\n").replace(b"END", b"end"))
    write(f"{corpus}/integration_times", "ctrl_z", b"START\r\n30.5 days\r\n\r\n1E3\x1aEND\r\n")

    for name, count, values, mask in [
            ("time", 2, [12.5, -2.5], b"##.#^^^^"), ("pair", 2, [1.5e-10, 0.0], b"##.##^^^^##.##^^^^ "),
            ("edge", 4, [float("inf"), float("nan"), 9.96, 1e-45], b"x##.##^^^^^^,#.###^^^ y")]:
        write(f"{corpus}/number_mask", name, bytes([count]) + struct.pack(f"<{count}f", *values) + mask)

    wanted = [("Ag-110m", 0, 2), ("Ag-110m", 5, 2), ("Am-241 ", 0, 1)]
    files, starts = {}, {}
    for kind in "hg":
        files[kind], starts[kind] = dose_rate_file(drt[kind], kind, wanted)
    index = index_file(title, ["Ag-110m", "Am-241 ", "Be-7   "], starts)
    for name, args in [("named", b"--data-set h --ages 1,adult --regions 1,lung,29 ag-110m AM-241 Be-7 Xe-133"),
                       ("all", b"--data-set g --all --jobs 2"),
                       ("lists", b"--data-set h --list-nuclides --list-regions")]:
        write(f"{corpus}/batch", name, MARKER.join([args, index, files["h"], files["g"], times]))


if __name__ == "__main__":
    main(*sys.argv[1:3])
