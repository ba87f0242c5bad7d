# Type stub of the quillmore package, for editors and type checkers.
import os
from typing import Any, Iterable, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt
import pandas as pd

_Names = Union[str, int, Iterable[Union[str, int]]]
_Path = Union[str, os.PathLike[str]]

AGE_GROUPS: Tuple[str, ...]
COEFFICIENT_COLUMNS: Tuple[str, ...]

class DataError(OSError): ...
class UnknownNameError(KeyError, ValueError): ...
class QuillmoreWarning(UserWarning): ...

def open(data_dir: _Path = ..., data_set: str | None = ...) -> DataSet: ...
def annual_doses(
    intakes: Union[pd.DataFrame, _Path],
    data_dir: _Path = ...,
    until: int | None = ...,
    regions: _Names = ...,
    high_let_weight: float | None = ...,
    by_intake: bool = ...,
    tail: str = ...,
    until_age: int | None = ...,
    by: str | None = ...,
    distributions: bool = ...,
) -> pd.DataFrame: ...
def risk_input(
    intakes: Union[pd.DataFrame, _Path],
    sites: Union[pd.DataFrame, _Path],
    data_dir: _Path = ...,
    until: int | None = ...,
    until_age: int | None = ...,
    unit: str = ...,
    radiation_names: Tuple[str, str] = ...,
    tail: str = ...,
) -> pd.DataFrame: ...
def plot_annual(
    frame: pd.DataFrame,
    person: str,
    axes: Sequence[Any] | None = ...,
    intakes: pd.DataFrame | None = ...,
) -> Tuple[Any, Any]: ...

class DataSet:
    @property
    def data_set(self) -> str: ...
    @property
    def folder(self) -> str: ...
    def nuclides(self) -> list[str]: ...
    def regions(self) -> pd.DataFrame: ...
    def forms(self, nuclide: str) -> pd.DataFrame: ...
    def coefficients(
        self,
        nuclides: Union[str, Iterable[str]] = ...,
        periods: npt.ArrayLike | None = ...,
        times: _Path | None = ...,
        ages: _Names = ...,
        regions: _Names = ...,
        tail: str = ...,
    ) -> pd.DataFrame: ...
    def curve(self, nuclide: str, age: Union[str, int], form: Union[int, float, str],
              region: Union[str, int], tail: str = ...) -> Curve: ...

class Curve:
    nuclide: str
    intake: str
    age_group: str
    form: int
    form_code: str
    form_label: str
    region: int
    region_name: str
    times: npt.NDArray[np.float64]
    rates_low: npt.NDArray[np.float64]
    rates_high: npt.NDArray[np.float64]
    single_point: bool
    tail: str
    def dose(self, periods: npt.ArrayLike) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
    def rate(self, times: npt.ArrayLike) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
    def integrate(self, a: npt.ArrayLike,
                  b: npt.ArrayLike) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
