// The annual doses of an intake history for the Python module: the batch's
// history run, its rows as columns with the values of the batch's files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/result.h"
#include "history_columns.h"
#include "input/intake_file.h"
#include "integration/grouped_doses.h"
#include "integration/tail.h"
#include "output/risk_input.h"
#include "output/run_message.h"

namespace quillmore::python {

// What quillmore-batch --intakes takes, the intakes as the bytes of an
// intake file or as the columns of a data frame.
struct HistoryRequest {
  std::variant<std::string, std::vector<input::IntakeColumn>> intakes;
  std::string label;  // the intake file as messages name it
  std::string dataDir;
  std::optional<int> untilYear;
  std::string regions = "all";
  std::optional<double> highLetWeight;
  bool byIntake = false;
  std::optional<integration::DoseGroup> byGroup;  // the by-nuclide or by-route rows instead
  integration::Tail tail = integration::Tail::kExponential;
  std::optional<int> untilAge;                         // each person followed to this birthday
  std::optional<std::vector<std::string>> frameIndex;  // a data frame's index labels, one a row
  bool distributions = false;  // the rows of annual_dose_distributions.csv instead
};

// Runs the history of `request`: the rows of annual_doses_by_intake.csv
// with request.byIntake, of the by-nuclide or by-route file with
// request.byGroup, of annual_dose_distributions.csv with request.distributions
// (every intake exact without an activity_gsd column), of annual_doses.csv otherwise. Bad rows:
// kInvalidArgument listing up to 20 of them, one a line, "LABEL:LINE: message", as the batch lists
// them; an unknown region kUnknownName; missing or unusable data kIoError or kCorruption. The note
// on the intakes left out by the end of follow-up comes as a warning.
base::Result<HistoryColumns> ComputeAnnualDoses(const HistoryRequest& request);

// The rows of risk_input.csv as columns: texts as tables and each row's
// index into them.
struct RiskColumns {
  std::vector<std::string> persons;  // by lead
  std::vector<std::string> sexes;    // by lead: "female", "male"
  std::vector<std::uint32_t> lead;   // by row: its person
  std::vector<std::int64_t> birth, exposure, age;
  std::vector<std::uint32_t> site;          // index into siteNames
  std::vector<std::uint8_t> radiation;      // index into radiationNames: high LET first
  std::vector<std::uint8_t> dosedist;       // 0 fixedvalue, 1 lognormal
  std::vector<double> dose1, dose2, dose3;  // NaN where empty
  std::vector<std::string> siteNames;
  std::vector<std::string> radiationNames;  // high LET, low LET
  std::vector<output::RunMessage> messages;
};

// Runs the history of `request` with the sites of `sites` (a file's bytes or
// a frame's columns, named in messages by `sitesLabel` and, for a frame,
// `sitesIndex`) into risk_input.csv's rows. Bad rows of either table are
// kInvalidArgument, listed as ComputeAnnualDoses lists them.
base::Result<RiskColumns> ComputeRiskInput(
    const HistoryRequest& request,
    const std::variant<std::string, std::vector<input::IntakeColumn>>& sites,
    const std::string& sitesLabel, const std::optional<std::vector<std::string>>& sitesIndex,
    const output::RiskOptions& options);

}  // namespace quillmore::python
