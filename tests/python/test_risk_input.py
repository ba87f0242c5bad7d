"""risk_input.csv of quillmore-batch --format risk, read as a risk
calculator's data frame and checked against the annual doses, the doses by
intake and the sites file, each value recomputed here in numpy."""
import gzip
import json
import pathlib

import numpy as np
import pandas as pd

import quillmore as qm
from conftest import read_csv, run_batch

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "doc" / "examples"
SITES = EXAMPLES / "sites-sample.csv"
# The documented uncertain intakes (U female, T male) and E, a man whose one
# intake is exact.
INTAKES = ((EXAMPLES / "uncertain-intakes.csv").read_text()
           + "E,1975-03-01,Cs-137,h,F,2001-02-01,,1000,,m\n")

# The columns as a risk calculator's data frame holds them.
RISK_TYPES = {"pid": str, "sex": "category", "birth": np.int64, "exposure": np.int64,
              "age": np.int64, "site": "category", "radiation": "category",
              "exposure_rate": "category", "dosedist": "category",
              "dose1": np.float64, "dose2": np.float64, "dose3": np.float64}


def read_risk(path):
    return pd.read_csv(path, dtype=RISK_TYPES, float_precision="round_trip")


def expected_rows(annual, by_intake, gsds, sites, persons, scale, names):
    """The rows risk_input.csv should hold, in its order, from the files'
    own values: each site's per-intake terms c_i = sum_r w_r c_i(r), the
    exact mean and variance of sum c_i A_i, the matched lognormal."""
    rows = []
    order = list(dict.fromkeys(sites["site"]))
    for person, sex in persons:
        years = sorted(annual.loc[annual.person == person, "year"].unique())
        for year in years:
            for site in order:
                regions = sites[sites.site == site]
                wanted = regions["sex"].iloc[0]
                if isinstance(wanted, str) and wanted != sex:
                    continue
                for radiation, column in ((names[0], "high_let_gy"), (names[1], "low_let_gy")):
                    value = 0.0
                    terms = {}
                    for region, weight in zip(regions["region"], regions["weight"]):
                        cell = annual[(annual.person == person) & (annual.year == year)
                                      & (annual.region_name == region)]
                        assert len(cell) == 1, (person, year, region)
                        value += weight * cell[column].iloc[0]
                        parts = by_intake[(by_intake.person == person)
                                          & (by_intake.year == year)
                                          & (by_intake.region_name == region)]
                        for row, dose in zip(parts["row"], parts[column]):
                            terms[row] = terms.get(row, 0.0) + weight * dose
                    s2 = np.array([np.log(gsds[row]) ** 2 for row in terms])
                    c = np.array(list(terms.values()))
                    mean = np.sum(c * np.exp(s2 / 2))
                    if not mean > 0:
                        continue
                    var = np.sum(c ** 2 * np.exp(s2) * np.expm1(s2))
                    if var == 0:
                        rows.append((person, year, site, radiation, "fixedvalue",
                                     value * scale, np.nan))
                    else:
                        sigma2 = np.log1p(var / mean ** 2)
                        rows.append((person, year, site, radiation, "lognormal",
                                     mean / np.exp(sigma2 / 2) * scale,
                                     np.exp(np.sqrt(sigma2))))
    return rows


def test_risk_input_follows_the_annual_doses_and_the_sites(data_dir, tmp_path):
    intakes = tmp_path / "intakes.csv"
    intakes.write_text(INTAKES)
    out = tmp_path / "out"
    result = run_batch("--data-dir", data_dir, "--intakes", intakes, "--output-dir", out,
                       "--until", 2030, "--format", "csv,risk", "--by", "intake",
                       "--sites", SITES, "--risk-unit", "cGy",
                       "--radiation-names", "electrons E>15keV,photons")
    assert result.returncode == 0, result.stderr
    risk = read_risk(out / "risk_input.csv")
    assert list(risk.columns) == list(RISK_TYPES)
    assert all(risk[name].dtype == np.int64 for name in ("birth", "exposure", "age"))
    assert (risk["age"] == risk["exposure"] - risk["birth"]).all()
    assert set(risk["exposure_rate"]) == {"chronic"} and risk["dose3"].isna().all()
    assert risk["dose2"].isna().equals(risk["dosedist"] == "fixedvalue")
    assert dict(zip(risk["pid"], risk["sex"])) == {"U": "female", "T": "male", "E": "male"}
    # Women's sites only for women.
    assert set(risk.loc[risk.sex == "male", "site"]).isdisjoint({"breast", "ovary", "uterus"})
    assert {"breast", "ovary", "uterus"} <= set(risk.loc[risk.sex == "female", "site"])

    annual = read_csv(out / "annual_doses.csv")
    by_intake = read_csv(out / "annual_doses_by_intake.csv")
    table = pd.read_csv(intakes, dtype=str, keep_default_na=False)
    gsds = {line + 2: float(gsd or 1) for line, gsd in enumerate(table["activity_gsd"])}
    sites = pd.read_csv(SITES, keep_default_na=False, na_values={"sex": [""]})
    # The sample data's region names as the annual rows give them.
    names = dict(zip(annual["region"], annual["region_name"].astype(str)))
    aliases = {"Lung": names[30], "Rest Body": names[29]}
    sites["region"] = [aliases.get(region, region) for region in sites["region"]]
    expected = expected_rows(annual, by_intake, gsds, sites,
                             [("U", "female"), ("T", "male"), ("E", "male")], 100,
                             ("electrons E>15keV", "photons"))
    got = list(zip(risk["pid"], risk["exposure"], risk["site"].astype(str),
                   risk["radiation"].astype(str), risk["dosedist"].astype(str)))
    assert got == [row[:5] for row in expected]
    want = np.array([row[5:] for row in expected], dtype=float)
    np.testing.assert_allclose(risk["dose1"], want[:, 0], rtol=1e-12, atol=0)
    np.testing.assert_allclose(risk["dose2"], want[:, 1], rtol=1e-12, atol=0)
    assert {"fixedvalue", "lognormal"} <= set(risk["dosedist"])
    assert set(risk.loc[risk.pid == "E", "dosedist"]) == {"fixedvalue"}

    # Risk alone computes the sites' regions only and writes no annual
    # file; gzip compresses it; the default unit is mGy.
    alone = tmp_path / "alone"
    result = run_batch("--data-dir", data_dir, "--intakes", intakes, "--output-dir", alone,
                       "--until", 2030, "--format", "risk", "--sites", SITES,
                       "--compress", "gzip")
    assert result.returncode == 0, result.stderr
    assert sorted(p.name for p in alone.iterdir()) == ["quillmore-run.json",
                                                       "risk_input.csv.gz"]
    with gzip.open(alone / "risk_input.csv.gz", "rt") as file:
        milli = read_risk(file)
    assert list(milli["radiation"].cat.categories) == ["alpha", "low-LET"]
    assert list(milli["site"]) == list(risk["site"])
    np.testing.assert_allclose(milli["dose1"], 10 * risk["dose1"], rtol=1e-15, atol=0)
    assert milli["dose2"].equals(risk["dose2"])
    manifest = (alone / "quillmore-run.json").read_text()
    assert '"risk_unit": "mGy"' in manifest and "risk_input.csv.gz" in manifest
    computed = [r["region_name"] for r in json.loads(manifest)["provenance"]["options"]["regions"]]
    assert computed == list(dict.fromkeys(sites["region"]))

    # The module gives the same frame, typed as the file reads.
    frame = qm.risk_input(table, SITES, data_dir=data_dir, until=2030, unit="cGy",
                          radiation_names=("electrons E>15keV", "photons"))
    pd.testing.assert_frame_equal(frame, risk, check_categorical=False)
    for name in ("sex", "site", "radiation", "exposure_rate", "dosedist"):
        assert isinstance(frame[name].dtype, pd.CategoricalDtype), name


def test_bad_sites_and_persons_without_sex_are_bad_rows(data_dir, tmp_path):
    intakes = tmp_path / "intakes.csv"
    intakes.write_text(INTAKES.replace("3000,3.0,M", "3000,3.0,"))
    sites = tmp_path / "sites.csv"
    sites.write_text("site,region,weight\nlung,Lungs,1\nliver,11,1\n")
    out = tmp_path / "out"
    result = run_batch("--data-dir", data_dir, "--intakes", intakes, "--output-dir", out,
                       "--format", "risk", "--sites", sites)
    assert result.returncode == 2
    assert f'{sites}:2: column "region": ' in result.stderr
    assert not out.exists()
    sites.write_text("site,region,weight\nlung,Lung,1\n")
    result = run_batch("--data-dir", data_dir, "--intakes", intakes, "--output-dir", out,
                       "--format", "risk", "--sites", sites)
    assert result.returncode == 2
    assert (f'{intakes}:6: column "sex": is empty; the rows for a risk calculator need each '
            "person's sex") in result.stderr
    assert not out.exists()
