// One data set opened for the Python module: what the batch program reads,
// run through the same nuclide run, with results kept in memory. Holds only
// paths and names; each call opens its own file handles, so one DataSet may
// serve several threads at once.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "coefficient_columns.h"
#include "input/data_kind.h"
#include "integration/coefficient_table.h"
#include "integration/rate_curve.h"
#include "integration/tail.h"
#include "output/run_message.h"
#include "run/nuclide_run.h"
#include "run/selection_names.h"

namespace quillmore::python {

// How the module's messages name its parameters.
inline const run::ListWords kListWords{"ages=", "regions=", "see regions()"};

// Failures are Statuses: kUnknownName for an unknown nuclide, age group or
// region (UnknownNameError), kNotFound, kIoError or kCorruption for missing or
// unusable data (DataError), kInvalidArgument for other bad arguments (ValueError).

// What a caller asks for, as the batch's options would give it.
struct Request {
  std::vector<std::string> nuclides;  // as typed; empty with allNuclides
  bool allNuclides = false;
  std::optional<std::vector<double>> periods;  // days; else timesFile
  std::optional<std::string> timesFile;        // else the data folder's
  std::string ages = "all";
  std::string regions = "all";
  integration::Tail tail = integration::Tail::kCubic;  // past each block's data
};

// A run's warnings and notes, in the order the batch reports them.
struct Coefficients {
  CoefficientColumns columns;
  std::vector<output::RunMessage> messages;
};

// One rate curve of a block, both LET components, and what names it.
struct Curve {
  std::string nuclide;
  int ageGroup = 0;
  std::int64_t form = 0;
  FormTexts formTexts;
  int region = 0;
  std::array<integration::RateCurve, integration::kComponentCount> curves;
};

// The dose (Gy/Bq) of one component of `curve` over [from[k], to[k]] for
// each k (from[k] <= to[k], both finite days after intake; the rate is 0
// before intake): from intake, its dose to to[k] bit for bit; otherwise the
// integral over the stretch alone, at full precision. A single time point's
// dose is its rate at every period, so only stretches from intake take it.
std::vector<double> CurveIntegrals(const Curve& curve, int component,
                                   const std::vector<double>& from, const std::vector<double>& to);

class DataSet {
 public:
  // The data set of `kind` in the folder `dataDir` (found in any letter
  // case): its index and dose-rate file opened and region names read.
  static base::Result<DataSet> Open(const std::string& dataDir, input::DataKind kind);

  input::DataKind kind() const { return kind_; }
  const std::filesystem::path& folder() const { return folder_; }
  // Names of regions 1 to 30 in UTF-8.
  const std::vector<std::string>& regionNames() const { return utf8RegionNames_; }

  // Names of the nuclides with data in this set, in index order.
  base::Result<std::vector<std::string>> Nuclides() const;
  // The coefficients `request` asks for, as the batch's CSV holds them.
  base::Result<Coefficients> ComputeCoefficients(const Request& request) const;
  // The curve of `form` (the CSV's form number, or a form code as an intake
  // file names it: input::FindForm) of `nuclide` for one age group and one
  // region, each given as the batch's options take them.
  base::Result<Curve> ReadCurve(const std::string& nuclide, const std::string& age,
                                const std::string& form, const std::string& region,
                                integration::Tail tail) const;

 private:
  // The selection `request` makes; times-file warnings go to `warnings`.
  base::Result<run::RunSelection> Select(const Request& request,
                                         std::vector<output::RunMessage>& warnings) const;
  base::Result<std::vector<std::string>> FindNuclides(const Request& request,
                                                      input::DataIndex& index) const;

  input::DataKind kind_ = input::DataKind::kInhalation;
  std::filesystem::path folder_;
  std::filesystem::path indexPath_;
  std::filesystem::path doseRatePath_;
  std::vector<std::string> regionNames_;  // as the file holds them, for name lookup
  std::vector<std::string> utf8RegionNames_;
};

}  // namespace quillmore::python
