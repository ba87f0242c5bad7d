#include "app/interactive_session.h"

#include <optional>
#include <string>
#include <vector>

#include "app/interactive_curve_plots.h"
#include "app/interactive_selection.h"
#include "app/interactive_start_screen.h"
#include "base/cp1252.h"
#include "base/text.h"
#include "console/file_viewer.h"
#include "console/list_box.h"
#include "input/age_groups.h"
#include "input/data_index.h"
#include "input/dose_rate_file.h"
#include "input/integration_times.h"
#include "input/nuclide_name.h"
#include "input/path_resolver.h"
#include "output/number_mask.h"
#include "output/table_writer.h"
#include "run/data_files.h"
#include "run/nuclide_run.h"
#include "run/nuclide_suggestions.h"

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

// Everything the session holds from the data-set choice on.
struct Session {
  std::filesystem::path workingFolder;
  std::filesystem::path dataFolder;
  std::string dataSetFile;
  input::DataIndex index;
  input::DoseRateFile doseRates;
  run::RunSelection run;
  run::NuclideWorkspace workspace;
};

void SetColor(Console& console, int foreground) {
  console.SetColor(foreground, kKeepColor);
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

// A data file is there but cannot be used: say why, pause, end.
void ReportUnusable(Console& console, const Session& session, const base::Status& status) {
  console.NewLine();
  console.PrintText(" " + ShortenPaths(status.message(), session) + ".");
  console.NewLine();
  console.Pause("exit...");
}

// The times of "Quillmore.ini"; empty when the session must end.
std::vector<double> ReadTimes(Console& console, const Session& session) {
  std::vector<std::string> warnings;
  const input::IntegrationTimes times = run::ReadTimes(session.dataFolder, &warnings);
  if (times.ok() && !warnings.empty()) {
    // Read before the data-set box covers them.
    SetColor(console, kYellow);
    for (const std::string& warning : warnings) {
      console.PrintText(" " + ShortenPaths(warning, session));
      console.NewLine();
    }
    console.Pause("continue...");
    SetColor(console, kBrightWhite);
  }
  if (times.status().code() == base::Status::Code::kNotFound) {
    console.PrintText(std::string(" Unable to locate the file ") + input::kTimesFileName + ".");
    console.NewLine();
    console.PrintText(" This file contains the integration times.");
    console.NewLine();
    console.Pause("exit...");
  } else if (!times.ok()) {
    console.NewLine();
    console.PrintText(" " + ShortenPaths(times.status().message(), session) + ".");
    console.NewLine();
    console.Pause("exit...");
  }
  return times.ok() ? times.value() : std::vector<double>();
}

// The data-set box and the data-set screen; the exit status when the session
// ends there.
std::optional<int> ChooseDataSet(Console& console, Session& session) {
  std::vector<std::string> names;
  for (const input::DataSet& dataSet : input::kDataSets)
    names.emplace_back(dataSet.doseRateFileName);
  const std::optional<std::size_t> chosen =
      console::ChooseOne(console, "Click on data set", " Select Data Set to Process", names);
  console.FlushInput();
  console.ClearScreen();
  console.NewLine();
  SetColor(console, kYellow);
  PrintHeaderBlock(console, kStatusCreditColumn);
  console.NewLine();
  SetColor(console, kBrightWhite);
  if (!chosen) {
    console.PrintText(" No absorbed dose rate file was selected, calculations are aborted.");
    console.NewLine();
    console.Pause("abort....");
    return kSessionAborted;
  }
  session.run.dataKind = input::kDataSets[*chosen].kind;
  session.dataSetFile = names[*chosen];
  base::Result<input::DoseRateFile> opened =
      run::OpenDoseRates(session.dataFolder, session.run.dataKind);
  if (opened.status().code() == base::Status::Code::kCorruption) {
    ReportUnusable(console, session, opened.status());
    return kSessionError;
  } else if (!opened.ok()) {
    ReportMissing(console,
                  "file " + RelativeName(session, run::DoseRatePath(session.dataFolder,
                                                                    session.run.dataKind)));
    return kSessionError;
  }
  session.doseRates = std::move(opened).value();
  console.PrintText(" Absorbed Dose Rate File: " + session.dataSetFile);
  console.NewLine();
  console.NewLine();
  return std::nullopt;
}

// The age and region boxes; false when the session ends.
bool ChooseAgesAndRegions(Console& console, Session& session) {
  SelectAgesAndRegions(console, session.doseRates, session.run);
  console.NewLine();
  if (session.run.selectedAges.empty() || session.run.selectedRegions.empty()) {
    SetColor(console, kYellow);
    console.PrintText(" Either no age or no organs have been selected for processing.");
    console.NewLine();
    console.PrintText(" Press a key (or left click mouse) to abort....");
    SetColor(console, kBrightWhite);
    console.WaitKeyOrClick();
    return false;
  }
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
  std::string name = base::TrimBlanks(console.ReadLine());
  SetColor(console, kBrightWhite);
  return name;
}

// Warnings in yellow, notes in the normal colour, then a file error.
void ShowMessages(Console& console, const Session& session, const run::NuclideResult& result) {
  for (const run::RunMessage& message : result.messages) {
    SetColor(console, message.kind == run::MessageKind::kWarning ? kYellow : kBrightWhite);
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
std::vector<std::string> ViewEntries(const Session& session, const run::NuclideResult& result) {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < result.files.size(); ++i) {
    std::string fileName = result.files[i].filename().string();
    if (fileName.size() < kFileNameWidth) fileName.resize(kFileNameWidth, ' ');
    entries.push_back(fileName + std::string(input::AgeGroupLabel(session.run.selectedAges[i])));
  }
  return entries;
}

// File `table` of `files` in the viewer, with the plots of its curves.
void View(Console& console, Session& session, const std::string& nuclideName,
          const std::vector<std::filesystem::path>& files, std::size_t table) {
  app::FigureSaving saving{input::ResolvePath(session.workingFolder, input::kOutputFolderName),
                           input::kOutputFolderName,
                           {}};
  saving.options.formats = {plot::FigureFormat::kSvg, plot::FigureFormat::kPng};
  saving.options.facts = {"", std::string("quillmore ") + QUILLMORE_VERSION,
                          base::Cp1252ToUtf8(session.dataSetFile)};
  app::CurvePlots plots(session.doseRates, session.index.entry(), nuclideName, session.run,
                        static_cast<int>(table), std::move(saving));
  // The row labels and the times stay in place.
  const std::size_t frozenColumns =
      input::DataSetOf(session.run.dataKind).rowLabelWidth + output::kTimeMask.size();
  const console::TableLayout layout{
      .frozenRows = kFrozenRows,
      .frozenColumns = static_cast<int>(frozenColumns),
      .blockCount = static_cast<int>(session.run.selectedRegions.size()),
      .rowsPerGroup = static_cast<int>(session.run.integrationTimes.size()),
      .plots = &plots};
  console::ViewFile(console, files[table], layout);
}

// `entries` name `files`, one each. The box comes back after each file viewed,
// its highlight one entry further on each time (1, 2, ..., n, 1, ...).
void ViewFiles(Console& console, Session& session, const std::string& nuclideName,
               const std::vector<std::filesystem::path>& files,
               const std::vector<std::string>& entries) {
  if (files.empty()) return;
  if (session.run.selectedAges.size() == 1) {
    View(console, session, nuclideName, files, 0);
    return;
  }
  for (std::size_t next = 0;; ++next) {
    if (next >= entries.size()) next = 0;
    const std::optional<std::size_t> chosen =
        console::ChooseOne(console, "Click on output file", " Select File to View", entries, next);
    if (!chosen) return;
    View(console, session, nuclideName, files, *chosen);
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

void PauseToContinue(Console& console) {
  console.NewLine();
  SetColor(console, kYellow);
  console.PrintText("     Press a key (or left click mouse) to continue....");
  console.WaitKeyOrClick();
  SetColor(console, kBrightWhite);
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
  const run::NuclideResult result = run::WriteNuclideTables(
      session.doseRates, session.index.entry(), session.run, outputFolder, session.workspace);
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
  // The file box and the viewer open over the lines above: warnings and
  // notes are read first.
  if (!result.messages.empty()) PauseToContinue(console);
  ViewFiles(console, session, nuclideName, result.files, entries);
  PauseToContinue(console);
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
      const std::string suggestions =
          run::SuggestionText(nuclideName, session.index, session.run.dataKind);
      console.PrintText(
          " No data are available for " +
          (suggestions.empty() ? nuclideName : base::TrimBlanks(nuclideName) + suggestions));
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
  base::Result<std::filesystem::path> found =
      run::FindDataFolder(workingFolder, input::kDataFolderName);
  if (!found.ok()) {
    const std::string reason = found.status().message();
    ReportMissing(console, std::string("folder ") + input::kDataFolderName +
                               (reason.empty() ? "" : " (" + reason + ")"));
    return kSessionError;
  }
  session.dataFolder = std::move(found).value();
  session.run.integrationTimes = ReadTimes(console, session);
  if (session.run.integrationTimes.empty()) return kSessionError;
  base::Result<input::DataIndex> index = run::OpenIndex(session.dataFolder);
  if (!index.ok()) {
    if (index.status().code() == base::Status::Code::kCorruption) {
      ReportUnusable(console, session, index.status());
    } else {
      ReportMissing(console, "file " + RelativeName(session, run::IndexPath(session.dataFolder)));
    }
    return kSessionError;
  }
  session.index = std::move(index).value();
  if (const std::optional<int> ended = ChooseDataSet(console, session)) return *ended;
  if (!ChooseAgesAndRegions(console, session)) return kSessionAborted;
  NuclideLoop(console, session);
  return kSessionEnded;
}

}  // namespace quillmore::app
