"""Frames and curves against the batch's CSV files, value for value."""
import pathlib
import warnings

import numpy as np
import pandas as pd
import pytest

import quillmore as qm
from conftest import read_csv, run_batch

# data set, nuclides (None: all), ages, regions, periods (None: the data folder's)
CASES = [
    ("inhalation", None, "all", "all", None),
    ("ingestion", None, "all", "all", None),
    ("h", ["Am-241", "Tc-99m", "Be-7"], "adult,Infant,10y", "Lung,liver,1", [0.5, 1, 365.25, 1e6]),
    ("g", ["Ce-144", "Am-241"], "15y,2", "30,rest body,2", [0, 7, 36500.5]),
]


@pytest.mark.parametrize("kind, nuclides, ages, regions, periods", CASES)
def test_frames_equal_batch_csv(data_dir, tmp_path, kind, nuclides, ages, regions, periods):
    ds = qm.open(data_dir, kind)
    args = ["--data-dir", data_dir, "--data-set", kind, "--format", "csv", "--quiet",
            "--output-dir", tmp_path, "--ages", ages, "--regions", regions]
    if periods is not None:
        times = tmp_path / "times.ini"
        times.write_text("START\n" + "\n".join(map(str, periods)) + "\nEND\n")
        args += ["--times", times]
    assert run_batch(*args, *(nuclides or ["--all"])).returncode in (0, 1)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", qm.QuillmoreWarning)
        frame = ds.coefficients(nuclides or "all", periods=periods, ages=ages.split(","),
                                regions=regions)
    letter = "H" if ds.data_set == "inhalation" else "G"
    expected = pd.concat([read_csv(tmp_path / f"{name}_{letter}.csv")
                          for name in nuclides or ds.nuclides()], ignore_index=True)
    # Categoricals of different categories concatenate to object, as doc/python.md says.
    expected = expected.astype({name: "category" for name in expected.select_dtypes(object)})
    assert list(frame.columns) == list(expected.columns) == list(qm.COEFFICIENT_COLUMNS)
    assert len(frame) == len(expected) > 0
    pd.testing.assert_frame_equal(frame, expected, check_exact=True)


def test_forms_and_regions_match_frames(data_dir):
    ds = qm.open(data_dir, "g")
    frame = ds.coefficients("Am-241", periods=[1], regions="1")
    forms = ds.forms("am-241")
    assert (forms == frame[list(forms.columns)]).all().all()
    regions = ds.regions()
    assert list(regions.region) == list(range(1, 31))
    assert regions.region_name[28] == "Remainder" and regions.region_name[29] == "Lung"


@pytest.mark.parametrize("kind, nuclide", [("h", "Am-241"), ("g", "Ce-144"), ("h", "Be-7")])
def test_curve_dose_equals_coefficients(data_dir, kind, nuclide):
    ds = qm.open(data_dir, kind)
    periods = [0.25, 1, 7, 365, 18250, 36500]
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", qm.QuillmoreWarning)
        frame = ds.coefficients(nuclide, periods=periods, ages="infant,adult",
                                regions="1,lung,5")
        for (age, form, region), rows in frame.groupby(["age_group", "form", "region"],
                                                       observed=True):
            curve = ds.curve(nuclide, age, form, region)
            assert curve.form_code == rows.form_code.iloc[0]
            low, high = curve.dose(rows.period_days)
            assert (low == rows.low_let_gy_per_bq).all() and (high == rows.high_let_gy_per_bq).all()
            grid = np.array([[1.0, 2.0], [3.0, 4.0]])
            assert curve.dose(grid)[0].shape == curve.rate(grid)[1].shape == (2, 2)
            if curve.single_point:
                assert (low == curve.rates_low[0]).all()


def test_curve_rate_passes_through_the_tabulated_points(data_dir):
    curve = qm.open(data_dir, "h").curve("Am-241", "adult", 2, "Lung")
    low, high = curve.rate(curve.times)
    assert np.allclose(low, curve.rates_low, rtol=1e-14, atol=0)
    assert np.allclose(high, curve.rates_high, rtol=1e-14, atol=0)
    assert len(curve.times) > 2 and curve.region_name == "Lung"


def test_every_frame_types_its_columns_by_name(data_dir, tmp_path):
    example = pathlib.Path(__file__).parents[2] / "doc" / "examples" / "intakes.csv"
    # Cs-137 alone: high_let_gy all 0, which read_csv left alone reads as int64.
    cs137 = tmp_path / "cs137.csv"
    cs137.write_text("person,birth_date,nuclide,intake,form,start,end,activity_bq\n"
                     "007,1961-04-12,Cs-137,ingestion,1,1986-05-01,1987-05-01,120000\n")
    assert run_batch("--intakes", cs137, "--data-dir", data_dir, "--output-dir", tmp_path,
                     "--quiet", "--until", "2000").returncode in (0, 1)
    ds = qm.open(data_dir, "g")
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", qm.QuillmoreWarning)
        frames = {
            "coefficients": ds.coefficients(["Cs-137", "Am-241"], periods=[1, 7],
                                            ages="adult,infant", regions="1,lung"),
            "regions": ds.regions(),
            "forms": ds.forms("Am-241"),
            "annual": qm.annual_doses(example, data_dir=data_dir, until=2030, regions="1,30",
                                      high_let_weight=20),
            "by_intake": qm.annual_doses(example, data_dir=data_dir, until=2030, regions="1,30",
                                         by_intake=True),
            "cs137": qm.annual_doses(cs137, data_dir=data_dir, until=2000),
        }
    categorical = {"nuclide", "intake", "form_code", "form_label", "region_name", "extrapolation"}
    for frame_name, frame in frames.items():
        for name, column in frame.items():
            where = f"{frame_name}.{name}"
            if name == "age_group":
                assert column.dtype == pd.CategoricalDtype(qm.AGE_GROUPS, ordered=True), where
            elif name in categorical:
                assert column.dtype.name == "category" and not column.cat.ordered, where
                assert list(column.cat.categories) == sorted(set(column.astype(str))), where
            elif name.endswith("_gy") or name.endswith("_gy_per_bq") or name == "period_days":
                assert column.dtype == np.float64, where
            elif name in ("birth_date", "part_start", "part_end"):
                assert column.dtype == np.dtype("datetime64[ns]"), where
            elif name == "person":
                assert column.dtype == object and column.map(type).eq(str).all(), where
            else:
                assert column.dtype == np.int64, where
    by_intake = frames["by_intake"]
    intakes = pd.read_csv(example, dtype=str, keep_default_na=False).iloc[by_intake.row - 2]
    assert (by_intake.part_end.isna().to_numpy() == (intakes.end == "").to_numpy()).all()
    assert (by_intake.birth_date.dt.strftime("%Y-%m-%d").to_numpy()
            == intakes.birth_date.to_numpy()).all()
    cs = frames["cs137"]
    assert len(cs) > 0 and (cs.high_let_gy == 0).all() and (cs.low_let_gy > 0).any()
    assert list(cs.person.unique()) == ["007"]
    pd.testing.assert_frame_equal(cs, read_csv(tmp_path / "annual_doses.csv"), check_exact=True)
