"""Frames and curves against the batch's CSV files, value for value."""
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
    assert list(frame.columns) == list(expected.columns) == list(qm.COEFFICIENT_COLUMNS)
    assert len(frame) == len(expected) > 0
    assert (frame == expected).all().all()
    for column in frame.select_dtypes(object):
        assert frame[column].map(type).eq(str).all(), column
    assert frame.age_group.cat.ordered
    assert list(frame.age_group.cat.categories) == list(qm.AGE_GROUPS)


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


def test_curve_takes_a_form_as_an_intake_file_names_it(data_dir):
    """form= by number, by code in any case, an f1 by value in any notation."""
    for kind in ["h", "g"]:
        ds = qm.open(data_dir, kind)
        for nuclide in ds.nuclides()[:15]:
            forms = ds.forms(nuclide)
            adult = forms[forms.age_group == qm.AGE_GROUPS[-1]]
            unique = adult[~adult.form_code.duplicated(keep=False) & (adult.form_code != "")]
            for number, code in zip(unique.form, unique.form_code):
                typed = [code.lower(), code.upper()]
                if kind == "g":
                    value = float(code)
                    typed = [value, f"{value:.6E}", repr(value)]
                for form in typed:
                    assert ds.curve(nuclide, "adult", form, 1).form == number, (nuclide, form)
    with pytest.raises(ValueError, match=r'form "Q": no such form; its forms: 1 \(F\)'):
        qm.open(data_dir, "h").curve("Cs-137", "adult", "Q", 1)


def test_curve_rate_passes_through_the_tabulated_points(data_dir):
    curve = qm.open(data_dir, "h").curve("Am-241", "adult", 2, "Lung")
    low, high = curve.rate(curve.times)
    assert np.allclose(low, curve.rates_low, rtol=1e-14, atol=0)
    assert np.allclose(high, curve.rates_high, rtol=1e-14, atol=0)
    assert len(curve.times) > 2 and curve.region_name == "Lung"
