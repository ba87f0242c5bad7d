"""The module on a hand-made data folder (synthetic.py): values against exact
rational arithmetic, and warnings and refusals whose lines and counts follow
from how the folder and inputs are made."""
import decimal
import warnings
from fractions import Fraction

import numpy as np
import pandas as pd
import pytest

import quillmore as qm
import synthetic
from conftest import read_csv, run_batch


@pytest.fixture(scope="module")
def folder(tmp_path_factory):
    return synthetic.write(tmp_path_factory.mktemp("synthetic") / "DATA")


@pytest.fixture(scope="module")
def exact(folder):
    return synthetic.Exact(folder)


def batch_warnings(result):
    prefix = "quillmore-batch: warning: "
    return [line.removeprefix(prefix) for line in result.stderr.splitlines()
            if line.startswith(prefix)]


def quiet_coefficients(ds, *args, **kwargs):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", qm.QuillmoreWarning)
        return ds.coefficients(*args, **kwargs)


def assert_exact(frame, exact):
    """Every row of Am-241 at its exact coefficients."""
    rows = frame[frame.nuclide == "Am-241"]
    assert len(rows) > 0
    for row in rows.itertuples():
        group = qm.AGE_GROUPS.index(row.age_group) + 1
        low, high = exact.coefficient(row.nuclide, "inhalation", group, 1, row.region,
                                      row.period_days)
        assert synthetic.close(row.low_let_gy_per_bq, low), row
        assert synthetic.close(row.high_let_gy_per_bq, high), row


def test_far_periods_unbounded_by_the_high_let_part_alone(folder, exact, tmp_path):
    periods = [0.25, 20, 30, 31, 45, 1000, 36500]
    times = tmp_path / "far.ini"
    synthetic.write_times(times, periods)
    assert run_batch("--data-dir", folder, "--data-set", "h", "--ages", "adult,infant",
                     "--regions", "1,29,30", "--times", times, "--format", "csv", "--quiet",
                     "--output-dir", tmp_path, "Am-241", "Be-7").returncode == 1
    frame = quiet_coefficients(qm.open(folder, "h"), ["Am-241", "Be-7"], periods=periods,
                               ages=["adult", "infant"], regions=[1, 29, 30])
    expected = pd.concat([read_csv(tmp_path / f"{name}_H.csv") for name in ["Am-241", "Be-7"]],
                         ignore_index=True)
    assert len(frame) == len(expected) == 3 * 7 * 3  # Am-241 adult and infant, Be-7 adult
    assert (frame == expected).all().all()
    assert_exact(frame, exact)
    integrated = frame[frame.nuclide == "Am-241"]
    judged = [exact.extrapolation("Am-241", "inhalation", qm.AGE_GROUPS.index(r.age_group) + 1,
                                  1, r.region, r.period_days) for r in integrated.itertuples()]
    worse = [max(pair, key=["none", "bounded", "unbounded"].index) for pair in judged]
    assert list(integrated.extrapolation) == worse
    high_alone = [pair == ("bounded", "unbounded") for pair in judged]
    assert 0 < sum(high_alone) < len(judged)
    assert "bounded" in worse and "none" in worse
    # The single time point's rows give its rate, as written: 29 x 5e-9 and 29 x 7e-9.
    single = frame[(frame.nuclide == "Be-7") & (frame.region == 29)]
    assert (single.low_let_gy_per_bq == 1.45e-7).all() and len(single) == 7
    assert (single.high_let_gy_per_bq == 2.03e-7).all()


def test_times_file_warnings(folder, exact, tmp_path):
    data = synthetic.write(tmp_path / "DATA", times_lines=["1", "18,250", "", "30"])
    ds = qm.open(data, "h")
    own = tmp_path / "own.ini"
    synthetic.write_times(own, ["2", "", "18,250"])
    for times, lines, periods in [(None, [3, 4], [1, 18, 0, 30]), (own, [3, 4], [2, 0, 18])]:
        path = data / "Quillmore.ini" if times is None else own
        with pytest.warns(qm.QuillmoreWarning) as caught:
            frame = ds.coefficients("Am-241", times=times, ages="adult", regions="1")
        texts = [str(w.message) for w in caught]
        assert [text.split(": ")[0] for text in texts[:2]] == [f"{path}:{n}" for n in lines]
        assert all(w.category is qm.QuillmoreWarning for w in caught)
        args = ["--data-dir", data, "--data-set", "h", "--ages", "adult", "--regions", "1",
                "--format", "csv", "--output-dir", tmp_path / "out", "Am-241"]
        if times is not None:
            args[:0] = ["--times", times]
        assert texts == batch_warnings(run_batch(*args))
        assert list(frame.period_days) == periods
        assert_exact(frame, exact)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        ds.coefficients("Am-241", periods=[1], ages="adult", regions="1")
        # Comments after the numbers, as the file's own example has them, are silent.
        synthetic.write_times(own, ["1 day", "2.5 days", "2.0D+01  20 days", "7\t"])
        frame = ds.coefficients("Am-241", times=own, ages="adult", regions="1")
    assert list(frame.period_days) == [1, 2.5, 20, 7]
    synthetic.write_times(own, ["36 500", "50 y"])
    with pytest.warns(qm.QuillmoreWarning) as caught:
        ds.coefficients("Am-241", times=own, ages="adult", regions="1")
    assert [str(w.message) for w in caught][:2] == [
        f'{own}:2: "36 500" is read as 36 d; "500" is ignored',
        f'{own}:3: "50 y" is read as 50 d; "y" is ignored']


def test_periods_limit_and_plain_integers(folder, exact):
    ds = qm.open(folder, "h")
    periods = [k * 0.75 for k in range(100)]
    frame = quiet_coefficients(ds, "Am-241", periods=periods, ages="adult", regions=2)
    assert list(frame.period_days) == periods
    assert_exact(frame, exact)
    with pytest.raises(ValueError) as caught:
        ds.coefficients("Am-241", periods=periods + [75], ages="adult", regions=2)
    assert not isinstance(caught.value, qm.UnknownNameError)
    for ages, regions, pairs in [
            (6, 30, [("Adult", 30)]),
            ([1, 6], [29, 1], [("Infant", 29), ("Infant", 1), ("Adult", 29), ("Adult", 1)]),
            (np.int64(1), (np.int32(3),), [("Infant", 3)])]:
        frame = quiet_coefficients(ds, "Am-241", periods=[7], ages=ages, regions=regions)
        assert list(zip(frame.age_group.astype(str), frame.region)) == pairs
        assert_exact(frame, exact)


def test_a_nuclide_named_twice_gives_its_rows_once(folder, exact):
    ds = qm.open(folder, "h")
    once = quiet_coefficients(ds, "Am-241", periods=[1, 7], ages="adult", regions=1)
    twice = quiet_coefficients(ds, ["Am-241", "am-241"], periods=[1, 7], ages="adult", regions=1)
    assert len(twice) == 2 and twice.equals(once)  # one form, two periods
    assert_exact(twice, exact)


def test_curve_values_and_negative_times(folder, exact):
    curve = qm.open(folder, "h").curve("Am-241", "adult", 1, 29)
    low_curve, high_curve = exact.curves("Am-241", "inhalation", 6, 1, 29)
    days = [0, 0.25, 2, 30, 45.5]
    for computed, reference in [(curve.dose(days), lambda c, t: c.dc(t)[0]),
                                (curve.rate(days), synthetic.rate)]:
        for value, want in zip(computed[0], [reference(low_curve, t) for t in days]):
            assert synthetic.close(value, want)
        for value, want in zip(computed[1], [reference(high_curve, t) for t in days]):
            assert synthetic.close(value, want)
    for call in [curve.dose, curve.rate]:
        for bad in ([-1.0], [2.0, -1e-9], np.array([[1.0, 2.0], [3.0, -4.0]])):
            with pytest.raises(ValueError):
                call(bad)
    # integrate: over [a, b] alone (the rate 0 before intake), broadcast, each
    # within 1e-13 of the exact difference; from intake bit for bit the dose.
    starts, ends = np.array([[-3.0], [0.0], [0.25], [2.0], [29.5]]), np.array([30.0, 45.5, 400.0])
    low, high = curve.integrate(starts, ends)
    assert low.shape == high.shape == (5, 3)
    for i, a in enumerate(starts[:, 0]):
        for j, b in enumerate(ends):
            for value, exact_curve in [(low[i, j], low_curve), (high[i, j], high_curve)]:
                want = exact_curve.dc(Fraction(b))[0] - exact_curve.dc(Fraction(a))[0]
                assert abs(Fraction(value) - want) <= abs(want) * Fraction(1, 10 ** 13), (a, b)
    periods = np.array([0.0, 0.5, 7.0, 45.5, 400.0, 1e5])
    for from_intake, dose in zip(curve.integrate(0, periods), curve.dose(periods)):
        assert np.array_equal(from_intake, dose)
    assert np.array_equal(curve.integrate(-5.0, 2.0)[1], curve.dose(2.0)[1])
    assert curve.integrate(-5.0, -1.0)[0] == 0
    for a, b in [(2.0, 1.0), ([0.0, 3.0], 2.0), (np.nan, 1.0), (0.0, np.inf)]:
        with pytest.raises(ValueError):
            curve.integrate(a, b)


def test_tail_past_the_data(folder, exact):
    """Am-241 adult region 29: high LET halves from 10 to 30 d, so its exponential
    tail halves every 20 d; low LET ends flat (1, 1), so its rate is kept."""
    ds = qm.open(folder, "h")
    periods = [10, 30, 31, 45.5, 1000, 36500]
    curve = ds.curve("Am-241", "adult", 1, 29, tail="exponential")
    frame = ds.coefficients("Am-241", periods=periods, ages="adult", regions=29,
                            tail="exponential")
    assert curve.tail == "exponential"
    assert list(frame.extrapolation) == ["none", "none"] + ["bounded"] * 4
    low, high = exact.curves("Am-241", "inhalation", 6, 1, 29)
    decimal.getcontext().prec = 50

    def dec(fraction):
        return decimal.Decimal(fraction.numerator) / decimal.Decimal(fraction.denominator)

    f_prev, f_last = dec(synthetic.rate(high, 10)), dec(synthetic.rate(high, 30))
    decay = (f_prev / f_last).ln() / 20
    doses = curve.dose(periods)
    rates = curve.rate(periods)
    for k, t in enumerate(periods):
        u = decimal.Decimal(max(t - 30, 0))
        at = Fraction(min(t, 30))
        want_high = dec(high.dc(at)[0]) + f_last / decay * (1 - (-decay * u).exp())
        want_low = low.dc(at)[0] + low.last_rate * Fraction(max(t - 30, 0))
        error = abs(decimal.Decimal(frame.high_let_gy_per_bq.iloc[k]) - want_high)
        assert error <= want_high * decimal.Decimal("1e-13")
        assert synthetic.close(frame.low_let_gy_per_bq.iloc[k], want_low)
        assert doses[1][k] == frame.high_let_gy_per_bq.iloc[k]
        if t > 30:  # far out the rate falls below the smallest double
            want_rate = f_last * (-decay * u).exp()
            error = abs(decimal.Decimal(rates[1][k]) - want_rate)
            assert error <= want_rate * decimal.Decimal("1e-13") + decimal.Decimal("1e-300")
            assert rates[0][k] == float(low.last_rate)
    zero = ds.coefficients("Am-241", periods=periods, ages="adult", regions=29, tail="zero")
    at_last = zero.high_let_gy_per_bq.iloc[1]
    assert (zero.high_let_gy_per_bq.iloc[1:] == at_last).all()
    cubic = quiet_coefficients(ds, "Am-241", periods=periods, ages="adult", regions=29)
    assert cubic.equals(quiet_coefficients(ds, "Am-241", periods=periods, ages="adult",
                                           regions=29, tail="cubic"))
    assert cubic.extrapolation.iloc[-1] == "unbounded"
    for call in [lambda: ds.coefficients("Am-241", periods=[1], tail="linear"),
                 lambda: ds.curve("Am-241", "adult", 1, 29, tail="Exponential")]:
        with pytest.raises(ValueError, match="tail="):
            call()


def intake_file(path, rows):
    path.write_text("person,birth_date,nuclide,intake,form,start,end,activity_bq\n"
                    + "".join(row + "\n" for row in rows))
    return path


def test_annual_doses_warn_as_the_batch_does(folder, exact, tmp_path):
    rows = ["P,1950-01-01,Am-241,inhalation,F,2000-03-01,,1000",
            "P,1950-01-01,Be-7,h,M,2001-05-05,,10"]
    path = intake_file(tmp_path / "intakes.csv", rows)
    with pytest.warns(qm.QuillmoreWarning) as caught:
        frame = qm.annual_doses(path, data_dir=folder, until=2002, regions=[1, 30], tail="cubic")
    texts = [str(w.message) for w in caught]
    # Line 2's high-LET curve leaves its data 30 d after intake, inside 2000;
    # line 3's block has a single time point and adds nothing.
    assert len(texts) == 2
    assert texts[0].startswith(f"{path}:3: Be-7 form 1 (M), age group Adult")
    assert "contributes nothing" in texts[0]
    assert texts[1].startswith(f"{path}:2: Am-241: past its last tabulated time")
    assert "doses from 2000 on are marked unbounded" in texts[1]
    batch = run_batch("--intakes", path, "--data-dir", folder, "--until", 2002, "--regions",
                      "1,30", "--tail", "cubic", "--output-dir", tmp_path / "out", "--quiet")
    assert sorted(texts) == sorted(batch_warnings(batch))
    # Only line 2 adds dose; the values of 1000 Bq from it alone, exactly.
    fields = "person,birth_date,nuclide,intake,form,start,end,activity_bq".split(",")
    values = synthetic.exact.expected(exact.data, [dict(zip(fields, rows[0].split(",")))],
                                      [1, 30], 2002)
    assert len(frame) == len(values) == 3 * 2
    for row in frame.itertuples():
        low, high = values[(row.person, row.year, row.region)]
        assert synthetic.close(row.low_let_gy, low) and synthetic.close(row.high_let_gy, high)
    assert list(frame.extrapolation) == ["unbounded"] * 6


def test_annual_doses_and_their_parts_past_the_data_by_tail(folder, exact, tmp_path, caplog):
    rows = ["P,1950-01-01,Am-241,inhalation,F,2000-03-01,,1000",
            "P,1950-01-01,Am-241,h,1,2000-06-01,2001-06-01,500"]
    path = intake_file(tmp_path / "intakes.csv", rows)
    fields = "person,birth_date,nuclide,intake,form,start,end,activity_bq".split(",")
    intakes = [dict(zip(fields, row.split(","))) for row in rows]
    doses = ["low_let_gy", "high_let_gy", "low_let_tail_gy", "high_let_tail_gy"]
    for tail in ["exponential", "zero", "cubic"]:
        caplog.clear()
        with warnings.catch_warnings(), caplog.at_level("INFO", logger="quillmore"):
            warnings.simplefilter("ignore", qm.QuillmoreWarning)  # unbounded under the cubic
            options = {} if tail == "exponential" else {"tail": tail}  # the default
            frame = qm.annual_doses(path, data_dir=folder, until=2004, regions=[1, 30], **options)
        assert list(frame.columns[6:]) == doses + ["extrapolation"]
        assert all(frame[column].dtype == np.float64 for column in doses)
        values = synthetic.exact.expected_parts(exact.data, intakes, [1, 30], 2004, tail)
        assert len(frame) == len(values) == 5 * 2
        for row in frame[frame.extrapolation != "unbounded"].itertuples():
            want = values[(row.person, row.year, row.region)]
            for column, exact_value in zip(doses, want):
                value = getattr(row, column)
                assert (abs(Fraction(value) - exact_value) <= abs(exact_value) / 10 ** 13
                        if exact_value else abs(value) <= 1e-30 * 1500), (tail, row, column)
        assert (frame.extrapolation != "unbounded").all() or tail == "cubic"
        notes = [record.getMessage() for record in caplog.records]
        # Both intakes run past the data's 30 d; region 1's low-LET rate ends flat.
        assert notes == [] if tail == "cubic" else len(notes) == 1
        if tail == "exponential":
            assert notes[0].startswith("2 of 2 intakes run past the last tabulated time of their "
                                       "data; past it the rate follows the exponential tail")
            assert notes[0].endswith("; 1 block whose last two rates do not fall keeps its last rate")
    with pytest.raises(ValueError, match="tail= takes exponential, zero or cubic"):
        qm.annual_doses(path, data_dir=folder, tail="linear")


def test_until_age_ends_each_person_and_warns_of_the_intakes_left_out(folder, exact, tmp_path):
    rows = ["P,1952-02-29,Am-241,inhalation,F,2000-03-01,,1000",  # 50 on 2002-03-01
            "P,1952-02-29,Am-241,h,1,2001-06-01,2003-06-01,500",  # spread past the end
            "P,1952-02-29,Am-241,h,F,2002-03-01,,7",              # 4: on the end, left out
            "Q,1940-01-01,Am-241,h,F,2000-01-01,,1"]              # 5: after 50, Q with it
    path = intake_file(tmp_path / "intakes.csv", rows)
    fields = "person,birth_date,nuclide,intake,form,start,end,activity_bq".split(",")
    intakes = [dict(zip(fields, row.split(","))) for row in rows]
    with pytest.warns(qm.QuillmoreWarning) as caught:
        frame = qm.annual_doses(path, data_dir=folder, until_age=50, regions=[1, 30])
    assert [str(w.message) for w in caught] == [
        "2 intakes start on or after the end of follow-up set by until_age=50 and contribute "
        f"nothing ({path} lines 4, 5); 1 person is left with no intake and has no rows: Q"]
    values = synthetic.exact.expected_parts(exact.data, intakes, [1, 30], None, "exponential",
                                            50)
    assert len(frame) == len(values) == 3 * 2
    assert list(frame.age) == [48, 48, 49, 49, 50, 50]
    for row in frame.itertuples():
        low, high = values[(row.person, row.year, row.region)][:2]
        assert synthetic.close(row.low_let_gy, low) and synthetic.close(row.high_let_gy, high)
    with pytest.raises(ValueError, match="until_age= takes a number of years from 1 to 150"):
        qm.annual_doses(path, data_dir=folder, until_age=151)


def test_bad_intake_rows_listed_in_line_order(folder, tmp_path):
    path = intake_file(tmp_path / "bad.csv", [
        "P,1950-01-01,Am-241,h,Q,2000-03-01,,1",      # 2: no such form (found on resolving)
        "P,1950-01-01,Am-241,h,F,2001-02-30,,1",      # 3: no such date (found on reading)
        "P,1950-01-01,Cs-137,h,1,2000-03-01,,1",      # 4: no inhalation data (resolving)
        "P,1950-01-01,Am-241,h,F,2000-03-01,,1,9",    # 5: a field too many (reading)
        "P,1960-01-01,Am-241,h,F,2000-03-01,,1",      # 6: another birth date (reading, after)
        "P,1950-01-01,Xx-1,h,F,2000-03-01,,1",        # 7: no such nuclide (resolving)
    ])
    with pytest.raises(ValueError) as caught:
        qm.annual_doses(path, data_dir=folder)
    lines = caught.value.args[0].splitlines()
    assert [line.split(": ")[0] for line in lines] == [f"{path}:{n}" for n in range(2, 8)]
    batch = run_batch("--intakes", path, "--data-dir", folder).stderr.splitlines()
    assert lines == [line.removeprefix("quillmore-batch: ") for line in batch[:-1]]
