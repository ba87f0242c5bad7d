#include "app/interactive_command_line.h"

#include "app/interactive_session.h"

namespace quillmore::app {
namespace {

constexpr char kUsage[] =
    "Usage: quillmore [--help | --version]\n"
    "\n"
    "Computes absorbed dose coefficient tables in an 80 x 28 terminal. Start it in\n"
    "a folder that holds DATA (DoseInd.NDX, TQV27INH2.DRT, TQV27ING2.DRT and\n"
    "Quillmore.ini); choose the data set, age groups and target regions, then type\n"
    "nuclide names such as Tc-99m. The tables are written to OUTPUT. An empty\n"
    "answer ends the session. Without a terminal (scripts, pipes, CI) use\n"
    "quillmore-batch.\n"
    "\n"
    "Exit status: 0 ended with an empty answer; 1 a list box closed without a\n"
    "choice; 2 missing or unusable data, no usable terminal or a usage error.\n";

constexpr char kBatchHint[] =
    "To run without a terminal (scripts, pipes, CI) use quillmore-batch.\n";

}  // namespace

std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err) {
  if (arguments.empty()) return std::nullopt;
  bool help = false;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      help = true;
    } else if (argument != "--version") {
      err << "quillmore: unknown argument '" << argument
          << "' (it takes only --help or --version)\n";
      return kSessionError;
    }
  }
  if (help) {
    out << kUsage;
  } else {
    out << "quillmore " << QUILLMORE_VERSION << '\n';
  }
  return kSessionEnded;
}

std::optional<int> RefuseWithoutTerminal(console::TerminalStreams streams, std::ostream& err) {
  if (streams.ok()) return std::nullopt;
  err << "quillmore: the interactive program needs a terminal on standard "
      << (streams.input    ? "output"
          : streams.output ? "input"
                           : "input and output")
      << ".\n"
      << kBatchHint;
  return kSessionError;
}

int RefuseUnknownTerminal(std::ostream& err) {
  // Both streams are terminals, so it is the terminal type that is unusable.
  err << "quillmore: the terminal type is unknown to the terminal library (check TERM).\n"
      << kBatchHint;
  return kSessionError;
}

}  // namespace quillmore::app
