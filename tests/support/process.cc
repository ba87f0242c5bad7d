#include "support/process.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace quillmore::testing {
namespace {

namespace fs = std::filesystem;

void Exec(const fs::path& program, const fs::path& folder,
          const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{program.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (std::string& argument : argv) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  if (chdir(folder.c_str()) == 0) execv(pointers[0], pointers.data());
  _exit(127);
}

int WaitFor(pid_t child) {
  int raw = 0;
  if (waitpid(child, &raw, 0) != child || !WIFEXITED(raw)) return -1;
  return WEXITSTATUS(raw);
}

}  // namespace

Outcome RunProgram(const fs::path& program, const fs::path& folder,
                   const std::vector<std::string>& arguments) {
  const fs::path outPath = folder / ".stdout";
  const fs::path errPath = folder / ".stderr";
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
    Exec(program, folder, arguments);
  }
  Outcome outcome;
  outcome.status = WaitFor(child);
  outcome.out = ReadFile(outPath);
  outcome.err = ReadFile(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return outcome;
}

Outcome RunProgramOnTerminal(const fs::path& program, const fs::path& folder,
                             const std::vector<std::string>& arguments) {
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    const int out = open((folder / ".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, 1) < 0) _exit(127);
    Exec(program, folder, arguments);
  }
  Outcome outcome;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) {
    outcome.err.append(buffer, static_cast<std::size_t>(n));
  }
  close(terminal);
  outcome.status = WaitFor(child);
  outcome.out = ReadFile(folder / ".stdout");
  fs::remove(folder / ".stdout");
  return outcome;
}

}  // namespace quillmore::testing
