#include "input/integration_times.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

std::vector<double> Times(std::string_view content) {
  const IntegrationTimes times = ParseIntegrationTimes(content, "Quillmore.ini");
  EXPECT_TRUE(times.ok()) << times.status().message();
  return times.ok() ? times.value() : std::vector<double>();
}

using Vector = std::vector<double>;

// The message of a file the reader refuses, with no times.
std::string Refused(std::string_view content) {
  const IntegrationTimes times = ParseIntegrationTimes(content, "DATA/Quillmore.ini");
  EXPECT_EQ(times.status().code(), base::Status::Code::kInvalidArgument);
  EXPECT_FALSE(times.ok()) << "no times";
  return times.status().message();
}

TEST(IntegrationTimes, ReadsTheLinesBetweenStartAndEnd) {
  EXPECT_EQ(Times("Title\r\nSTART\r\n1\r\n7\r\n  30.5 days\r\n365\r\nEND\r\n"),
            (Vector{1, 7, 30.5, 365}));
  EXPECT_EQ(Times("START\r\n\r\n1E3\r\n  \t\r\n-0\r\nEND"), (Vector{0, 1000, 0, 0}));
  // START and END count only at the very start of a line, in capitals; any
  // text may follow them.
  EXPECT_EQ(Times("END\r\n START\r\nstart\r\nSTART here\r\n5\r\n 7 END\r\nENDING\r\n9\r\n"),
            (Vector{5, 7}));
}

// The lines of a file that warn, as "line: what".
std::vector<std::string> Warnings(std::string_view timeLines) {
  std::vector<TimesFault> warnings;
  const std::string content = "START\r\n" + std::string(timeLines) + "END\r\n";
  EXPECT_TRUE(ParseIntegrationTimes(content, "Quillmore.ini", nullptr, &warnings).ok());
  std::vector<std::string> lines;
  for (const TimesFault& warning : warnings)
    lines.push_back(std::to_string(warning.line) + ": " + warning.what);
  return lines;
}

TEST(IntegrationTimes, CommentsAreSilentWhereLikelyMisreadingsWarn) {
  // A comment or unit after blanks is the file's own form, and so are days
  // glued to the number and trailing blanks.
  EXPECT_EQ(Warnings("1\r\n7\r\n30.5 days\r\n365\r\n1 day\r\n3.65D+04  100 years\r\n"
                     "1d\r\n7DAYS \t\r\n7\t\r\n50 yes\r\n36 5000\r\n1000 500\r\n"
                     "12 500.5\r\n 9\tmonthly\r\n2 d\r\n"),
            std::vector<std::string>());
  // Thousands blanks, units other than days and glued text still warn.
  EXPECT_EQ(
      Warnings("36 500\r\n36 500 days\r\n1 000 000\r\n50 y\r\n1 Year\r\n12 h.\r\n"
               "3 MONTHS\r\n2\twk\r\n5 a\r\n10 s;\r\n18,250\r\n50y\r\n3O\r\n"
               "7days later\r\n \t\r\n"),
      (std::vector<std::string>{"2: \"36 500\" is read as 36 d; \"500\" is ignored",
                                "3: \"36 500 days\" is read as 36 d; \"500 days\" is ignored",
                                "4: \"1 000 000\" is read as 1 d; \"000 000\" is ignored",
                                "5: \"50 y\" is read as 50 d; \"y\" is ignored",
                                "6: \"1 Year\" is read as 1 d; \"Year\" is ignored",
                                "7: \"12 h.\" is read as 12 d; \"h.\" is ignored",
                                "8: \"3 MONTHS\" is read as 3 d; \"MONTHS\" is ignored",
                                "9: \"2?wk\" is read as 2 d; \"wk\" is ignored",
                                "10: \"5 a\" is read as 5 d; \"a\" is ignored",
                                "11: \"10 s;\" is read as 10 d; \"s;\" is ignored",
                                "12: \"18,250\" is read as 18 d; \",250\" is ignored",
                                "13: \"50y\" is read as 50 d; \"y\" is ignored",
                                "14: \"3O\" is read as 3 d; \"O\" is ignored",
                                "15: \"7days later\" is read as 7 d; \"days later\" is ignored",
                                "16: a blank line is read as 0 d"}));
}

TEST(IntegrationTimes, LineEnds) {
  // CR LF, a lone LF and a lone CR each end a line: a file from any editor reads alike.
  const Vector expected{1, 2, 3, 0};
  EXPECT_EQ(Times("START\r\n1\r\n2\r\n3\r\n\r\nEND\r\n"), expected);
  EXPECT_EQ(Times("START\n1\n2\n3\n\nEND\n"), expected);
  EXPECT_EQ(Times("START\r1\r2\r3\r\rEND\r"), expected);
  EXPECT_EQ(Times("START\r\n1\n2\r3\r\n\nEND"), expected);
  // Ctrl+Z ends the line and the file.
  EXPECT_EQ(Times("START\r\n4\r\n5\x1a"
                  "6\r\nEND\r\n"),
            (Vector{4, 5}));
  EXPECT_EQ(Times("START\r\n4\r\n\x1a"
                  "6\r\n"),
            (Vector{4}));
}

TEST(IntegrationTimes, LinesThatAreNoTimesAreRefusedByFileAndLine) {
  EXPECT_EQ(Refused("; times\nSTART\n1\nabc\nEND\n"),
            "DATA/Quillmore.ini, line 4: \"abc\" is not a number of days");
  EXPECT_EQ(Refused("START\r\n7\r\n-5 days\r\nEND\r\n"),
            "DATA/Quillmore.ini, line 3: \"-5 days\" is a negative time");
  EXPECT_EQ(Refused("START\r\n1E999\r\n"),
            "DATA/Quillmore.ini, line 2: \"1E999\" is too large a time");
  EXPECT_EQ(Refused("START\r\n . \tx\x01" + std::string(40, 'y') + "\r\nEND\r\n"),
            "DATA/Quillmore.ini, line 2: \" . ?x?" + std::string(34, 'y') +
                "...\" is not a number of days");
  EXPECT_EQ(Refused("START\r\nEND\r\n"),
            "DATA/Quillmore.ini holds no integration times between START and END");
  EXPECT_EQ(Refused("1\r\n7\r\nEND\r\n"),
            "DATA/Quillmore.ini holds no integration times (no START line)");
  EXPECT_EQ(Refused(""), "DATA/Quillmore.ini holds no integration times (no START line)");
}

TEST(IntegrationTimes, MissingEndEndsTheListWithTheFile) {
  EXPECT_EQ(Times("START\r\n1\r\n7\r\n"), (Vector{1, 7}));
  EXPECT_EQ(Times("START\r\n1\r\n7"), (Vector{1, 7}));
}

TEST(IntegrationTimes, AtMostOneHundredTimes) {
  std::string content = "START\r\n";
  for (int i = 1; i <= 100; ++i) content += std::to_string(i) + "\r\n";
  EXPECT_EQ(ParseIntegrationTimes(content + "END\r\n", "x").value().size(), 100U);
  const IntegrationTimes tooMany =
      ParseIntegrationTimes(content + "101\r\nEND\r\n", "Quillmore.ini");
  EXPECT_EQ(tooMany.status().code(), base::Status::Code::kInvalidArgument);
  EXPECT_EQ(tooMany.status().message(), "Quillmore.ini holds more than 100 integration times");
  EXPECT_FALSE(tooMany.ok()) << "no times";
}

TEST(IntegrationTimes, ReadsFilesAndReportsAMissingOne) {
  testing::TempDir dir;
  testing::WriteFile(dir / "Quillmore.ini", "; times\r\nSTART\r\n1\r\n36500\r\nEND\r\n");
  const IntegrationTimes times = ReadIntegrationTimes(dir / "Quillmore.ini");
  ASSERT_TRUE(times.ok());
  EXPECT_EQ(times.value(), (Vector{1, 36500}));
  const IntegrationTimes missing = ReadIntegrationTimes(dir / "Other.ini");
  EXPECT_EQ(missing.status().code(), base::Status::Code::kNotFound);
  EXPECT_FALSE(missing.ok()) << "no times";
}

}  // namespace
}  // namespace quillmore::input
