#include "input/integration_times.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillmore::input {
namespace {

std::vector<double> Times(std::string_view content) {
  const IntegrationTimes times = ParseIntegrationTimes(content, "Quillmore.ini");
  EXPECT_TRUE(times.status.ok()) << times.status.message();
  return times.integrationTimes;
}

using Vector = std::vector<double>;

TEST(IntegrationTimes, ReadsTheLinesBetweenStartAndEnd) {
  EXPECT_EQ(Times("Title\r\nSTART\r\n1\r\n7\r\n  30.5 days\r\n365\r\nEND\r\n"),
            (Vector{1, 7, 30.5, 365}));
  EXPECT_EQ(Times("START\r\nEND\r\n"), Vector{});
  EXPECT_EQ(Times("START\r\n\r\n1E3\r\nyears\r\nEND"), (Vector{0, 1000, 0}));
  // START and END count only at the very start of a line, in capitals; any
  // text may follow them.
  EXPECT_EQ(Times("END\r\n START\r\nstart\r\nSTART here\r\n5\r\n END\r\nend\r\nENDING\r\n9\r\n"),
            (Vector{5, 0, 0}));
}

TEST(IntegrationTimes, LineEnds) {
  // A lone LF stays in the line (the number stops at it); CR alone ends one.
  EXPECT_EQ(Times("START\r\n1\n2\r3\r\n\r\nEND"), (Vector{1, 3, 0}));
  EXPECT_EQ(Times("START\n1\r2\r\nEND"), (Vector{2}));  // "START\n1" is the START line
  // Ctrl+Z ends the line and the file.
  EXPECT_EQ(Times("START\r\n4\r\n5\x1a"
                  "6\r\nEND\r\n"),
            (Vector{4, 5}));
  EXPECT_EQ(Times("START\r\n4\r\n\x1a"
                  "6\r\n"),
            (Vector{4}));
}

TEST(IntegrationTimes, MissingStartOrEnd) {
  EXPECT_EQ(Times("1\r\n7\r\nEND\r\n"), Vector{});
  EXPECT_EQ(Times("START\r\n1\r\n7\r\n"), (Vector{1, 7}));
  EXPECT_EQ(Times("START\r\n1\r\n7"), (Vector{1, 7}));
  EXPECT_EQ(Times(""), Vector{});
}

TEST(IntegrationTimes, AtMostOneHundredTimes) {
  std::string content = "START\r\n";
  for (int i = 1; i <= 100; ++i) content += std::to_string(i) + "\r\n";
  EXPECT_EQ(ParseIntegrationTimes(content + "END\r\n", "x").integrationTimes.size(), 100U);
  const IntegrationTimes tooMany =
      ParseIntegrationTimes(content + "101\r\nEND\r\n", "Quillmore.ini");
  EXPECT_EQ(tooMany.status.code(), base::Status::Code::kInvalidArgument);
  EXPECT_EQ(tooMany.status.message(), "Quillmore.ini holds more than 100 integration times");
  EXPECT_TRUE(tooMany.integrationTimes.empty());
}

TEST(IntegrationTimes, ReadsFilesAndReportsAMissingOne) {
  testing::TempDir dir;
  testing::WriteFile(dir / "Quillmore.ini", "; times\r\nSTART\r\n1\r\n36500\r\nEND\r\n");
  const IntegrationTimes times = ReadIntegrationTimes(dir / "Quillmore.ini");
  EXPECT_TRUE(times.status.ok());
  EXPECT_EQ(times.integrationTimes, (Vector{1, 36500}));
  const IntegrationTimes missing = ReadIntegrationTimes(dir / "Other.ini");
  EXPECT_EQ(missing.status.code(), base::Status::Code::kNotFound);
  EXPECT_TRUE(missing.integrationTimes.empty());
}

}  // namespace
}  // namespace quillmore::input
