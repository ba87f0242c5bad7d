"""Fixtures of the Python module's tests: a sample data folder and the batch
program, both from the build folder that ctest names."""
import os
import pathlib
import subprocess

import pandas as pd
import pytest

BUILD = pathlib.Path(os.environ["QUILLMORE_BINARY_DIR"])


def read_csv(path):
    """A CSV of quillmore-batch, read as the documentation tells users to."""
    return pd.read_csv(path, float_precision="round_trip",
                       dtype={"form_code": str, "form_label": str}, keep_default_na=False)


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
