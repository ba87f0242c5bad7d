#include <gtest/gtest.h>

#include <sstream>

#include "app/interactive_command_line.h"

namespace quillmore::app {
namespace {

TEST(RefuseWithoutTerminal, NamesTheMissingStreamAndTheBatchProgram) {
  std::ostringstream quiet;
  EXPECT_EQ(RefuseWithoutTerminal({true, true}, quiet), std::nullopt);
  EXPECT_EQ(quiet.str(), "");

  for (const auto& [in, out, missing] :
       {std::tuple{false, true, "standard input."}, std::tuple{true, false, "standard output."},
        std::tuple{false, false, "input and output."}}) {
    std::ostringstream err;
    EXPECT_EQ(RefuseWithoutTerminal({in, out}, err), 2);
    EXPECT_NE(err.str().find(missing), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("quillmore-batch"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillmore::app
