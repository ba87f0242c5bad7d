"""Annual doses of an intake history against the batch's --intakes files."""
import pathlib

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
        assert (frame == expected).all().all(), name
    assert list(by_intake.age_group.cat.categories) == list(qm.AGE_GROUPS)


def test_annual_dose_errors_carry_the_batch_message(data_dir, tmp_path):
    bad = tmp_path / "bad.csv"
    bad.write_text(EXAMPLE.read_text().replace("1986-04-28", "1986-02-30")
                   .replace("Pu-239", "Xx-1"))
    lines = run_batch("--intakes", bad, "--data-dir", data_dir).stderr.splitlines()
    expected = [line.removeprefix("quillmore-batch: ") for line in lines[:-1]]
    with pytest.raises(ValueError) as caught:
        qm.annual_doses(bad, data_dir=data_dir)
    assert caught.value.args[0].splitlines() == expected and len(expected) == 2
    # A frame's bad rows are those of the CSV file written from it, named by
    # the frame's rows.
    frame = pd.read_csv(EXAMPLE, dtype=str, keep_default_na=False)
    frame["birth_date"] = pd.to_datetime(frame["birth_date"])
    frame["start"] = pd.to_datetime(frame["start"]).where(frame.index != 5)
    activity = frame["activity_bq"].astype(float).where(frame.index != 4, -0.1)
    frame["activity_bq"] = activity.astype("float32")  # written at its own precision
    frame.loc[1, "person"] = "W-001\nx"
    frame.index = [f"r{i}" for i in range(len(frame))]
    written = tmp_path / "frame.csv"
    frame.to_csv(written, index=False, date_format="%Y-%m-%d")
    lines = run_batch("--intakes", written, "--data-dir", data_dir).stderr.splitlines()
    with pytest.raises(ValueError) as caught:
        qm.annual_doses(frame, data_dir=data_dir)
    places, texts = zip(*(line.split(": ", 1) for line in caught.value.args[0].splitlines()))
    assert places == ("DataFrame row 4 (index r4)", "DataFrame row 5 (index r5)")
    assert list(texts) == [line.split(": ", 2)[2] for line in lines[:-1]]
    for regions in ["spleenx", "all,lung"]:  # "all" stands only for the whole list
        with pytest.raises(qm.UnknownNameError) as caught:
            qm.annual_doses(EXAMPLE, data_dir=data_dir, regions=regions)
        assert caught.value.args[0] == batch_message(
            run_batch("--intakes", EXAMPLE, "--data-dir", data_dir, "--regions", regions))
    with pytest.raises(qm.DataError, match=r"unable to read the intake file \S*missing\.csv: "
                                           "No such file or directory$"):
        qm.annual_doses(tmp_path / "missing.csv", data_dir=data_dir)


def test_data_frames_as_studies_keep_them(data_dir, caplog):
    """Extra columns, person as the index, datetimes only at midnight and
    without a time zone, errors naming the frame's rows."""
    frame = pd.read_csv(EXAMPLE, dtype=str, keep_default_na=False)
    expected = qm.annual_doses(EXAMPLE, data_dir=data_dir, until=2030)
    frame["start"] = pd.to_datetime(frame["start"])
    frame[" Cohort "] = 7
    indexed = frame.rename(columns={"birth_date": "Birth_Date"}).set_index("person")
    with caplog.at_level("INFO", logger="quillmore"):
        read = qm.annual_doses(indexed, data_dir=data_dir, until=2030)
    assert (read == expected).all().all() and len(read) > 0
    assert 'DataFrame: column "Cohort" is not known and ignored' in caplog.messages
    with pytest.raises(ValueError, match='"person" both as its index name and as a column'):
        qm.annual_doses(frame.set_index("person", drop=False), data_dir=data_dir)
    late = frame.copy()
    late.loc[2, "start"] += pd.Timedelta(hours=23, minutes=59)
    zoned = frame.copy()
    zoned["start"] = zoned["start"].dt.tz_localize("Europe/Berlin")
    bad_date = indexed.copy()
    bad_date["start"] = bad_date["start"].dt.strftime("%Y-%m-%d")
    bad_date.iloc[5, bad_date.columns.get_loc("start")] = "2023-02-30"
    for intakes, message in [
            (late, 'DataFrame row 2 (index 2): column "start": 1986-05-01 23:59:00 is not at '
                   "midnight: give a date"),
            (zoned, 'DataFrame row 0 (index 0): column "start": 1986-04-28 00:00:00+02:00 has a '
                    "time zone: give dates without one"),
            (bad_date, 'DataFrame row 5 (index W-003): column "start": "2023-02-30" is not a '
                       "date (YYYY-MM-DD)")]:
        with pytest.raises(ValueError) as caught:
            qm.annual_doses(intakes, data_dir=data_dir)
        assert caught.value.args[0] == message
