// The command line of quillmore-batch.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "base/status.h"
#include "input/data_kind.h"
#include "integration/tail.h"
#include "output/file_writer.h"
#include "output/risk_input.h"
#include "plot/figure.h"
#include "run/figure_export.h"
#include "run/selection_names.h"

namespace quillmore::app {

// How the batch's messages name its age and region lists.
inline const run::ListWords kBatchListWords{"--ages", "--regions", "see --list-regions"};

// The files --format asks for; txt alone by default.
struct OutputFormats {
  bool text = true;
  bool csv = false;
  bool json = false;
  bool risk = false;  // risk_input.csv, with --intakes
};

struct BatchOptions {
  std::optional<input::DataKind> dataKind;  // --data-set, required for runs
  std::string dataDir = input::kDataFolderName;
  std::string outputDir = input::kOutputFolderName;
  std::optional<std::string> timesFile;  // default: Quillmore.ini in the data folder
  std::optional<std::string> periods;    // --periods as given, instead of a times file
  std::vector<double> periodDays;        // its periods in days, in the order given
  std::string ages = "all";
  std::string regions = "all";
  bool allNuclides = false;
  bool listRegions = false;
  bool listNuclides = false;
  bool check = false;
  bool curves = false;  // also the curve file of each nuclide
  bool quiet = false;
  bool help = false;
  bool version = false;
  int jobs = 0;  // 0: one per core
  OutputFormats formats;
  bool manifest = false;                    // also given by csv or json in --format
  std::vector<plot::FigureFormat> figures;  // --figures: none by default
  plot::FigureSize figureSize;
  run::Comparison compare = run::Comparison::kNone;
  std::optional<int> form;  // --form, for --compare nuclides (default 1)
  std::vector<std::string> nuclides;
  std::optional<std::string> intakesFile;  // --intakes: annual doses of an intake history
  std::optional<int> untilYear;
  std::optional<int> untilAge;  // --until-age: each person to this birthday
  bool byIntake = false;        // --by intake, or --by-intake
  bool byNuclide = false;       // --by nuclide
  bool byRoute = false;         // --by route
  std::optional<double> highLetWeight;
  std::optional<integration::Tail> tail;  // --tail: cubic for tables, exponential for --intakes
  output::Compression compress = output::Compression::kNone;  // of every CSV file
  std::optional<std::string> sitesFile;  // --sites: the sites of risk_input.csv
  output::RiskUnit riskUnit = output::RiskUnit::kMilligray;
  std::string highLetName = "alpha";  // --radiation-names HIGH,LOW
  std::string lowLetName = "low-LET";
  std::vector<std::string> given;      // the options given, by their long names
  std::vector<std::string> arguments;  // as given, for the run's manifest
};

// Parses argv[1..]; a usage error is kInvalidArgument with a one-line message.
// A value option given twice is one.
base::Result<BatchOptions> ParseBatchOptions(const std::vector<std::string>& arguments);

// The text --help prints.
std::string BatchUsage();

}  // namespace quillmore::app
