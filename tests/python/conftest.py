"""Fixtures of the Python module's tests: a sample data folder and the batch
program, both from the build folder that ctest names."""
import os
import pathlib
import subprocess

import pandas as pd
import pytest

import quillmore as qm

BUILD = pathlib.Path(os.environ["QUILLMORE_BINARY_DIR"])


# The call of doc/python.md ("Reading the batch's CSV back"), as written there.
TYPES = {"person": str, "period_days": float,
         "age_group": pd.CategoricalDtype(qm.AGE_GROUPS, ordered=True),
         **dict.fromkeys(["nuclide", "intake", "form_code", "form_label", "region_name",
                          "extrapolation"], "category"),
         **dict.fromkeys(["low_let_gy_per_bq", "high_let_gy_per_bq", "low_let_gy", "high_let_gy",
                          "weighted_gy", "low_let_tail_gy", "high_let_tail_gy"], float)}


def read_csv(path):
    """A CSV of quillmore-batch, read as the documentation tells users to."""
    csv = pd.read_csv(path, dtype=TYPES, float_precision="round_trip", keep_default_na=False)
    for name in csv.columns.intersection(["birth_date", "part_start", "part_end"]):
        csv[name] = pd.to_datetime(csv[name])
    return csv


def run_batch(*args):
    return subprocess.run([BUILD / "src" / "quillmore-batch", *map(str, args)],
                          capture_output=True, text=True)


def batch_message(result):
    """The batch's last stderr line without its program prefix, kind and
    pointer to --help, which Python callers have no use for."""
    line = result.stderr.strip().splitlines()[-1]
    return module_words(line.removeprefix("quillmore-batch: ").removeprefix("warning: ")
                        .removesuffix(" (see --help)"))


def module_words(text):
    """A batch message as the module words it: its parameters for the options."""
    for option, parameter in [("(see --list-regions)", "(see regions())"),
                              (" in --regions", " in regions="), (" in --ages", " in ages="),
                              ("--until ", "until="), ("--times ", "times= ")]:
        text = text.replace(option, parameter)
    return text


@pytest.fixture(scope="session")
def data_dir(tmp_path_factory):
    folder = tmp_path_factory.mktemp("sample") / "DATA"
    subprocess.run([BUILD / "tools" / "quillmore-sample-data", "--out", folder], check=True,
                   stdout=subprocess.DEVNULL)
    return folder
