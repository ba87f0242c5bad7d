"""Doses of uncertain intakes: the Monte Carlo recipe of doc/python.md, run as
written, against the exact moments; a history without GSDs, exact."""
import os
import pathlib
import re

import numpy as np
import pandas as pd
import pytest

import quillmore as qm

DOC = pathlib.Path(__file__).resolve().parents[2] / "doc" / "python.md"

# The documented example: three uncertain intakes and two exact ones; U's
# Cs-137 is spread over the birthday at 7 (two parts, one draw), and two of
# U's intakes share 2015 and 2016.
INTAKES = (DOC.parent / "examples" / "uncertain-intakes.csv").read_text()


def recipe():
    """The Monte Carlo block of doc/python.md, as written there."""
    blocks = re.findall(r"```python\n(.*?)```", DOC.read_text(), re.S)
    return next(block for block in blocks if "default_rng" in block)


def test_monte_carlo_recipe_agrees_with_the_exact_moments(data_dir, tmp_path, monkeypatch):
    (tmp_path / "doc" / "examples").mkdir(parents=True)
    (tmp_path / "doc" / "examples" / "uncertain-intakes.csv").write_text(INTAKES)
    os.symlink(data_dir, tmp_path / "DATA")
    monkeypatch.chdir(tmp_path)
    names = {}
    exec(recipe(), names)
    n = len(names["factor"])
    assert n == 200_000
    exact = qm.annual_doses(pd.read_csv("doc/examples/uncertain-intakes.csv", dtype=str,
                                        keep_default_na=False),
                            data_dir="DATA", until=2030, distributions=True)
    # Values of one uncertain intake with an exact one beside it, of two
    # uncertain intakes (the spread one in two parts), and of another person.
    checked = 0
    for person, year, region, let in (("U", 2015, 30, "high"), ("U", 2016, 30, "low"),
                                      ("U", 2017, 11, "low"), ("U", 2016, 30, "high"),
                                      ("T", 2001, 30, "low")):
        row = exact[(exact.person == person) & (exact.year == year) & (exact.region == region)
                    & (exact.let == let)]
        assert len(row) == 1
        mean, sd = row["mean_gy"].iloc[0], row["sd_gy"].iloc[0]
        assert mean > 0 and sd > 0, (person, year, region, let)
        x = names["sampled"](person, year, region, f"{let}_let_gy")
        m, s2 = x.mean(), x.var()
        m4 = np.mean((x - m) ** 4)
        assert abs(m - mean) <= 4 * sd / np.sqrt(n), (person, year, region, let, m, mean)
        assert abs(s2 - sd ** 2) <= 4 * np.sqrt((m4 - s2 ** 2) / n), (person, year, region, let)
        checked += 1
    assert checked == 5


def test_without_gsds_every_intake_is_exact(data_dir):
    intakes = pd.read_csv(pd.io.common.StringIO(INTAKES), dtype=str, keep_default_na=False)
    intakes = intakes.drop(columns=["activity_gsd"])
    annual = qm.annual_doses(intakes, data_dir=data_dir, until=2030, regions="lung,liver")
    exact = qm.annual_doses(intakes, data_dir=data_dir, until=2030, regions="lung,liver",
                            distributions=True)
    assert list(exact.columns) == ["person", "birth_date", "year", "age", "region",
                                   "region_name", "let", "mean_gy", "sd_gy", "gm_gy", "gsd",
                                   "p05_gy", "p95_gy", "extrapolation"]
    assert list(exact["let"].cat.categories) == ["high", "low"]
    for name in ("region_name", "extrapolation"):
        assert isinstance(exact[name].dtype, pd.CategoricalDtype)
    assert exact["birth_date"].dtype == "datetime64[ns]"
    assert all(exact[c].dtype == np.float64 for c in ("mean_gy", "sd_gy", "gm_gy", "gsd"))
    # Low before high, in the order of annual_doses.csv.
    assert list(exact["let"][:2]) == ["low", "high"]
    low, high = exact[exact.let == "low"], exact[exact.let == "high"]
    for part, column in ((low, "low_let_gy"), (high, "high_let_gy")):
        values = annual[column].to_numpy()
        assert (part[["person", "year", "region"]].to_numpy() ==
                annual[["person", "year", "region"]].to_numpy()).all()
        assert (part["sd_gy"] == 0).all()
        above = values > 0
        assert above.any() and (~above).any()
        # Summed intake by intake rather than part by part: a rounding apart at most.
        assert np.allclose(part["mean_gy"], values, rtol=1e-15, atol=0)
        for name in ("gm_gy", "p05_gy", "p95_gy"):
            assert np.allclose(part[name][above], part["mean_gy"][above], rtol=1e-15, atol=0)
            assert part[name][~above].isna().all()
        assert (part["gsd"][above] == 1).all()
    with pytest.raises(ValueError, match="two files"):
        qm.annual_doses(intakes, data_dir=data_dir, distributions=True, by="nuclide")
