// quillmore._core: the Python binding of DataSet and Curve. Only conversions
// live here: arguments to requests, Statuses to the module's exceptions,
// columns to NumPy arrays. The frames and the warnings are made in Python
// (quillmore/__init__.py).
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "annual_doses.h"
#include "base/text.h"
#include "data_set.h"
#include "input/age_groups.h"
#include "input/data_kind.h"
#include "input/intake_calendar.h"
#include "integration/extrapolation_check.h"
#include "integration/tail.h"

namespace py = pybind11;

namespace quillmore::python {
namespace {

// Days as NumPy gives them: any array-like, converted to C-ordered doubles.
using DayArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// Raises the exception of quillmore._errors that `status` calls for.
[[noreturn]] void Raise(const base::Status& status) {
  const char* type = "DataError";
  if (status.code() == base::Status::Code::kUnknownName) type = "UnknownNameError";
  if (status.code() == base::Status::Code::kInvalidArgument) type = "ValueError";
  py::object error = std::string(type) == "ValueError"
                         ? py::reinterpret_borrow<py::object>(PyExc_ValueError)
                         : py::module_::import("quillmore._errors").attr(type);
  PyErr_SetString(error.ptr(), status.message().c_str());
  throw py::error_already_set();
}

// The value of `result`, or the exception its status calls for.
template <typename T>
T ValueOf(base::Result<T> result) {
  if (!result.ok()) Raise(result.status());
  return std::move(result).value();
}

// Runs `work` (returning a Result) without the GIL, so that other Python
// threads go on meanwhile, then gives its value or raises what it reports.
template <typename Work>
auto ValueWithoutGil(Work&& work) {
  std::optional<decltype(work())> result;
  {
    py::gil_scoped_release released;
    result.emplace(work());
  }
  return ValueOf(std::move(*result));
}

// A vector handed to NumPy without a copy: the array owns it.
template <typename T>
py::array_t<T> Take(std::vector<T>&& values) {
  auto* owned = new std::vector<T>(std::move(values));
  py::capsule owner(owned, [](void* p) { delete static_cast<std::vector<T>*>(p); });
  return py::array_t<T>(static_cast<py::ssize_t>(owned->size()), owned->data(), owner);
}

template <typename T>
py::array_t<T> Copy(std::span<const T> values) {
  return py::array_t<T>(static_cast<py::ssize_t>(values.size()), values.data());
}

input::DataKind DataKindNamed(const std::string& text) {
  if (const std::optional<input::DataKind> kind = input::FindDataSet(text)) return *kind;
  Raise(
      base::Status::InvalidArgument("unknown data set \"" + text + "\" (inhalation or ingestion)"));
}

std::string AgeLabel(int ageGroup) {
  return base::TrimBlanks(input::AgeGroupLabel(ageGroup));
}

py::list Messages(const std::vector<output::RunMessage>& messages) {
  py::list list;
  for (const output::RunMessage& message : messages) {
    list.append(py::make_tuple(output::MessageKindName(message.kind), message.text));
  }
  return list;
}

// The columns as NumPy arrays and the texts their indices point to.
py::dict Columns(CoefficientColumns&& columns) {
  CoefficientRows& rows = columns.rows;
  py::dict dict;
  dict["nuclide"] = Take(std::move(rows.nuclide));
  dict["age_group"] = Take(std::move(rows.ageGroup));
  dict["age_days"] = Take(std::move(rows.ageDays));
  dict["form"] = Take(std::move(rows.form));
  dict["form_code"] = Take(std::move(rows.formCode));
  dict["form_label"] = Take(std::move(rows.formLabel));
  dict["period_days"] = Take(std::move(rows.periodDays));
  dict["region"] = Take(std::move(rows.region));
  dict["low_let_gy_per_bq"] = Take(std::move(rows.lowLet));
  dict["high_let_gy_per_bq"] = Take(std::move(rows.highLet));
  dict["extrapolation"] = Take(std::move(rows.extrapolation));
  dict["nuclide_names"] = columns.nuclideNames;
  dict["form_codes"] = columns.formCodes;
  dict["form_labels"] = columns.formLabels;
  return dict;
}

// The tail named by `name` (tail=), or a ValueError.
integration::Tail TailNamed(const std::string& name) {
  const std::optional<integration::Tail> tail = integration::ParseTail(name);
  if (!tail) {
    Raise(base::Status::InvalidArgument("tail= takes exponential, zero or cubic, not '" + name +
                                        "'"));
  }
  return *tail;
}

py::tuple CoefficientColumnsOf(const DataSet& dataSet,
                               const std::optional<std::vector<std::string>>& nuclides,
                               const std::optional<std::vector<double>>& periods,
                               const std::optional<std::string>& times, const std::string& ages,
                               const std::string& regions, const std::string& tail) {
  Request request;
  request.tail = TailNamed(tail);
  request.allNuclides = !nuclides;
  if (nuclides) request.nuclides = *nuclides;
  request.periods = periods;
  request.timesFile = times;
  request.ages = ages;
  request.regions = regions;
  Coefficients result = ValueWithoutGil([&] { return dataSet.ComputeCoefficients(request); });
  return py::make_tuple(Columns(std::move(result.columns)), Messages(result.messages));
}

// Values of `inputs` (days, finite, 0 or more) as a flat vector.
std::vector<double> Days(const DayArray& inputs) {
  std::vector<double> days(inputs.data(), inputs.data() + inputs.size());
  for (const double t : days) {
    if (!std::isfinite(t) || t < 0) {
      Raise(base::Status::InvalidArgument("a time is a finite number of days, 0 or more, not " +
                                          std::to_string(t)));
    }
  }
  return days;
}

// `compute` of each component over `inputs`, as two arrays of its shape.
template <typename Compute>
py::tuple PerComponent(const Curve& curve, const DayArray& inputs, Compute compute) {
  const std::vector<double> days = Days(inputs);
  std::vector<double> low, high;
  {
    py::gil_scoped_release released;
    low = compute(curve.curves[integration::kLowLet], days);
    high = compute(curve.curves[integration::kHighLet], days);
  }
  std::vector<py::ssize_t> shape(inputs.shape(), inputs.shape() + inputs.ndim());
  return py::make_tuple(Take(std::move(low)).reshape(shape), Take(std::move(high)).reshape(shape));
}

std::vector<double> Doses(const integration::RateCurve& curve, const std::vector<double>& days) {
  return curve.Doses(days);
}

std::vector<double> Rates(const integration::RateCurve& curve, const std::vector<double>& days) {
  std::vector<double> rates;
  rates.reserve(days.size());
  for (const double t : days) rates.push_back(curve.Rate(t));
  return rates;
}

py::tuple CurveDoses(const Curve& curve, const DayArray& periods) {
  return PerComponent(curve, periods, Doses);
}

py::tuple CurveRates(const Curve& curve, const DayArray& times) {
  return PerComponent(curve, times, Rates);
}

// The integrals over [from[k], to[k]] (flat arrays of one length, broadcast
// in Python) of each component.
py::tuple CurveIntegrate(const Curve& curve, const DayArray& fromDays, const DayArray& toDays) {
  const std::vector<double> from(fromDays.data(), fromDays.data() + fromDays.size());
  const std::vector<double> to(toDays.data(), toDays.data() + toDays.size());
  if (from.size() != to.size()) {
    Raise(base::Status::InvalidArgument("the lower and upper limits differ in length"));
  }
  for (std::size_t k = 0; k < from.size(); ++k) {
    if (!std::isfinite(from[k]) || !std::isfinite(to[k])) {
      Raise(
          base::Status::InvalidArgument("a limit is a finite number of days, not " +
                                        std::to_string(std::isfinite(from[k]) ? to[k] : from[k])));
    }
    if (from[k] > to[k]) {
      Raise(base::Status::InvalidArgument("a lower limit is above its upper limit: " +
                                          std::to_string(from[k]) + " > " + std::to_string(to[k])));
    }
  }
  std::vector<double> low, high;
  {
    py::gil_scoped_release released;
    low = CurveIntegrals(curve, integration::kLowLet, from, to);
    high = CurveIntegrals(curve, integration::kHighLet, from, to);
  }
  return py::make_tuple(Take(std::move(low)), Take(std::move(high)));
}

std::vector<std::string> NuclideNames(const DataSet& dataSet) {
  return ValueOf(dataSet.Nuclides());
}

std::unique_ptr<Curve> CurveOf(const DataSet& dataSet, const std::string& nuclide,
                               const std::string& age, const std::string& form,
                               const std::string& region, const std::string& tail) {
  const integration::Tail chosen = TailNamed(tail);
  return std::make_unique<Curve>(
      ValueWithoutGil([&] { return dataSet.ReadCurve(nuclide, age, form, region, chosen); }));
}

DataSet OpenDataSet(const std::string& dataDir, const std::string& name) {
  const input::DataKind kind = DataKindNamed(name);
  return ValueWithoutGil([&] { return DataSet::Open(dataDir, kind); });
}

// The texts of integration::Extrapolation, by value.
std::vector<std::string> ExtrapolationNames() {
  std::vector<std::string> names;
  for (int e = 0; e <= static_cast<int>(integration::Extrapolation::kUnbounded); ++e) {
    names.emplace_back(integration::ExtrapolationName(static_cast<integration::Extrapolation>(e)));
  }
  return names;
}

// What `get` gives for each of `items`, in order.
template <typename Item, typename Get>
auto Table(const std::vector<Item>& items, Get get) {
  std::vector<std::decay_t<decltype(get(items.front()))>> table;
  table.reserve(items.size());
  for (const Item& item : items) table.push_back(get(item));
  return table;
}

// pandas holds datetime64[ns] from 1677-09-21 to 2262-04-11; the frames take
// the whole years within, so that the limit is easy to state.
constexpr input::Days kFirstFrameDay{std::chrono::year(1678) / std::chrono::January / 1};
constexpr input::Days kLastFrameDay{std::chrono::year(2261) / std::chrono::December / 31};
constexpr std::int64_t kNanosecondsPerDay = 86'400'000'000'000;
constexpr std::int64_t kNotATime = std::numeric_limits<std::int64_t>::min();  // NaT

// 00:00 of `day` as nanoseconds since 1970 (NaT for none), or a ValueError
// naming the date and its person where pandas cannot hold it.
std::int64_t Nanoseconds(std::optional<input::Days> day, output::AnnualDoseField field,
                         const output::PersonFields& person) {
  if (!day) return kNotATime;
  if (*day < kFirstFrameDay || *day > kLastFrameDay) {
    Raise(base::Status::InvalidArgument(
        "person \"" + person.person + "\": " + std::string(output::AnnualDoseFieldName(field)) +
        " " + input::DateText(*day) +
        " is outside the dates pandas holds (1678-01-01 to 2261-12-31)"));
  }
  return std::int64_t{day->time_since_epoch().count()} * kNanosecondsPerDay;
}

// A date of each lead as nanoseconds since 1970.
template <typename Day>
py::array_t<std::int64_t> DateColumn(const std::vector<Day>& days, output::AnnualDoseField field,
                                     const std::vector<output::PersonFields>& persons) {
  std::vector<std::int64_t> column;
  column.reserve(days.size());
  for (std::size_t k = 0; k < days.size(); ++k) {
    column.push_back(Nanoseconds(days[k], field, persons[k]));
  }
  return Take(std::move(column));
}

// The row values of a dose column (Gy).
std::vector<double>& DoseColumn(HistoryRows& rows, output::AnnualDoseField field) {
  using enum output::AnnualDoseField;
  switch (field) {
    case kLowLet:
      return rows.low;
    case kHighLet:
      return rows.high;
    case kWeighted:
      return rows.weighted;
    case kLowLetTail:
      return rows.lowTail;
    case kHighLetTail:
      return rows.highTail;
    case kMean:
      return rows.mean;
    case kSd:
      return rows.sd;
    case kGm:
      return rows.gm;
    case kGsd:
      return rows.gsd;
    case kP05:
      return rows.p05;
    default:
      return rows.p95;
  }
}

// The rows of a history run as (name, values, codes), one a field in the
// file's order: a table of values (a NumPy array, or a list of str) and each
// row's index into it, or the values of each row with codes None. Dates are
// nanoseconds since 1970; the module types each column by its name.
py::list HistoryFrameColumns(HistoryColumns&& columns) {
  using output::AnnualDoseField;
  HistoryRows& rows = columns.rows;
  const py::object lead = Take(std::move(rows.lead));
  const py::object position = Take(std::move(rows.position));
  const std::vector<output::PersonFields>& persons = columns.persons;
  const std::vector<output::PartFields>& parts = columns.parts;
  py::list list;
  for (const AnnualDoseField field : columns.fields) {
    py::object values;
    py::object codes = lead;
    switch (field) {
      case AnnualDoseField::kPerson:
        values = py::cast(Table(persons, [](const auto& p) { return p.person; }));
        break;
      case AnnualDoseField::kBirthDate:
        values = DateColumn(columns.birthDates, field, persons);
        break;
      case AnnualDoseField::kRow:
        values = Take(Table(parts, [](const auto& p) { return std::int64_t{p.row}; }));
        break;
      case AnnualDoseField::kNuclide:
        values = py::cast(Table(parts, [](const auto& p) { return p.nuclide; }));
        break;
      case AnnualDoseField::kIntake:
        values = py::cast(Table(parts, [](const auto& p) { return std::string(p.intake); }));
        break;
      case AnnualDoseField::kForm:
        values = Take(Table(parts, [](const auto& p) { return std::int64_t{p.form}; }));
        break;
      case AnnualDoseField::kFormCode:
        values = py::cast(Table(parts, [](const auto& p) { return p.formCode; }));
        break;
      case AnnualDoseField::kAgeGroup:
        values = py::cast(Table(parts, [](const auto& p) { return AgeLabel(p.ageGroup); }));
        break;
      case AnnualDoseField::kPartStart:
        values = DateColumn(columns.partStarts, field, persons);
        break;
      case AnnualDoseField::kPartEnd:
        values = DateColumn(columns.partEnds, field, persons);
        break;
      case AnnualDoseField::kYear:
      case AnnualDoseField::kAge:
        values = Take(std::move(field == AnnualDoseField::kYear ? rows.year : rows.age));
        codes = py::none();
        break;
      case AnnualDoseField::kRegion:
        values = Take(std::move(columns.regions));
        codes = position;
        break;
      case AnnualDoseField::kRegionName:
        values = py::cast(columns.regionNames);
        codes = position;
        break;
      case AnnualDoseField::kLowLet:
      case AnnualDoseField::kHighLet:
      case AnnualDoseField::kWeighted:
      case AnnualDoseField::kLowLetTail:
      case AnnualDoseField::kHighLetTail:
      case AnnualDoseField::kMean:
      case AnnualDoseField::kSd:
      case AnnualDoseField::kGm:
      case AnnualDoseField::kGsd:
      case AnnualDoseField::kP05:
      case AnnualDoseField::kP95:
        values = Take(std::move(DoseColumn(rows, field)));
        codes = py::none();
        break;
      case AnnualDoseField::kExtrapolation:
        values = py::cast(ExtrapolationNames());
        codes = Take(std::move(rows.extrapolation));
        break;
      case AnnualDoseField::kLet:
        values = py::cast(std::vector<std::string>{std::string(output::LetName(0)),
                                                   std::string(output::LetName(1))});
        codes = Take(std::move(rows.let));
        break;
    }
    list.append(py::make_tuple(std::string(output::AnnualDoseFieldName(field)), values, codes));
  }
  return list;
}

// The intakes as the core takes them: the bytes of a file, or the columns of
// a data frame as (name, fields).
std::variant<std::string, std::vector<input::IntakeColumn>> Intakes(const py::object& intakes) {
  if (py::isinstance<py::bytes>(intakes)) return intakes.cast<std::string>();
  std::vector<input::IntakeColumn> columns;
  for (auto& [name, fields] :
       intakes.cast<std::vector<std::pair<std::string, std::vector<std::string>>>>()) {
    columns.push_back({std::move(name), std::move(fields)});
  }
  return columns;
}

// What annual_doses and risk_input both take: the intakes, where the data
// are, how far each person is followed and the tail.
HistoryRequest RequestOf(const py::object& intakes, const std::string& label,
                         const std::string& dataDir, std::optional<int> untilYear,
                         std::optional<int> untilAge, const std::string& tail,
                         std::optional<std::vector<std::string>> frameIndex) {
  HistoryRequest request;
  request.frameIndex = std::move(frameIndex);
  request.intakes = Intakes(intakes);
  request.label = label;
  request.dataDir = dataDir;
  request.untilYear = untilYear;
  request.untilAge = untilAge;
  request.tail = TailNamed(tail);
  return request;
}

// (columns, messages) of an intake history: the rows of
// annual_doses_by_<by>.csv with `by` ("intake", "nuclide" or "route"), of
// annual_doses.csv with an empty `by`.
py::tuple AnnualDosesOf(const py::object& intakes, const std::string& label,
                        const std::string& dataDir, std::optional<int> untilYear,
                        const std::string& regions, std::optional<double> highLetWeight,
                        const std::string& by, const std::string& tail, std::optional<int> untilAge,
                        std::optional<std::vector<std::string>> frameIndex, bool distributions) {
  HistoryRequest request =
      RequestOf(intakes, label, dataDir, untilYear, untilAge, tail, std::move(frameIndex));
  request.regions = regions;
  request.highLetWeight = highLetWeight;
  request.byIntake = by == "intake";
  if (by == "nuclide") request.byGroup = integration::DoseGroup::kNuclide;
  if (by == "route") request.byGroup = integration::DoseGroup::kRoute;
  if (!by.empty() && !request.byIntake && !request.byGroup)
    Raise(base::Status::InvalidArgument("by= takes nuclide, route or intake, not '" + by + "'"));
  request.distributions = distributions;
  if (distributions && !by.empty())
    Raise(base::Status::InvalidArgument("distributions=True and by= ask for two files; give one"));
  HistoryColumns columns = ValueWithoutGil([&] { return ComputeAnnualDoses(request); });
  py::list messages = Messages(columns.messages);
  return py::make_tuple(HistoryFrameColumns(std::move(columns)), messages);
}

// The rows of risk_input.csv as (name, values, codes), as HistoryFrameColumns gives them.
py::list RiskFrameColumns(RiskColumns&& columns) {
  const py::object lead = Take(std::move(columns.lead));
  const auto rowCount = static_cast<std::size_t>(py::len(lead));
  py::list list;
  const auto add = [&list](const char* name, py::object values, py::object codes) {
    list.append(py::make_tuple(name, std::move(values), std::move(codes)));
  };
  add("pid", py::cast(columns.persons), lead);
  add("sex", py::cast(columns.sexes), lead);
  add("birth", Take(std::move(columns.birth)), py::none());
  add("exposure", Take(std::move(columns.exposure)), py::none());
  add("age", Take(std::move(columns.age)), py::none());
  add("site", py::cast(columns.siteNames), Take(std::move(columns.site)));
  add("radiation", py::cast(columns.radiationNames), Take(std::move(columns.radiation)));
  add("exposure_rate", py::cast(std::vector<std::string>{std::string(output::kExposureRate)}),
      Take(std::vector<std::uint8_t>(rowCount, 0)));
  add("dosedist",
      py::cast(std::vector<std::string>{std::string(output::DoseDistName(false)),
                                        std::string(output::DoseDistName(true))}),
      Take(std::move(columns.dosedist)));
  add("dose1", Take(std::move(columns.dose1)), py::none());
  add("dose2", Take(std::move(columns.dose2)), py::none());
  add("dose3", Take(std::move(columns.dose3)), py::none());
  return list;
}

// (columns, messages) of risk_input.csv's rows.
py::tuple RiskInputOf(const py::object& intakes, const std::string& label, const py::object& sites,
                      const std::string& sitesLabel, const std::string& dataDir,
                      std::optional<int> untilYear, std::optional<int> untilAge,
                      const std::string& unit, const std::string& highName,
                      const std::string& lowName, const std::string& tail,
                      std::optional<std::vector<std::string>> frameIndex,
                      std::optional<std::vector<std::string>> sitesIndex) {
  const HistoryRequest request =
      RequestOf(intakes, label, dataDir, untilYear, untilAge, tail, std::move(frameIndex));
  output::RiskOptions options;
  const std::optional<output::RiskUnit> riskUnit = output::ParseRiskUnit(unit);
  if (!riskUnit)
    Raise(base::Status::InvalidArgument("unit= takes mGy, Gy or cGy, not '" + unit + "'"));
  options.unit = *riskUnit;
  options.highLetName = highName;
  options.lowLetName = lowName;
  const auto siteTable = Intakes(sites);
  RiskColumns columns = ValueWithoutGil(
      [&] { return ComputeRiskInput(request, siteTable, sitesLabel, sitesIndex, options); });
  py::list messages = Messages(columns.messages);
  return py::make_tuple(RiskFrameColumns(std::move(columns)), messages);
}

void BindCurve(py::module_& m) {
  py::class_<Curve>(m, "Curve", "One rate curve of a block (see quillmore.Curve).")
      .def_readonly("nuclide", &Curve::nuclide)
      .def_property_readonly("age_group", [](const Curve& c) { return AgeLabel(c.ageGroup); })
      .def_readonly("form", &Curve::form)
      .def_property_readonly("form_code", [](const Curve& c) { return c.formTexts.code; })
      .def_property_readonly("form_label", [](const Curve& c) { return c.formTexts.label; })
      .def_readonly("region", &Curve::region)
      .def_property_readonly(
          "times", [](const Curve& c) { return Copy(c.curves[integration::kLowLet].times()); })
      .def_property_readonly(
          "rates_low", [](const Curve& c) { return Copy(c.curves[integration::kLowLet].rates()); })
      .def_property_readonly(
          "rates_high",
          [](const Curve& c) { return Copy(c.curves[integration::kHighLet].rates()); })
      .def_property_readonly("single_point",
                             [](const Curve& c) { return c.curves[0].singlePoint(); })
      .def_property_readonly(
          "tail", [](const Curve& c) { return integration::TailName(c.curves[0].tail()); })
      .def("dose", CurveDoses, "(low, high) doses in Gy/Bq from intake to each period (days).")
      .def("rate", CurveRates, "(low, high) rates in Gy/Bq per day at each time (days).")
      .def("integrate", CurveIntegrate,
           "(low, high) doses in Gy/Bq over [a, b] for flat arrays a and b (days).");
}

void BindDataSet(py::module_& m) {
  py::class_<DataSet>(m, "DataSet", "An opened data set (see quillmore.DataSet).")
      .def_property_readonly("data_set",
                             [](const DataSet& d) { return input::DataSetOf(d.kind()).name; })
      .def_property_readonly("folder", [](const DataSet& d) { return d.folder().string(); })
      .def_property_readonly("region_names", &DataSet::regionNames)
      .def("nuclides", NuclideNames, "Names of the nuclides with data in this set.")
      .def("coefficients", CoefficientColumnsOf,
           "(columns, messages) of a coefficient run: NumPy columns and text tables.")
      .def("curve", CurveOf, "The Curve of (nuclide, age, form, region).");
}

}  // namespace
}  // namespace quillmore::python

PYBIND11_MODULE(_core, m) {
  using namespace quillmore::python;
  m.doc() = "The C++ core of quillmore; use the quillmore package, not this module.";
  BindCurve(m);
  BindDataSet(m);
  m.def("open", OpenDataSet, "The DataSet of (data_dir, data_set).");
  m.def("annual_doses", AnnualDosesOf,
        "(columns, messages) of an intake history given as a file's bytes or a frame's columns "
        "(and its index labels, one a row, which name its rows in messages).",
        py::arg("intakes"), py::arg("label"), py::arg("data_dir"), py::arg("until"),
        py::arg("regions"), py::arg("high_let_weight"), py::arg("by"), py::arg("tail"),
        py::arg("until_age"), py::arg("frame_index") = py::none(),
        py::arg("distributions") = false);
  m.def("risk_input", RiskInputOf,
        "(columns, messages) of risk_input.csv's rows from intakes and sites, each a file's "
        "bytes or a frame's columns.",
        py::arg("intakes"), py::arg("label"), py::arg("sites"), py::arg("sites_label"),
        py::arg("data_dir"), py::arg("until"), py::arg("until_age"), py::arg("unit"),
        py::arg("high_name"), py::arg("low_name"), py::arg("tail"),
        py::arg("frame_index") = py::none(), py::arg("sites_index") = py::none());
  m.attr("EXTRAPOLATIONS") = ExtrapolationNames();
  std::vector<std::string> ages;
  for (int age = 1; age <= quillmore::input::kAgeGroupCount; ++age) ages.push_back(AgeLabel(age));
  m.attr("AGE_GROUPS") = ages;
}
