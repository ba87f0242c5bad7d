"""Annual doses of an intake history against the batch's --intakes files."""
import gzip
import hashlib
import json
import pathlib

import numpy as np
import pandas as pd
import pytest

import quillmore as qm
from conftest import batch_message, read_csv, run_batch

EXAMPLE = pathlib.Path(__file__).parents[2] / "doc" / "examples" / "intakes.csv"


def test_annual_doses_equal_batch_csv(data_dir, tmp_path):
    args = ["--intakes", EXAMPLE, "--data-dir", data_dir, "--output-dir", tmp_path, "--quiet",
            "--by-intake", "--until", "2030", "--regions", "lung,Remainder,1",
            "--high-let-weight", "20"]
    assert run_batch(*args).returncode in (0, 1)
    options = dict(data_dir=data_dir, until=2030, regions=["lung", "Remainder", 1],
                   high_let_weight=20)
    from_file = qm.annual_doses(EXAMPLE, **options)
    intakes = pd.read_csv(EXAMPLE, dtype=str, keep_default_na=False)
    intakes["start"] = pd.to_datetime(intakes["start"])
    from_frame = qm.annual_doses(intakes, **options)
    by_intake = qm.annual_doses(EXAMPLE, by_intake=True, **options)
    for frame, name in [(from_file, "annual_doses.csv"), (from_frame, "annual_doses.csv"),
                        (by_intake, "annual_doses_by_intake.csv")]:
        expected = read_csv(tmp_path / name)
        assert list(frame.columns) == list(expected.columns)
        assert len(frame) == len(expected) > 0
        pd.testing.assert_frame_equal(frame, expected, check_exact=True, obj=name)


def test_annual_dose_errors_carry_the_batch_message(data_dir, tmp_path):
    bad = tmp_path / "bad.csv"
    bad.write_text(EXAMPLE.read_text().replace("1986-04-28", "1986-02-30")
                   .replace("Pu-239", "Xx-1"))
    lines = run_batch("--intakes", bad, "--data-dir", data_dir).stderr.splitlines()
    expected = [line.removeprefix("quillmore-batch: ") for line in lines[:-1]]
    with pytest.raises(ValueError) as caught:
        qm.annual_doses(bad, data_dir=data_dir)
    assert caught.value.args[0].splitlines() == expected and len(expected) == 2
    # A frame's bad rows are those of the CSV file written from it, on its lines.
    frame = pd.read_csv(EXAMPLE, dtype=str, keep_default_na=False)
    frame["birth_date"] = pd.to_datetime(frame["birth_date"])
    frame["start"] = pd.to_datetime(frame["start"]).where(frame.index != 5)
    activity = frame["activity_bq"].astype(float).where(frame.index != 4, -0.1)
    frame["activity_bq"] = activity.astype("float32")  # written at its own precision
    frame.loc[1, "person"] = "W-001\nx"
    written = tmp_path / "frame.csv"
    frame.to_csv(written, index=False, date_format="%Y-%m-%d")
    lines = run_batch("--intakes", written, "--data-dir", data_dir).stderr.splitlines()
    expected = ["intakes" + line.removeprefix(f"quillmore-batch: {written}") for line in lines[:-1]]
    with pytest.raises(ValueError) as caught:
        qm.annual_doses(frame, data_dir=data_dir)
    assert caught.value.args[0].splitlines() == expected and len(expected) == 2
    for regions in ["spleenx", "all,lung"]:  # "all" stands only for the whole list
        with pytest.raises(qm.UnknownNameError) as caught:
            qm.annual_doses(EXAMPLE, data_dir=data_dir, regions=regions)
        assert caught.value.args[0] == batch_message(
            run_batch("--intakes", EXAMPLE, "--data-dir", data_dir, "--regions", regions))
    with pytest.raises(qm.DataError):
        qm.annual_doses(tmp_path / "missing.csv", data_dir=data_dir)


@pytest.mark.filterwarnings("ignore:.*marked unbounded")
def test_grouped_doses_are_the_by_intake_rows_summed(data_dir):
    intakes = pd.read_csv(EXAMPLE, dtype=str, keep_default_na=False)
    # A last row before W-002's first Cs-137 and first inhalation: both groups
    # then reach back to 2008.
    earlier = intakes.iloc[[3]].assign(nuclide="Cs-137", form="F", start="2008-06-01", end="",
                                       activity_bq="1000")
    intakes = pd.concat([intakes, earlier], ignore_index=True)
    regions = [30, 1, 15]
    options = dict(data_dir=data_dir, until=2250, regions=regions, tail="cubic")
    parts = qm.annual_doses(intakes, by="intake", **options)
    worst = ["none", "bounded", "unbounded"]
    parts["rank"] = parts.extrapolation.astype(str).map(worst.index)
    part_fields = ["row", "nuclide", "intake", "form", "form_code", "age_group", "part_start",
                   "part_end"]
    doses = ["low_let_gy", "high_let_gy", "low_let_tail_gy", "high_let_tail_gy"]
    for by, column in [("nuclide", "nuclide"), ("route", "intake")]:
        frame = qm.annual_doses(intakes, by=by, **options)
        fields = [c for c in parts.columns if c not in part_fields + ["rank"]]
        assert list(frame.columns) == fields[:2] + [column] + fields[2:]
        keys = ["person", column, "year", "region"]
        summed = (parts.groupby(keys, sort=False, observed=True)
                  .agg(**{d: (d, "sum") for d in doses}, rank=("rank", "max"),
                       ranks=("rank", "nunique"), count=("rank", "size"))
                  .reset_index())
        # By person and group in order of first appearance, then year and region.
        person = {p: i for i, p in enumerate(pd.unique(parts.person))}
        group = {g: i for i, g in enumerate(pd.unique(list(zip(parts.person, parts[column]))))}
        summed["order"] = [(person[p], group[(p, g)], y, regions.index(r)) for p, g, y, r
                           in zip(summed.person, summed[column], summed.year, summed.region)]
        summed = summed.sort_values("order").reset_index(drop=True)
        assert (frame[keys].astype(object).values == summed[keys].astype(object).values).all(), by
        for d in doses:
            assert np.allclose(frame[d], summed[d], rtol=1e-15, atol=0), (by, d)
        assert (frame.extrapolation.astype(str).map(worst.index) == summed["rank"]).all(), by
        # Not vacuous: sums of several parts, of parts with different statuses.
        assert (summed["count"] > 1).any() and (summed.ranks > 1).any(), by
        assert frame[(frame.person == "W-002") & (frame[column] == ("Cs-137" if by == "nuclide"
                     else "inhalation"))].year.min() == 2008
    for bad in [dict(by="age"), dict(by="nuclide", by_intake=True)]:
        with pytest.raises(ValueError):
            qm.annual_doses(intakes, **options, **bad)


def test_gzip_files_read_as_they_are_and_do_not_depend_on_jobs(data_dir, tmp_path):
    header = b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03"  # no name, time 0, OS 3
    runs = {}
    for name, extra in [("plain", ["--jobs", "2"]), ("jobs1", ["--jobs", "1", "--compress", "gzip"]),
                        ("jobs2", ["--jobs", "2", "--compress", "gzip"])]:
        out = tmp_path / name
        assert run_batch("--intakes", EXAMPLE, "--data-dir", data_dir, "--output-dir", out,
                         "--quiet", "--until", "2030", "--by", "nuclide,route,intake",
                         *extra).returncode in (0, 1)
        assert run_batch("--data-set", "h", "--data-dir", data_dir, "--output-dir",
                         out / "tables", "--quiet", "--format", "csv,json", "--curves",
                         "Cs-137", "Pu-239", *extra).returncode in (0, 1)
        runs[name] = {str(p.relative_to(out)): p.read_bytes()
                      for p in out.rglob("*") if p.is_file()}
    plain, gz = runs["plain"], runs["jobs1"]
    csvs = sorted(name for name in plain if name.endswith(".csv"))
    assert len(csvs) == 8
    assert sorted(gz) == sorted(name + ".gz" if name in csvs else name for name in plain)
    for name in csvs:
        assert gz[name + ".gz"] == runs["jobs2"][name + ".gz"], name
        assert gz[name + ".gz"][:10] == header, name
        assert gzip.decompress(gz[name + ".gz"]) == plain[name], name
    for manifest in ["quillmore-run.json", "tables/quillmore-run.json"]:
        record = json.loads(gz[manifest])
        folder = pathlib.Path(manifest).parent
        for file in record["files"]:
            bytes_ = gz[str(folder / file["name"])]
            assert file["sha256"] == hashlib.sha256(bytes_).hexdigest() and \
                file["size"] == len(bytes_)
        options = record["provenance"].get("options", record["provenance"])
        assert options["compress"] == "gzip"
    by_nuclide = qm.annual_doses(EXAMPLE, data_dir=data_dir, until=2030, by="nuclide")
    expected = read_csv(tmp_path / "jobs1" / "annual_doses_by_nuclide.csv.gz")
    assert len(by_nuclide) > 0 and (by_nuclide == expected).all().all()


def test_dates_pandas_cannot_hold_are_refused_naming_them(data_dir, tmp_path):
    # datetime64[ns] holds 1677-09-21 to 2262-04-11; the module takes whole years within.
    cases = [  # birth, start, end, by_intake: the date refused, None if accepted
        ("1678-01-01", "1700-03-01", "", True, None),
        ("1677-12-31", "1700-03-01", "", False, "1677-12-31"),
        ("1950-01-01", "2261-06-01", "2261-12-31", True, None),
        ("1950-01-01", "2261-06-01", "2262-01-01", True, "2262-01-01"),
        ("1950-01-01", "2262-01-01", "", False, None),  # no part dates in the annual frame
        ("1950-01-01", "2262-01-01", "", True, "2262-01-01"),
    ]
    path = tmp_path / "intakes.csv"
    for birth, start, end, by_intake, refused in cases:
        path.write_text("person,birth_date,nuclide,intake,form,start,end,activity_bq\n"
                        f"W-9,{birth},Cs-137,ingestion,1,{start},{end},1000\n")
        call = dict(data_dir=data_dir, regions="1", by_intake=by_intake)
        if refused is None:
            frame = qm.annual_doses(path, **call)
            assert frame.birth_date.iloc[0] == pd.Timestamp(birth)
            if by_intake:
                assert frame.part_start.iloc[0] == pd.Timestamp(start)
                last = frame.part_end.iloc[0]
                assert last == pd.Timestamp(end) if end else last is pd.NaT
            continue
        with pytest.raises(ValueError, match=f'person "W-9": .*{refused} is outside'):
            qm.annual_doses(path, **call)
        assert run_batch("--intakes", path, "--data-dir", data_dir, "--regions", "1", "--quiet",
                         "--by-intake", "--output-dir", tmp_path / "out").returncode in (0, 1)
