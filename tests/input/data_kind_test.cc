#include "input/data_kind.h"

#include <gtest/gtest.h>

namespace quillmore::input {
namespace {

// A data set by its whole name or its one letter, in any case; nothing else,
// not even a longer prefix of the name.
TEST(DataKindTest, FindsDataSetsByNameOrLetterInAnyCase) {
  for (const char* name : {"inhalation", "INHALATION", "Inhalation", "h", "H"})
    EXPECT_EQ(FindDataSet(name), DataKind::kInhalation) << name;
  for (const char* name : {"ingestion", "InGeStIoN", "g", "G"})
    EXPECT_EQ(FindDataSet(name), DataKind::kIngestion) << name;
  for (const char* name : {"", "i", "inh", "inhalations", " h", "hg", "x", "TQV27INH2.DRT"})
    EXPECT_FALSE(FindDataSet(name).has_value()) << name;
}

}  // namespace
}  // namespace quillmore::input
