// Runs a built program as a child process, as a user or a script would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quillmore::testing {

struct Outcome {
  int status = -1;  // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `arguments` in `folder`, stdout and stderr sent to
// files (not terminals); its exit status and both texts.
Outcome RunProgram(const std::filesystem::path& program, const std::filesystem::path& folder,
                   const std::vector<std::string>& arguments);

// The same with stderr on a pseudo-terminal; `err` is what it showed there.
Outcome RunProgramOnTerminal(const std::filesystem::path& program,
                             const std::filesystem::path& folder,
                             const std::vector<std::string>& arguments);

}  // namespace quillmore::testing
