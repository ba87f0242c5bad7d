#include "app/driver.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/curve_plots.h"
#include "app/nuclide_run.h"
#include "app/selection.h"
#include "app/start_screen.h"
#include "console/file_viewer.h"
#include "console/list_box.h"
#include "input/age_groups.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/path_resolver.h"
#include "output/number_mask.h"

namespace quillmore::app {
namespace {

using console::Console;

constexpr int kStatusCreditColumn = 32;
constexpr int kRetryCreditColumn = 25;
constexpr int kPromptRow = 11;
constexpr int kPromptColumn = 5;
constexpr int kListColumn = 10;
constexpr int kFileNameWidth = 25;
constexpr int kFrozenRows = 3;
constexpr int kSingleLayout = 1;
constexpr int kPlacement = 32766;

const std::vector<std::string> kDataSetNames = {"TQV27INH2.DRT", "TQV27ING2.DRT"};

// Everything the session holds from the data-set choice on.
struct Session {
  std::filesystem::path workingFolder;
  std::filesystem::path dataFolder;
  std::string dataSetFile;
  input::DataIndex index;
  input::DoseRateFile doseRates;
  RunSelection run;
  NuclideWorkspace workspace;
};

void SetColor(Console& console, int foreground) {
  console.SetColor(foreground, kKeepColor);
}

// The text up to its first blank.
std::string TakeFirstWord(const std::string& text) {
  return text.substr(0, text.find(' '));
}

// A file the session cannot do without is missing: say so, pause, end.
void ReportMissing(Console& console, const std::string& what) {
  console.NewLine();
  console.PrintText(" Unable to locate the " + what + ".");
  console.NewLine();
  console.Pause("exit...");
}

std::string RelativeName(const Session& session, const std::filesystem::path& path) {
  return path.lexically_relative(session.workingFolder).generic_string();
}

// Messages name files by their full path; under the working folder the
// relative name is enough and keeps the line on the screen's width.
std::string ShortenPaths(std::string message, const Session& session) {
  const std::string prefix = (session.workingFolder / "").string();
  for (std::size_t at = message.find(prefix); at != std::string::npos;
       at = message.find(prefix, at)) {
    message.erase(at, prefix.size());
  }
  return message;
}

// The times of "Quillmore.ini"; empty when the session must end.
std::vector<double> ReadTimes(Console& console, const Session& session) {
  const input::IntegrationTimes times =
      input::ReadIntegrationTimes(input::ResolvePath(session.dataFolder, input::kTimesFileName));
  if (times.status.code() == input::Status::Code::kNotFound) {
    console.PrintText(std::string(" Unable to locate the file ") + input::kTimesFileName + ".");
    console.NewLine();
    console.PrintText(" This file contains the integration times.");
    console.NewLine();
    console.Pause("exit...");
  } else if (!times.status.ok()) {
    console.NewLine();
    console.PrintText(" " + ShortenPaths(times.status.message(), session) + ".");
    console.NewLine();
    console.Pause("exit...");
  }
  return times.integrationTimes;
}

// The data-set box and the data-set screen; the exit status when the session
// ends there.
std::optional<int> ChooseDataSet(Console& console, Session& session) {
  session.dataSetFile = console::ConsoleListBox(console, kSingleLayout, kPlacement, kPlacement,
                                                "Click on data set", " Select Data Set to Process",
                                                kDataSetNames, 1, console::kChooseOne, 0);
  console.FlushInput();
  console.ClearScreen();
  console.NewLine();
  SetColor(console, kYellow);
  PrintHeaderBlock(console, kStatusCreditColumn);
  console.NewLine();
  SetColor(console, kBrightWhite);
  if (session.dataSetFile.empty()) {
    console.PrintText(" No absorbed dose rate file was selected, calculations are aborted.");
    console.NewLine();
    console.Pause("abort....");
    return kSessionAborted;
  }
  const std::filesystem::path path = input::ResolvePath(session.dataFolder, session.dataSetFile);
  if (!session.doseRates.Open(path).ok()) {
    ReportMissing(console, "file " + RelativeName(session, path));
    return kSessionError;
  }
  // The sixth character from the end: H or G.
  const char kind = session.dataSetFile[session.dataSetFile.size() - 6];
  session.run.dataKind =
      (kind == 'H' || kind == 'h') ? input::DataKind::kInhalation : input::DataKind::kIngestion;
  console.PrintText(" Absorbed Dose Rate File: " + session.dataSetFile);
  console.NewLine();
  console.NewLine();
  return std::nullopt;
}

// The age and region boxes; false when the session ends.
bool ChooseAgesAndRegions(Console& console, Session& session) {
  Selection selection = SelectAgesAndRegions(console, session.doseRates);
  console.NewLine();
  if (selection.selectedAges.empty() || selection.selectedRegions.empty()) {
    SetColor(console, kYellow);
    console.PrintText(" Either no age or no organs have been selected for processing.");
    console.NewLine();
    console.PrintText(" Press a key (or left click mouse) to abort....");
    SetColor(console, kBrightWhite);
    console.WaitKeyOrClick();
    return false;
  }
  session.run.selectedAges = std::move(selection.selectedAges);
  session.run.selectedRegions = std::move(selection.selectedRegions);
  session.run.regionNames = std::move(selection.regionNames);
  return true;
}

void ShowStatusScreen(Console& console, const Session& session) {
  console.ClearScreen();
  console.NewLine();
  PrintHeaderBlock(console, kStatusCreditColumn);
  console.NewLine();
  SetColor(console, kBrightWhite);
  console.PrintText(" Absorbed Dose Rate File: " + session.dataSetFile);
  console.NewLine();
  console.NewLine();
  console.PrintText(" # Ages selected:" + output::SignedNumberText(static_cast<std::int64_t>(
                                              session.run.selectedAges.size())));
  console.NewLine();
  console.NewLine();
  console.PrintText(
      " # Organs/Tissues selected:" +
      output::SignedNumberText(static_cast<std::int64_t>(session.run.selectedRegions.size())));
  console.NewLine();
}

// The nuclide typed at the prompt, trimmed; empty ends the session.
std::string PromptNuclide(Console& console) {
  console.Locate(kPromptRow, kPromptColumn);
  SetColor(console, kYellow);
  console.PrintText("Enter Nuclide; e.g., Tc-99m or Am-241, or <Enter> to exit -> ");
  std::string name = input::TrimBlanks(console.ReadLine());
  SetColor(console, kBrightWhite);
  return name;
}

// Warnings in yellow, notes in the normal colour, then a file error.
void ShowMessages(Console& console, const Session& session, const NuclideResult& result) {
  for (const RunMessage& message : result.messages) {
    SetColor(console, message.kind == MessageKind::kWarning ? kYellow : kBrightWhite);
    console.PrintText(" " + message.text);
    console.NewLine();
  }
  SetColor(console, kYellow);
  if (!result.status.ok()) {
    console.PrintText(" " + ShortenPaths(result.status.message(), session));
    console.NewLine();
  }
  SetColor(console, kBrightWhite);
}

// One line per file written: its name padded to 25, its age group's label.
std::vector<std::string> ViewEntries(const Session& session, const NuclideResult& result) {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < result.files.size(); ++i) {
    std::string fileName = result.files[i].filename().string();
    if (fileName.size() < kFileNameWidth) fileName.resize(kFileNameWidth, ' ');
    entries.push_back(fileName + std::string(input::AgeGroupLabel(session.run.selectedAges[i])));
  }
  return entries;
}

// The file of `entries`[table] in the viewer, with the plots of its curves.
void View(Console& console, Session& session, const std::string& nuclideName,
          const std::vector<std::string>& entries, std::size_t table) {
  const std::filesystem::path path =
      input::ResolvePath(session.workingFolder, input::kOutputFolderName) /
      TakeFirstWord(entries[table]);
  app::CurvePlots plots(session.doseRates, session.index.Entry(), nuclideName, session.run,
                        static_cast<int>(table));
  const console::TableLayout layout{
      .frozenRows = kFrozenRows,
      .frozenColumns = session.run.dataKind == input::DataKind::kInhalation ? 17 : 23,
      .blockCount = static_cast<int>(session.run.selectedRegions.size()),
      .rowsPerGroup = static_cast<int>(session.run.integrationTimes.size()),
      .plots = &plots};
  console::ViewFile(console, path, layout);
}

void ViewFiles(Console& console, Session& session, const std::string& nuclideName,
               const std::vector<std::string>& entries) {
  if (entries.empty()) return;
  if (session.run.selectedAges.size() == 1) {
    View(console, session, nuclideName, entries, 0);
    return;
  }
  for (int k = 1;; ++k) {
    if (k > static_cast<int>(entries.size())) k = 1;
    const std::string chosen = console::ConsoleListBox(
        console, kSingleLayout, kPlacement, kPlacement, "Click on output file",
        " Select File to View", entries, k, console::kChooseOne, 0);
    if (chosen.empty()) return;
    const auto table = std::find(entries.begin(), entries.end(), chosen) - entries.begin();
    View(console, session, nuclideName, entries, static_cast<std::size_t>(table));
  }
}

// The "try again..." pause, then the header block alone above the prompt.
void TryAgain(Console& console) {
  SetColor(console, kYellow);
  console.Pause("try again...");
  console.ClearScreen();
  console.NewLine();
  PrintHeaderBlock(console, kRetryCreditColumn);
}

// False when no file could be written: the error is on screen and the user
// is to try again.
bool ProcessAndList(Console& console, Session& session, const std::string& nuclideName) {
  console.NewLine();
  SetColor(console, kBrightWhite);
  console.PrintText("      Processing input...");
  console.NewLine();
  const std::filesystem::path outputFolder =
      input::ResolvePath(session.workingFolder, input::kOutputFolderName);
  const NuclideResult result =
      WriteNuclideTables(session.doseRates, session.index.Entry(), nuclideName, session.run,
                         outputFolder, session.workspace);
  ShowMessages(console, session, result);
  if (result.files.empty()) return false;
  console.NewLine();
  console.PrintText("      Data files written in OUTPUT subfolder: ");
  console.NewLine();
  console.NewLine();
  const std::vector<std::string> entries = ViewEntries(session, result);
  for (const std::string& entry : entries) {
    console.TabTo(kListColumn);
    console.PrintText(entry);
    console.NewLine();
  }
  ViewFiles(console, session, nuclideName, entries);
  console.NewLine();
  SetColor(console, kYellow);
  console.PrintText("     Press a key (or left click mouse) to continue....");
  console.WaitKeyOrClick();
  SetColor(console, kBrightWhite);
  return true;
}

void NuclideLoop(Console& console, Session& session) {
  bool statusScreen = true;
  while (true) {
    if (statusScreen) ShowStatusScreen(console, session);
    std::string nuclideName = PromptNuclide(console);
    if (nuclideName.empty()) return;
    input::NormaliseNuclideName(nuclideName);
    if (session.index.FindNuclide(nuclideName) == 0) {
      SetColor(console, kYellow);
      console.PrintText(" No data are available for " + nuclideName);
      console.NewLine();
      TryAgain(console);
      statusScreen = false;
      continue;
    }
    statusScreen = ProcessAndList(console, session, nuclideName);
    if (!statusScreen) TryAgain(console);
  }
}

}  // namespace

int RunInteractive(Console& console, const std::filesystem::path& workingFolder) {
  console.SetTitle(kWindowTitle);
  console.SetColor(kBrightWhite, kBlue);
  console.ClearScreen();
  console.SetMouseEvents(console::kMouseReleased, console::kLeftButton);
  console.EnableMouse();
  ShowStartScreen(console);

  Session session;
  session.workingFolder = workingFolder;
  session.dataFolder = input::ResolvePath(workingFolder, input::kDataFolderName);
  if (!std::filesystem::is_directory(session.dataFolder)) {
    ReportMissing(console, std::string("folder ") + input::kDataFolderName);
    return kSessionError;
  }
  session.run.integrationTimes = ReadTimes(console, session);
  if (session.run.integrationTimes.empty()) return kSessionError;
  const std::filesystem::path indexPath =
      input::ResolvePath(session.dataFolder, input::kIndexFileName);
  if (const input::Status status = session.index.Open(indexPath); !status.ok()) {
    if (status.code() == input::Status::Code::kCorruption) {
      console.NewLine();
      console.PrintText(" " + ShortenPaths(status.message(), session) + ".");
      console.NewLine();
      console.Pause("exit...");
    } else {
      ReportMissing(console, "file " + RelativeName(session, indexPath));
    }
    return kSessionError;
  }
  if (const std::optional<int> ended = ChooseDataSet(console, session)) return *ended;
  if (!ChooseAgesAndRegions(console, session)) return kSessionAborted;
  NuclideLoop(console, session);
  return kSessionEnded;
}

}  // namespace quillmore::app
