// The rows of annual_doses.csv or annual_doses_by_intake.csv held as columns
// in memory, for data frames: the same rows, in the same order, with the
// values the batch's writers write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/intake_calendar.h"
#include "output/annual_dose_files.h"
#include "output/run_message.h"

namespace quillmore::python {

// The rows of one file: each row's lead (a person or an intake part, by
// index into HistoryColumns), year, position in the selected regions and
// values.
struct HistoryRows {
  std::vector<std::uint32_t> lead;
  std::vector<std::int64_t> year;
  std::vector<std::int64_t> age;  // year - birth year
  std::vector<std::uint32_t> position;
  std::vector<double> low;
  std::vector<double> high;
  std::vector<double> weighted;  // empty without a high-LET weight
  std::vector<double> lowTail;   // the parts of low and high from past the data
  std::vector<double> highTail;
  std::vector<std::int8_t> extrapolation;  // integration::Extrapolation
  // Those of annual_dose_distributions.csv: the LET (kLowLet, kHighLet) and
  // the values, the lognormal's NaN where it is empty.
  std::vector<std::int8_t> let;
  std::vector<double> mean, sd, gm, gsd, p05, p95;
};

struct HistoryColumns {
  std::vector<output::AnnualDoseField> fields;  // the file's, in order
  std::vector<output::PersonFields> persons;    // by lead, in either file
  std::vector<output::PartFields> parts;        // by lead, in the by-intake file
  // The dates of persons and parts as days, by lead, for date columns that
  // need no text: the birth date in either file, a part's start and end
  // (none for an acute part) in the by-intake file.
  std::vector<input::Days> birthDates;
  std::vector<input::Days> partStarts;
  std::vector<std::optional<input::Days>> partEnds;
  HistoryRows rows;
  // By position in the selected regions.
  std::vector<std::int64_t> regions;
  std::vector<std::string> regionNames;
  std::vector<output::RunMessage> messages;

  // Empties the columns for the by-intake file (`byIntake`), the by-nuclide
  // or by-route file (`group`), the distributions file (`distributions`) or
  // the annual file.
  void Begin(const output::AnnualDoseColumns& columns, bool byIntake,
             std::optional<integration::DoseGroup> group = std::nullopt,
             bool distributions = false);
  // Appends the rows of a person (holding moments) to the distributions file's.
  void AddDistributions(const integration::PersonDoses& person);
  // Appends the rows of a person (annual file) or of an intake part (by-intake file).
  void AddPerson(const integration::PersonDoses& person, const output::AnnualDoseColumns& columns);
  void AddPart(const integration::ResolvedIntake& intake, const integration::IntakePartDoses& part,
               const integration::YearDoses& doses, const output::AnnualDoseColumns& columns);
  // Appends the rows of one group of a person; its lead is a part holding
  // only the person and the nuclide or route.
  void AddGroup(const integration::PersonDoses& person, integration::DoseGroup by,
                const integration::GroupDoses& group, const output::AnnualDoseColumns& columns);

 private:
  void AddRows(std::uint32_t lead, int birthYear, const integration::YearDoses& doses,
               const output::AnnualDoseColumns& columns);
};

}  // namespace quillmore::python
