"""Quillmore in Python: absorbed dose coefficients, rate curves and their
integrals as pandas data frames and NumPy arrays.

Every number comes from the same C++ code as ``quillmore-batch``; a frame holds
exactly the rows, columns and values of the batch's CSV for the same inputs
(:meth:`DataSet.coefficients`; :func:`annual_doses` for an intake history).

    >>> import quillmore as qm
    >>> ds = qm.open("DATA", "inhalation")
    >>> df = ds.coefficients(["Tc-99m"], periods=[1, 7, 18250], ages="adult")

Errors: :class:`DataError` (an :class:`OSError`) for missing or unusable data,
:class:`UnknownNameError` (a :class:`KeyError` and :class:`ValueError`) for an
unknown nuclide, age group or region, :class:`ValueError` for other bad
arguments. Warnings use the category :class:`QuillmoreWarning`; notes go to
``logging.getLogger("quillmore")`` at INFO. See doc/python.md.
"""

import builtins as _builtins
import datetime as _dt
import logging as _logging
import os as _os
import warnings as _warnings

import numpy as _np
import pandas as _pd

from . import _core
from ._errors import DataError, QuillmoreWarning, UnknownNameError

__all__ = ["open", "annual_doses", "risk_input", "plot_annual", "DataSet", "Curve", "DataError", "UnknownNameError",
           "QuillmoreWarning", "AGE_GROUPS", "COEFFICIENT_COLUMNS"]

#: The age groups in age order, as the ``age_group`` column names them.
AGE_GROUPS = tuple(_core.AGE_GROUPS)
#: The columns of :meth:`DataSet.coefficients`, those of the coefficient CSV.
COEFFICIENT_COLUMNS = ("nuclide", "intake", "age_group", "age_days", "form", "form_code",
                       "form_label", "period_days", "region", "region_name",
                       "low_let_gy_per_bq", "high_let_gy_per_bq", "extrapolation")

#: The texts of the extrapolation column, by integration::Extrapolation.
_EXTRAPOLATIONS = tuple(_core.EXTRAPOLATIONS)

_log = _logging.getLogger("quillmore")
_AGE_TYPE = _pd.CategoricalDtype(AGE_GROUPS, ordered=True)


def open(data_dir="DATA", data_set=None):
    """Opens a data set and returns a :class:`DataSet`.

    data_dir: the data folder (found in any letter case), as quillmore-batch's
        --data-dir; "DATA" in the current folder by default.
    data_set: "inhalation" or "ingestion" (or "h", "g"), as --data-set.

    Raises DataError when the folder, its index or its dose-rate file is
    missing or unusable, ValueError for an unknown data set.
    """
    if data_set is None:
        raise TypeError('open() needs data_set: "inhalation" or "ingestion" ("h", "g")')
    return DataSet(_core.open(_os.fspath(data_dir), str(data_set)))


def _report(messages, stacklevel=3):
    """The run's warnings to the warnings module, its notes to the log."""
    for kind, text in messages:
        if kind == "warning":
            _warnings.warn(text, QuillmoreWarning, stacklevel=stacklevel)
        else:
            _log.info(text)


def _list_text(value, what):
    """A list of ages or regions as the batch's comma-separated option."""
    if isinstance(value, (str, int, _np.integer)):
        return str(value)
    items = [str(item) for item in value]
    if not items or any("," in item for item in items):
        raise ValueError(f"{what}: give names or numbers, not {value!r}")
    return ",".join(items)


#: Columns typed by their name, in whichever frame they appear: few-valued
#: texts as categoricals, dates as datetime64[ns] (NaT where empty).
_CATEGORICAL = frozenset({"nuclide", "intake", "form_code", "form_label", "region_name",
                          "extrapolation", "let", "sex", "site", "radiation", "exposure_rate",
                          "dosedist"})
_DATES = frozenset({"birth_date", "part_start", "part_end"})
_DOSE_SUFFIXES = ("_gy", "_gy_per_bq")
#: risk_input.csv's dose columns, named as risk calculators name them.
_RISK_DOSES = frozenset({"dose1", "dose2", "dose3"})


def _column(name, values, codes=None):
    """A frame column from a table of `values` and each row's index into it
    (`codes`; None when `values` holds a value per row), typed by its name:
    age_group an ordered categorical of AGE_GROUPS, the few-valued texts
    categoricals, dates datetime64[ns] (the core gives nanoseconds since
    1970), doses float64, other texts (person) str."""
    if name == "age_group":
        codes = _AGE_TYPE.categories.get_indexer(list(values))[codes]
        return _pd.Categorical.from_codes(codes, dtype=_AGE_TYPE)
    if name in _CATEGORICAL:
        return _categorical(values, codes)
    if isinstance(values, list):
        values = _np.array(values, dtype=object)
    if codes is not None:
        values = values[codes]
    if name in _DATES:
        return values.view("datetime64[ns]")
    if name.endswith(_DOSE_SUFFIXES) or name in _RISK_DOSES:
        return values.astype(_np.float64, copy=False)
    return values


def _categorical(table, codes):
    """The texts `table[codes]` as a categorical whose categories are the
    texts the rows hold, sorted, as read_csv(dtype="category") and
    astype("category") make them."""
    table = _np.array(list(table), dtype=object)
    held = _np.bincount(codes, minlength=len(table)) > 0
    categories, places = _np.unique(table[held], return_inverse=True)
    remap = _np.full(len(table), -1, dtype=_np.int64)
    remap[held] = places
    return _pd.Categorical.from_codes(remap[codes], categories=categories)


class DataSet:
    """One data set (inhalation or ingestion) of a data folder, from :func:`open`.

    A DataSet holds only names: each call opens its own file handles and
    releases the GIL while C++ computes, so one DataSet may be shared by
    threads, whose calls then run in parallel.
    """

    def __init__(self, core):
        self._core = core

    @property
    def data_set(self):
        """ "inhalation" or "ingestion"."""
        return self._core.data_set

    @property
    def folder(self):
        """The data folder as found."""
        return self._core.folder

    def __repr__(self):
        return f"quillmore.open({self.folder!r}, {self.data_set!r})"

    def nuclides(self):
        """The names of the nuclides with data in this data set, in index order."""
        return self._core.nuclides()

    def regions(self):
        """DataFrame of the 30 regions: region (1 to 30), region_name."""
        names = self._core.region_names
        regions = _np.arange(1, len(names) + 1, dtype=_np.int64)
        return _pd.DataFrame({"region": regions,
                              "region_name": _column("region_name", names, regions - 1)})

    def forms(self, nuclide):
        """DataFrame of the forms of `nuclide` per age group: age_group, form,
        form_code, form_label, as the coefficient frames number and name them.
        Raises UnknownNameError for an unknown nuclide."""
        frame = self._coefficients([nuclide], [0.0], None, "all", "1", stacklevel=4)
        return frame[["age_group", "form", "form_code", "form_label"]].reset_index(drop=True)

    def coefficients(self, nuclides="all", periods=None, times=None, ages="all", regions="all",
                     tail="cubic"):
        """Dose coefficients (Gy/Bq) as a long DataFrame with the columns and
        rows of quillmore-batch's CSV: one row per nuclide, age group, form,
        period and region, nuclides in the order given, then age groups in the
        order given, forms, periods and regions.

        nuclides: a name, a list of names (any case, as typed at the prompt),
            or "all": every nuclide with data in this set.
        periods: commitment periods in days (array-like); or
        times: a times file (Quillmore.ini format); by default the data
            folder's times file.
        ages: "all", or age groups by number (1-6) or name (infant, 1y, 5y,
            10y, 15y, adult), as a list or a comma-separated string.
        regions: "all", or regions by number (1-30) or name (any case), as a
            list or a comma-separated string.
        tail: the rate past each block's last tabulated time: "cubic" (the
            last piece continued, as the tables), "exponential" (the last
            segment's own decay; the last rate kept where it was not falling)
            or "zero" (nothing past the data, a lower bound). Values past the
            data are "bounded" under "exponential" and "zero".

        age_group is an ordered categorical in age order; nuclide, intake,
        form_code, form_label, region_name and extrapolation are categoricals
        (categories the texts held, sorted; "" where the CSV has an empty
        field); the coefficients float64. Warnings of the run (those
        of the times file first) go to the warnings module (QuillmoreWarning),
        notes to the log.
        Raises UnknownNameError, DataError or ValueError.
        """
        if isinstance(nuclides, str):
            nuclides = None if nuclides.lower() == "all" else [nuclides]
        elif nuclides is not None:
            nuclides = [str(name) for name in nuclides]
        if periods is not None and times is not None:
            raise ValueError("give periods or times, not both")
        if periods is not None:
            periods = _np.asarray(periods, dtype=float).ravel().tolist()
        if times is not None:
            times = _os.fspath(times)
        return self._coefficients(nuclides, periods, times, _list_text(ages, "ages"),
                                  _list_text(regions, "regions"), stacklevel=4, tail=str(tail))

    def _coefficients(self, nuclides, periods, times, ages, regions, stacklevel, tail="cubic"):
        """The frame of a core run; its messages reported at the caller's caller."""
        columns, messages = self._core.coefficients(nuclides, periods, times, ages, regions, tail)
        _report(messages, stacklevel)
        return _frame(columns, self.data_set, self._core.region_names)

    def curve(self, nuclide, age, form, region, tail="cubic"):
        """The rate curve of one block and region as a :class:`Curve`.

        age: one age group (number or name); form: the form number of the
        coefficient frame's `form` column (1 for the first), or a form code
        as an intake file names it ("F", "m"; an f1 by value: 0.3, "3E-1",
        "3.0E-01"); region: one
        region (number or name, "Lung" for the composite lung); tail: the
        rate past the last tabulated time, as for coefficients().
        Raises UnknownNameError, DataError or ValueError.
        """
        return Curve(self._core.curve(str(nuclide), str(age), str(form), str(region), str(tail)),
                     self.data_set, self._core.region_names)


def _frame(columns, data_set, region_names):
    """The coefficient frame from the core's columns."""
    rows = len(columns["low_let_gy_per_bq"])
    region = columns["region"]
    parts = {
        "nuclide": (columns["nuclide_names"], columns["nuclide"]),
        "intake": ([data_set], _np.zeros(rows, dtype=_np.int8)),
        "age_group": (AGE_GROUPS, columns["age_group"] - 1),
        "age_days": (columns["age_days"],),
        "form": (columns["form"],),
        "form_code": (columns["form_codes"], columns["form_code"]),
        "form_label": (columns["form_labels"], columns["form_label"]),
        "period_days": (columns["period_days"],),
        "region": (region,),
        "region_name": (region_names, region - 1),
        "low_let_gy_per_bq": (columns["low_let_gy_per_bq"],),
        "high_let_gy_per_bq": (columns["high_let_gy_per_bq"],),
        "extrapolation": (_EXTRAPOLATIONS, columns["extrapolation"]),
    }
    return _pd.DataFrame({name: _column(name, *part) for name, part in parts.items()},
                         copy=False)


def annual_doses(intakes, data_dir="DATA", until=None, regions="all", high_let_weight=None,
                 by_intake=False, tail="exponential", until_age=None, by=None,
                 distributions=False):
    """The absorbed dose of each person in each calendar year from an intake
    history, as a DataFrame with the rows, columns and values of
    ``quillmore-batch --intakes``'s annual_doses.csv: person, birth_date,
    year, age, region, region_name, low_let_gy, high_let_gy, [weighted_gy,]
    low_let_tail_gy, high_let_tail_gy, extrapolation.

    intakes: a DataFrame with the intake file's columns (person, birth_date,
        nuclide, intake, form, start, end, activity_bq, and optionally
        follow_up_end, activity_gsd and sex, in any case; others ignored with
        a note; person may be the index; dates as "YYYY-MM-DD" text or
        datetimes at midnight without a time zone, end empty or NaN for an
        acute intake), or the path of an intake file.
    data_dir: the data folder, as --data-dir.
    until: the last year reported, as --until; by default 50 years after
        each person's last day of intake.
    until_age: each person followed to 00:00 of this birthday (1 to 150), as
        --until-age. A person's end is the earliest of follow_up_end,
        until_age and until; the last year is counted up to it. Intakes
        starting on or after the end until or until_age sets are left out,
        with a QuillmoreWarning naming them and the persons left without rows.
    regions: "all", or regions by number or name (either data set's), as a
        list or a comma-separated string.
    high_let_weight: W of the column weighted_gy = low + W * high, as
        --high-let-weight; no such column by default.
    by_intake: True returns the rows of annual_doses_by_intake.csv instead,
        one per intake part, year and region (age_group an ordered categorical);
        the same as by="intake".
    by: "nuclide" or "route" returns the rows of annual_doses_by_nuclide.csv or
        annual_doses_by_route.csv instead (as --by): each person's doses summed
        by nuclide (column nuclide) or by route (column intake), from the
        first year of that nuclide's or route's intakes; "intake" those of
        annual_doses_by_intake.csv.
    tail: the rate past each block's last tabulated time, as --tail:
        "exponential" (the last segment's own decay; the default), "zero"
        (nothing past the data: a lower bound) or "cubic" (the last piece
        continued, as the tables continue it). low_let_tail_gy and
        high_let_tail_gy are the parts of low_let_gy and high_let_gy from
        past the data.
    distributions: True returns the rows of annual_dose_distributions.csv
        instead: person, birth_date, year, age, region, region_name, let
        ("low" before "high"), mean_gy, sd_gy, gm_gy, gsd, p05_gy, p95_gy,
        extrapolation; each intake's activity lognormal with its
        activity_gsd (every intake exact without that column: sd_gy 0, gsd 1,
        gm_gy, p05_gy and p95_gy the value). The four lognormal columns are
        NaN where mean_gy is not above 0.

    person is str; birth_date, part_start and part_end datetime64[ns] (NaT
    for an acute part's end); nuclide, intake, form_code, region_name and
    extrapolation categoricals; the dose columns float64. Warnings (blocks
    left out, unbounded extrapolation under the cubic tail, intakes left out
    by until or until_age) go to the warnings module as QuillmoreWarning; the
    note on the intakes that run past their data goes to the log.
    Raises ValueError listing the bad rows as the batch does
    ("FILE:LINE: column ...", a frame's as "DataFrame row R (index X): column
    ...", R from 0 as iloc counts), for a date of the frame outside 1678-01-01
    to 2261-12-31 (those pandas holds in nanoseconds), or for an unknown tail;
    UnknownNameError for an unknown region, DataError for missing or unusable
    data.
    """
    frame_index = None
    if isinstance(intakes, _pd.DataFrame):
        label = "intakes"
        content, frame_index = _intake_columns(intakes)
    else:
        label = _os.fspath(intakes)
        try:
            with _builtins.open(label, "rb") as file:
                content = file.read()
        except OSError as error:
            raise DataError(f"unable to read the intake file {label}: {error.strerror}") from error
    if by is not None and str(by) not in ("nuclide", "route", "intake"):
        raise ValueError(f"by= takes nuclide, route or intake, not {by!r}")
    if by_intake and by is not None and str(by) != "intake":
        raise ValueError(f"by_intake=True and by={by!r} ask for two files; give one")
    group = "intake" if by_intake else ("" if by is None else str(by))
    if distributions and group:
        raise ValueError("distributions=True and by= or by_intake=True ask for two files; give one")
    weight = None if high_let_weight is None else float(high_let_weight)
    year = None if until is None else int(until)
    age = None if until_age is None else int(until_age)
    if age is not None and not 1 <= age <= 150:
        raise ValueError(f"until_age= takes a number of years from 1 to 150, not {until_age!r}")
    columns, messages = _core.annual_doses(
        content, label, _os.fspath(data_dir), year, _list_text(regions, "regions"), weight,
        group, str(tail), age, frame_index, bool(distributions))
    _report(messages)
    return _pd.DataFrame({name: _column(name, values, codes) for name, values, codes in columns},
                         copy=False)


def _table_content(table, label, what):
    """(content, label, index labels) of a table given as a DataFrame (its
    columns as text, rows named by the index) or as the path of a file (its
    bytes)."""
    if isinstance(table, _pd.DataFrame):
        content, labels = _intake_columns(table)
        return content, label, labels
    path = _os.fspath(table)
    try:
        with _builtins.open(path, "rb") as file:
            return file.read(), path, None
    except OSError as error:
        raise DataError(f"unable to read the {what} {path}: {error.strerror}") from error


def risk_input(intakes, sites, data_dir="DATA", until=None, until_age=None, unit="mGy",
               radiation_names=("alpha", "low-LET"), tail="exponential"):
    """The rows a radiation risk calculator takes, as a DataFrame with the
    rows, columns and values of ``quillmore-batch --format risk``'s
    risk_input.csv: pid, sex, birth, exposure, age, site, radiation,
    exposure_rate, dosedist, dose1, dose2, dose3. One row per person,
    calendar year, site and radiation type whose mean dose is above 0:
    persons in the intakes' order, then years, sites in the sites' order
    (a site with a sex only for persons of that sex), then the high-LET
    radiation before the low-LET one.

    intakes: the intakes as annual_doses takes them; every person needs a
        sex (column sex: female, male, F or M).
    sites: a DataFrame with the columns site, region, weight and optionally
        sex (female, male or empty for both), or the path of such a CSV
        file: a site's dose is the weighted sum of its regions' (by number
        or by name, as regions= takes them); the weights of a site add up
        to 1. Only the sites' regions are computed.
    data_dir, until, until_age, tail: as annual_doses takes them.
    unit: "mGy" (the default), "Gy" or "cGy": the unit of dose1 for both
        distributions (never of a GSD).
    radiation_names: (high LET, low LET): the names of the radiation types.

    dosedist is "fixedvalue" (dose1 the value) where every intake adding to
    the row is exact, else "lognormal" (dose1 its median, dose2 its GSD: the
    lognormal with the exact mean and variance); dose3 is always NaN, as is
    dose2 of a fixed value; exposure_rate is "chronic". pid is str; sex,
    site, radiation, exposure_rate and dosedist categoricals; birth,
    exposure and age int64; dose1 to dose3 float64. Rows of a value marked
    unbounded (only with tail="cubic") are left out with a
    QuillmoreWarning counting them. Raises ValueError listing the bad rows
    of either table as annual_doses lists them, UnknownNameError for none,
    DataError for missing or unusable data.
    """
    content, label, frame_index = _table_content(intakes, "intakes", "intake file")
    site_content, site_label, site_index = _table_content(sites, "sites", "sites file")
    names = list(radiation_names)
    if len(names) != 2 or not all(isinstance(name, str) and name for name in names) \
            or names[0] == names[1]:
        raise ValueError("radiation_names= takes two different names, high LET first, not "
                         f"{radiation_names!r}")
    year = None if until is None else int(until)
    age = None if until_age is None else int(until_age)
    if age is not None and not 1 <= age <= 150:
        raise ValueError(f"until_age= takes a number of years from 1 to 150, not {until_age!r}")
    columns, messages = _core.risk_input(
        content, label, site_content, site_label, _os.fspath(data_dir), year, age, str(unit),
        names[0], names[1], str(tail), frame_index, site_index)
    _report(messages)
    return _pd.DataFrame({name: _column(name, values, codes) for name, values, codes in columns},
                         copy=False)


#: The lines a person's figure draws in each panel at most: one a region.
_MAX_FIGURE_REGIONS = 8


def _joined(x, y, keep):
    """The points of the segments (i - 1, i) that `keep` selects, as one line
    for matplotlib: each run of segments joined, NaN between runs."""
    xs, ys = [], []
    for i in _np.flatnonzero(keep):
        if xs and xs[-1] != x[i - 1]:
            xs.append(_np.nan)
            ys.append(_np.nan)
        if not xs or xs[-1] != x[i - 1]:
            xs.append(x[i - 1])
            ys.append(y[i - 1])
        xs.append(x[i])
        ys.append(y[i])
    return _np.asarray(xs, dtype=float), _np.asarray(ys, dtype=float)


def _year_position(day):
    """A date as a calendar year and the share of it gone: 2000-07-02 is 2000.5."""
    first = _pd.Timestamp(year=day.year, month=1, day=1)
    return day.year + (day - first) / (_pd.Timestamp(year=day.year + 1, month=1, day=1) - first)


def plot_annual(frame, person, axes=None, intakes=None):
    """Draws one person's annual doses as ``quillmore-batch --intakes ...
    --figures`` draws them: dose (Gy, log axis) against calendar year, low LET
    in the first axes and high LET in the second, one line per region; each
    year's value at the middle of its year, the lines into and out of a year
    whose value has a part from past the data (a tail column not 0, or an
    extrapolation other than "none") dotted, values <= 0 left out and counted
    in a note, the follow-up end (the person's follow_up_end among the
    intakes given, else the end of the frame's last year of that person) as a
    dashed line.

    frame: a frame of :func:`annual_doses` (not by_intake), holding at most 8
        regions for the person.
    person: the person as the frame's ``person`` column holds it.
    axes: two matplotlib axes (low LET, then high LET); None creates a figure
        with two axes sharing the year axis.
    intakes: optionally the intakes (a DataFrame with ``person`` and
        ``start``, and perhaps ``follow_up_end``), whose starts for the person
        are ticked along the year axis.

    Returns the two axes. Raises ValueError for a person without rows, more
    than 8 regions or other than two axes. Needs matplotlib (python3-matplotlib).
    """
    rows = frame[frame["person"].astype(str) == str(person)]
    if rows.empty:
        raise ValueError(f"the frame holds no rows of person {person!r}")
    regions = list(dict.fromkeys(rows["region"].tolist()))
    if len(regions) > _MAX_FIGURE_REGIONS:
        raise ValueError(
            f"a person's figure draws one line per region, at most {_MAX_FIGURE_REGIONS}; the "
            f"frame holds {len(regions)} regions of person {person!r} (select at most "
            f"{_MAX_FIGURE_REGIONS} with regions=)")
    if axes is None:
        from matplotlib import pyplot  # only here: the module needs no matplotlib otherwise
        axes = pyplot.subplots(2, 1, sharex=True, figsize=(6.4, 7.2))[1]
    axes = tuple(axes)
    if len(axes) != 2:
        raise ValueError(f"axes takes two matplotlib axes (low LET, high LET), not {len(axes)}")
    end = int(rows["year"].max()) + 1
    starts = []
    if intakes is not None:
        table = intakes.reset_index() if "person" not in intakes.columns else intakes
        mine = table[table["person"].astype(str) == str(person)]
        starts = [_year_position(start) for start in _pd.to_datetime(mine["start"])]
        # The frame's last year is counted up to a follow_up_end within it.
        if "follow_up_end" in mine.columns:
            ends = _pd.to_datetime(mine["follow_up_end"].replace("", None)).dropna()
            if len(ends) > 0:
                end = min(end, _year_position(ends.iloc[0]))
    panels = (("low_let_gy", "low_let_tail_gy", "Low-LET annual dose (Gy)"),
              ("high_let_gy", "high_let_tail_gy", "High-LET annual dose (Gy)"))
    for ax, (column, tail, title) in zip(axes, panels):
        left_out = 0
        shown = False
        for k, region in enumerate(regions):
            mine = rows[rows["region"] == region].sort_values("year")
            x = mine["year"].to_numpy(dtype=float) + 0.5
            y = mine[column].to_numpy(dtype=float)
            past = ((mine[tail].to_numpy(dtype=float) != 0)
                    | (mine["extrapolation"].astype(str).to_numpy() != "none"))
            drawn = y > 0
            left_out += int((~drawn).sum())
            shown = shown or drawn.any()
            joined = _np.zeros(len(y), dtype=bool)  # segment (i - 1, i) drawn
            joined[1:] = drawn[1:] & drawn[:-1]
            dotted = joined.copy()
            dotted[1:] &= past[1:] | past[:-1]
            alone = drawn & ~joined & ~_np.append(joined[1:], False)
            color = f"C{k}"
            name = str(mine["region_name"].iloc[0])
            ax.plot(*_joined(x, y, joined & ~dotted), color=color, label=name)
            ax.plot(*_joined(x, y, dotted), color=color, linestyle=":", label="_past")
            ax.plot(x[alone], y[alone], color=color, marker="o", linestyle="none",
                    label="_alone")
        ax.axvline(end, color="0.3", linestyle="--", linewidth=1, label="follow-up end")
        if starts:
            ax.plot(starts, _np.zeros(len(starts)), color="0.3", marker="|", markersize=12,
                    linestyle="none", transform=ax.get_xaxis_transform(), label="intake")
        ax.set_yscale("log")
        if not shown:
            ax.set_ylim(0.1, 1)  # no value to show: one decade, as the batch's figures
        if left_out:
            ax.text(0.01, 0.98, f"{left_out} value{'s' if left_out > 1 else ''} <= 0 left out "
                    "(a log axis cannot show them)", transform=ax.transAxes, va="top",
                    fontsize="small")
        ax.set_title(title, loc="left", fontsize="medium")
    axes[0].figure.suptitle(f"{person}: absorbed dose by calendar year")
    axes[-1].set_xlabel("Calendar year")
    axes[0].legend(fontsize="small")
    return axes


#: The intake columns that hold dates, as the reader matches names.
_DATE_COLUMNS = ("birth_date", "start", "end", "follow_up_end")


def _column_key(name):
    """A column name as the intake reader matches it."""
    return str(name).strip().lower()


def _intake_columns(frame):
    """(columns, index labels) of an intake frame: the columns as (name,
    fields), each field the text that DataFrame.to_csv writes for it (dates
    as YYYY-MM-DD, "" where missing), so that a frame reads as the CSV file
    made from it would; person may be the index. A datetime of a date column
    must be midnight and without a time zone, or it would lose its time."""
    labels = [str(label) for label in frame.index]
    keys = [_column_key(name) for name in frame.columns]
    if frame.index.name is not None and _column_key(frame.index.name) == "person":
        if "person" in keys:
            raise ValueError('the DataFrame holds "person" both as its index name and as a '
                             "column: keep one")
        frame = frame.reset_index()
        keys = [_column_key(name) for name in frame.columns]
    columns = []
    for i, name in enumerate(frame.columns):
        column = frame.iloc[:, i]
        missing = column.isna().to_numpy()
        if keys[i] in _DATE_COLUMNS:
            values = _date_texts(column, missing, name, labels)
        elif column.dtype.kind in "biuf":  # as NumPy writes them: float32 at its own precision
            values = column.to_numpy().astype(str)
        else:
            values = column.to_numpy(dtype=object)
        columns.append((str(name), ["" if gone else str(value)
                                    for value, gone in zip(values, missing)]))
    return columns, labels


def _date_texts(column, missing, name, labels):
    """The fields of a date column: datetimes as YYYY-MM-DD, other values as
    they are; a datetime with a time of day or a time zone a ValueError
    naming its row."""
    def refuse(row, value, what):
        raise ValueError(f'DataFrame row {row} (index {labels[row]}): column "{name}": '
                         f"{value} {what}")

    if column.dtype.kind == "M":
        if getattr(column.dtype, "tz", None) is not None:
            row = int(_np.flatnonzero(~missing)[0]) if (~missing).any() else 0
            refuse(row, column.iloc[row], "has a time zone: give dates without one")
        timed = ~missing & (column.dt.normalize() != column).to_numpy()
        if timed.any():
            row = int(_np.flatnonzero(timed)[0])
            refuse(row, column.iloc[row], "is not at midnight: give a date")
        return column.dt.strftime("%Y-%m-%d").to_numpy(dtype=object)
    values = column.to_numpy(dtype=object).copy()
    for row, value in enumerate(values):
        if missing[row] or not isinstance(value, _dt.date):
            continue
        if isinstance(value, _dt.datetime):
            if value.tzinfo is not None:
                refuse(row, value, "has a time zone: give dates without one")
            if value.time() != _dt.time():
                refuse(row, value, "is not at midnight: give a date")
        values[row] = value.strftime("%Y-%m-%d")
    return values


class Curve:
    """One rate curve: a block's tabulated dose rates for one region, both LET
    components, and the interpolant and integrals the tables use.

    times, rates_low, rates_high: the tabulated points (days; Gy/Bq per day)
    as NumPy arrays; single_point is True for a block of one time point;
    tail names what the curve follows past its last tabulated time.
    nuclide, intake, age_group, form, form_code, form_label,
    region and region_name name it as the coefficient frames do.
    """

    def __init__(self, core, intake, region_names):
        self._core = core
        self.nuclide = core.nuclide
        self.intake = intake
        self.age_group = core.age_group
        self.form = core.form
        self.form_code = core.form_code
        self.form_label = core.form_label
        self.region = core.region
        self.region_name = region_names[core.region - 1]
        self.times = core.times
        self.rates_low = core.rates_low
        self.rates_high = core.rates_high
        self.single_point = core.single_point
        self.tail = core.tail

    def __repr__(self):
        return (f"<quillmore.Curve {self.nuclide} {self.intake} {self.age_group} "
                f"form {self.form} region {self.region} {self.region_name!r}>")

    def _place(self):
        """Where a warning about this curve points."""
        return f"{self.nuclide}, {self.age_group}, form {self.form}, region {self.region}"

    def dose(self, periods):
        """The dose (Gy/Bq) from intake to each of `periods` (days, array-like),
        as a pair (low, high) of arrays of its shape: bit for bit the
        coefficients of the tables for those periods. A block of a single time
        point gives its rate, as the tables do, with a QuillmoreWarning.
        Raises ValueError for a negative or non-finite period."""
        if self.single_point:
            _warnings.warn(f"{self._place()}: a single time point; its dose is its rate, "
                           "as in the tables", QuillmoreWarning, stacklevel=2)
        return self._core.dose(periods)

    def rate(self, times):
        """The dose rate (Gy/Bq per day) at each of `times` (days, array-like)
        as a pair (low, high) of arrays of its shape: the monotone cubic
        Hermite interpolant of the tabulated rates, its first piece continued
        before the data and past them the curve's tail (the last piece
        continued under "cubic"). Raises ValueError for a negative or
        non-finite time."""
        return self._core.rate(times)

    def integrate(self, a, b):
        """The dose (Gy/Bq) over [a, b] (days after intake, array-likes that
        broadcast together) as a pair (low, high) of arrays of their broadcast
        shape: the integral over that stretch alone, at full precision, with
        the rate 0 before intake and the curve's tail past its data;
        integrate(0, T) is dose(T) bit for bit. Raises ValueError where a > b
        or for a non-finite limit."""
        a, b = _np.broadcast_arrays(_np.asarray(a, dtype=float), _np.asarray(b, dtype=float))
        if self.single_point:
            _warnings.warn(f"{self._place()}: a single time point; its dose is its rate, "
                           "as in the tables", QuillmoreWarning, stacklevel=2)
        low, high = self._core.integrate(_np.ascontiguousarray(a).ravel(),
                                         _np.ascontiguousarray(b).ravel())
        return low.reshape(a.shape), high.reshape(a.shape)
