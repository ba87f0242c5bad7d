"""The Python examples of README.md and doc/python.md run as written, in a
folder laid out as they say: the source folder's doc/examples beside the
data folder DATA, and OUTPUT from the README's own batch commands."""
import os
import pathlib
import re
import shutil
import subprocess
import sys

import pytest

import quillmore

from conftest import BUILD

SOURCE = pathlib.Path(__file__).parents[2]
FENCED = re.compile(r"^```(\w*)\n(.*?)^```", re.S | re.M)


def blocks(document, language):
    return [text for kind, text in FENCED.findall((SOURCE / document).read_text())
            if kind == language]


@pytest.fixture(scope="module")
def folder(data_dir, tmp_path_factory):
    """The source folder's examples and the data, with the files the README's
    batch commands write; the installed example named by its source path."""
    here = tmp_path_factory.mktemp("docs")
    shutil.copytree(data_dir, here / "DATA")
    shutil.copytree(SOURCE / "doc" / "examples", here / "doc" / "examples")
    commands = [line for text in blocks("README.md", "")
                for line in re.sub(r"\\\n\s*", "", text).splitlines()
                if line.startswith("quillmore-batch --data-set h --format")
                or line.startswith("quillmore-batch --intakes")]
    assert len(commands) == 3, commands
    environment = dict(os.environ, PATH=f"{(BUILD / 'src').resolve()}:{os.environ['PATH']}")
    for command in commands:
        command = command.replace("/usr/share/doc/quillmore/examples/", "doc/examples/")
        assert subprocess.run(command, shell=True, cwd=here, env=environment,
                              stdout=subprocess.DEVNULL).returncode in (0, 1), command
    return here


def run(code, cwd):
    result = subprocess.run([sys.executable, "-c", code], cwd=cwd, capture_output=True,
                            text=True, env=dict(os.environ, MPLBACKEND="Agg",
                                     PYTHONPATH=str(pathlib.Path(quillmore.__file__).parents[1])))
    assert result.returncode == 0, f"{code}\n{result.stderr}"


def test_readme_python_examples_run(folder):
    examples = blocks("README.md", "python")
    assert len(examples) >= 3
    for code in examples:
        run(code, folder)


def test_python_md_session_runs(folder):
    # One session: each block goes on from the ones before it.
    session = blocks("doc/python.md", "python")
    assert len(session) >= 6
    run("\n".join(session), folder)
