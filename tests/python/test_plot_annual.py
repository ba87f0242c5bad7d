"""qm.plot_annual: a person's annual doses in two matplotlib axes."""
import pathlib

import matplotlib
import numpy as np
import pandas as pd
import pytest

matplotlib.use("Agg")

import quillmore as qm  # noqa: E402

EXAMPLE = pathlib.Path(__file__).parents[2] / "doc" / "examples" / "intakes.csv"


def test_plot_annual_draws_a_line_per_region_on_log_axes(data_dir):
    frame = qm.annual_doses(EXAMPLE, data_dir=data_dir, regions="lung,liver,1")
    intakes = pd.read_csv(EXAMPLE, dtype=str)
    low, high = qm.plot_annual(frame, "W-001", intakes=intakes)
    mine = frame[frame["person"].astype(str) == "W-001"]
    for ax, column in [(low, "low_let_gy"), (high, "high_let_gy")]:
        assert ax.get_yscale() == "log"
        named = [line for line in ax.get_lines() if not line.get_label().startswith("_")]
        assert [line.get_label() for line in named] == [
            *map(str, mine["region_name"].iloc[:3]), "follow-up end", "intake"]
        assert named[3].get_xdata()[0] == mine["year"].max() + 1
        # 28 April 1986: 117 days of 365 gone; 1 May 1986 twice: 120.
        assert np.allclose(named[4].get_xdata(), [1986 + 117 / 365, 1986 + 120 / 365,
                                                  1986 + 120 / 365])
        # Every positive value is drawn once (a point joining two runs twice),
        # and the note counts the others.
        drawn = np.concatenate([line.get_ydata() for line in ax.get_lines()
                                if line.get_label() not in ("follow-up end", "intake")])
        values = mine[column].to_numpy()
        assert set(drawn[drawn > 0]) == set(values[values > 0])
        left_out = int((values <= 0).sum())
        counted = {0: [], 1: ["1 value <= 0"]}.get(left_out, [f"{left_out} values <= 0"])
        assert [text.get_text() for text in ax.texts] == [
            words + " left out (a log axis cannot show them)" for words in counted]
    frame_all = qm.annual_doses(EXAMPLE, data_dir=data_dir)
    with pytest.raises(ValueError, match="at most 8 with regions="):
        qm.plot_annual(frame_all, "W-001")

    # By hand: 2000 alone beside a 0, 2002 within the data, then two years
    # with a part from past the data (2003's of 0, as under the zero tail);
    # the high LET all 0.
    years = np.arange(2000, 2005)
    hand = pd.DataFrame({"person": "P", "year": years, "region": 15, "region_name": "Liver",
                         "low_let_gy": [1e-3, 0, 2e-4, 1e-4, 5e-5], "high_let_gy": 0.0,
                         "low_let_tail_gy": [0, 0, 0, 0, 1e-6], "high_let_tail_gy": 0.0,
                         "extrapolation": ["none"] * 3 + ["bounded"] * 2})
    low, high = qm.plot_annual(hand, "P")
    solid, dotted, alone, end = low.get_lines()
    assert solid.get_xdata().size == 0
    assert list(dotted.get_xdata()) == [2002.5, 2003.5, 2004.5]
    assert dotted.get_linestyle() == ":"
    assert list(alone.get_xdata()) == [2000.5]
    assert list(end.get_xdata()) == [2005, 2005]
    assert [text.get_text() for text in low.texts] == [
        "1 value <= 0 left out (a log axis cannot show them)"]
    assert [text.get_text() for text in high.texts] == [
        "5 values <= 0 left out (a log axis cannot show them)"]
