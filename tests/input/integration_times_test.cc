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
