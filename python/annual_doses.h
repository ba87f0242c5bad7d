// The annual doses of an intake history for the Python module: the batch's
// history run, its rows written by the batch's own CSV writers, in memory.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/status.h"
#include "output/run_message.h"

namespace quillmore::python {

// What quillmore-batch --intakes takes, the intake file as its bytes.
struct HistoryRequest {
  std::string bytes;  // the intake file's content
  std::string label;  // the intake file as messages name it
  std::string dataDir;
  std::optional<int> untilYear;
  std::string regions = "all";
  std::optional<double> highLetWeight;
  bool byIntake = false;
};

struct HistoryTexts {
  std::string annualCsv;    // annual_doses.csv, as the batch writes it
  std::string byIntakeCsv;  // annual_doses_by_intake.csv, only with byIntake
  std::vector<output::RunMessage> messages;
};

// Runs the history of `request`. Bad rows: kInvalidArgument listing up to 20
// of them, one a line, "LABEL:LINE: message", as the batch lists them; an
// unknown region kUnknownName; missing or unusable data kIoError or kCorruption.
base::Status ComputeAnnualDoses(const HistoryRequest& request, HistoryTexts* result);

}  // namespace quillmore::python
