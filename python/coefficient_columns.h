// The rows of the coefficient CSV held as columns in memory, for data frames:
// the same rows, in the same order, with the same values as the CSV sink
// writes for the same run.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/status.h"
#include "output/table_sink.h"

namespace quillmore::python {

// Numeric columns; text columns as indices into the tables of
// CoefficientColumns (age groups as numbers 1 to 6, region names by region).
struct CoefficientRows {
  std::vector<std::uint32_t> nuclide;
  std::vector<std::int8_t> ageGroup;
  std::vector<std::int64_t> ageDays;
  std::vector<std::int64_t> form;
  std::vector<std::uint32_t> formCode;
  std::vector<std::uint32_t> formLabel;
  std::vector<double> periodDays;
  std::vector<std::int64_t> region;
  std::vector<double> lowLet;
  std::vector<double> highLet;
  std::vector<std::int8_t> extrapolation;  // integration::Extrapolation, the worse component's

  std::size_t count() const { return lowLet.size(); }
  // Appends the rows of `other`; `other` is left empty.
  void TakeFrom(CoefficientRows& other);
};

// Every row of a run and the texts its indices point to (UTF-8).
struct CoefficientColumns {
  CoefficientRows rows;
  std::vector<std::string> nuclideNames;
  std::vector<std::string> formCodes;
  std::vector<std::string> formLabels;
};

// A form's texts as the CSV writes them (UTF-8): the form code, and the
// chemical-form label of label number `labelNumber` (inhalation only; empty
// otherwise).
struct FormTexts {
  std::string code;
  std::string label;
};
FormTexts FormTextsOf(input::DataKind kind, const input::BlockHeader& header,
                      std::int32_t labelNumber);

// A table sink that appends each nuclide's rows to `columns` (kept by
// reference: it must outlive the sink), age group by age group as the CSV
// orders them.
class ColumnSink final : public output::TableSink {
 public:
  explicit ColumnSink(CoefficientColumns& columns) : columns_(columns) {}

  base::Status Begin(const output::NuclideTables& tables) override;
  base::Status Add(const output::RowGroup& group) override;
  base::Status End(std::span<const output::RunMessage> messages) override;

 private:
  std::uint32_t Intern(std::vector<std::string>& texts,
                       std::unordered_map<std::string, std::uint32_t>& ids, std::string text);

  CoefficientColumns& columns_;
  const input::Selection* selection_ = nullptr;
  std::uint32_t nuclide_ = 0;
  std::vector<CoefficientRows> pending_;  // per table of the nuclide
  std::unordered_map<std::string, std::uint32_t> codeIds_;
  std::unordered_map<std::string, std::uint32_t> labelIds_;
};

}  // namespace quillmore::python
