"""Exceptions, warnings and notes as Python users expect them, worded as the batch words them."""
import logging
import warnings
from concurrent.futures import ThreadPoolExecutor

import pytest

import quillmore as qm
from conftest import batch_message, run_batch


def test_errors_carry_the_batch_message(data_dir, tmp_path):
    ds = qm.open(data_dir, "h")
    common = ["--data-dir", data_dir, "--data-set", "h"]
    cases = [  # call, batch arguments, exception
        (lambda: qm.open(tmp_path / "nowhere", "h"),
         ["--data-dir", tmp_path / "nowhere", "--data-set", "h", "Am-241"], qm.DataError),
        (lambda: ds.coefficients(["Am-241", "Xx-99"]), common + ["Xx-99"], qm.UnknownNameError),
        (lambda: ds.coefficients("Am-241", regions="1,Spleenx"),
         common + ["--regions", "1,Spleenx", "Am-241"], qm.UnknownNameError),
        (lambda: ds.coefficients("Am-241", ages=["adult", "elder"]),
         common + ["--ages", "adult,elder", "Am-241"], qm.UnknownNameError),
        (lambda: ds.curve("Xx-99", "adult", 1, "lung"), common + ["Xx-99"], qm.UnknownNameError),
        (lambda: ds.coefficients("Am-241", ages="1,1"), common + ["--ages", "1,1", "Am-241"],
         ValueError),
        (lambda: qm.open(data_dir, "skin"), ["--data-set", "skin"], ValueError),
    ]
    for call, args, error in cases:
        with pytest.raises(error) as caught:
            call()
        assert caught.value.args[0] == str(caught.value) == batch_message(run_batch(*args))
    assert issubclass(qm.DataError, OSError)
    assert issubclass(qm.UnknownNameError, KeyError) and issubclass(qm.UnknownNameError, ValueError)


def test_bad_arguments_and_data(data_dir, tmp_path):
    ds = qm.open(data_dir, "g")
    for call in [lambda: ds.coefficients("Am-241", periods=[1, -7]),
                 lambda: ds.coefficients("Am-241", periods=[]),
                 lambda: ds.coefficients("Am-241", periods=[1], times="x.ini"),
                 lambda: ds.curve("Am-241", "adult", 9, "lung"),
                 lambda: ds.curve("Am-241", "all", 1, "lung"),
                 lambda: ds.curve("Am-241", "adult", 1, "lung").dose([float("nan")])]:
        with pytest.raises(ValueError) as caught:
            call()
        assert not isinstance(caught.value, qm.UnknownNameError)
    times = tmp_path / "bad.ini"
    times.write_text("START\nEND\n")
    with pytest.raises(qm.DataError, match="bad.ini"):
        ds.coefficients("Am-241", times=times)
    with pytest.raises(qm.DataError):
        ds.coefficients("Am-241", times=tmp_path / "missing.ini")


def test_warnings_and_notes(data_dir, caplog):
    inhalation, ingestion = qm.open(data_dir, "h"), qm.open(data_dir, "g")
    only = (set(ingestion.nuclides()) - set(inhalation.nuclides())).pop()
    expected = batch_message(run_batch("--data-dir", data_dir, "--data-set", "h", only))
    with pytest.warns(qm.QuillmoreWarning) as caught:
        frame = inhalation.coefficients(only)
    assert [str(w.message) for w in caught] == [expected] and len(frame) == 0
    single = inhalation.curve("Be-7", "adult", 1, 1)
    assert single.single_point
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(qm.QuillmoreWarning, match=only):
            inhalation.coefficients(only)
        with pytest.raises(qm.QuillmoreWarning, match="single time point"):
            single.dose([1.0])
    with caplog.at_level(logging.INFO, logger="quillmore"):
        inhalation.coefficients("Be-7", ages="adult")
    assert caplog.records and caplog.records[0].name == "quillmore"
    assert "one time point" in caplog.records[0].getMessage()


def test_thread_pool_gives_the_results_of_one_thread(data_dir):
    ds = qm.open(data_dir, "h")
    names = ds.nuclides()
    periods = [1, 30, 18250]

    def shared(name):
        return ds.coefficients(name, periods=periods)

    def own(name):
        return qm.open(data_dir, "h").coefficients(name, periods=periods)

    with warnings.catch_warnings():
        warnings.simplefilter("ignore", qm.QuillmoreWarning)
        alone = [shared(name) for name in names]
        with ThreadPoolExecutor(4) as pool:
            for results in (list(pool.map(shared, names)), list(pool.map(own, names))):
                assert all(a.equals(b) for a, b in zip(alone, results))
