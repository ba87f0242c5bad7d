#include "console/interactive_check.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quillmore::console {
namespace {

TEST(CheckInteractiveTerminal, NamesTheMissingStreamAndTheBatchProgram) {
  std::ostringstream quiet;
  EXPECT_EQ(CheckInteractiveTerminal(true, true, quiet), 0);
  EXPECT_EQ(quiet.str(), "");

  for (const auto& [in, out, missing] :
       {std::tuple{false, true, "standard input."}, std::tuple{true, false, "standard output."},
        std::tuple{false, false, "input and output."}}) {
    std::ostringstream err;
    EXPECT_EQ(CheckInteractiveTerminal(in, out, err), 2);
    EXPECT_NE(err.str().find(missing), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("quillmore-batch"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillmore::console
