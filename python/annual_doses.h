// The annual doses of an intake history for the Python module: the batch's
// history run, its rows as columns with the values of the batch's files.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/result.h"
#include "history_columns.h"
#include "input/intake_file.h"
#include "integration/grouped_doses.h"
#include "integration/tail.h"

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

}  // namespace quillmore::python
