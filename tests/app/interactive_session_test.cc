#include "app/interactive_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/headless_terminal.h"
#include "console/list_box.h"
#include "sample_data/sample_data.h"
#include "support/data_builder.h"
#include "support/list_box_keys.h"
#include "support/temp_dir.h"

namespace quillmore::app {
namespace {

namespace fs = std::filesystem;
using console::Screen;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
const unsigned char kWhiteOnBlue = console::MakeAttribute(console::kBrightWhite, console::kBlue);
const unsigned char kYellowOnBlue = console::MakeAttribute(console::kYellow, console::kBlue);

std::string Row(const Screen& screen, int row) {
  std::string text = screen.RowText(row);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

bool Shows(const Screen& screen, std::string_view text) {
  return screen.Text().find(text) != std::string::npos;
}

// Keeps every screen the user saw when the program waited for input.
class RecordingTerminal : public console::HeadlessTerminal {
 public:
  console::InputEvent ReadEvent() override {
    seen.push_back(shown());
    const console::InputEvent event = HeadlessTerminal::ReadEvent();
    // The user types on at once after answering the screen showing `aheadAfter`.
    if (!aheadAfter.empty() && Shows(shown(), aheadAfter)) {
      for (int key : aheadKeys) TypeAheadKey(key);
      aheadAfter.clear();
    }
    return event;
  }
  std::vector<Screen> seen;
  std::string aheadAfter;
  std::vector<int> aheadKeys;
};

// Whether the list box shows entry `text` highlighted (on blue, where the
// other entries are on gray). The file list printed from column 10 under the
// box is on blue as well and is left out.
bool Highlighted(const Screen& screen, std::string_view text) {
  for (int row = 1; row <= console::kScreenRows; ++row) {
    const std::size_t at = screen.RowText(row).find(text);
    if (at == std::string::npos || at == 9) continue;
    const int column = static_cast<int>(at) + 1;
    return console::BackgroundOf(screen.at(row, column).attribute) == console::kBlue;
  }
  return false;
}

// The file names a list of (unsorted) folder entries.
std::vector<std::string> FolderNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class DriverTest : public ::testing::Test {
 protected:
  DriverTest() { EXPECT_TRUE(tools::GenerateSampleData({}, dir / "DATA").ok()); }

  int Run() { return RunInteractive(console, dir.path()); }

  void Mark(const std::vector<int>& numbers) { testing::MarkEntries(terminal, numbers); }
  // Start screen, data set, ages and regions.
  void Choose(int dataSet, const std::vector<int>& ages, const std::vector<int>& regions) {
    terminal.Key(' ');
    if (dataSet == 2) terminal.Key(console::kKeyDown);
    terminal.Key(kEnter);
    Mark(ages);
    Mark(regions);
  }
  void Type(std::string_view line) { terminal.Text(line).Key(kEnter); }

  // The screens the user saw showing `text`.
  std::vector<Screen> ScreensWith(std::string_view text) const {
    std::vector<Screen> screens;
    for (const Screen& screen : terminal.seen) {
      if (Shows(screen, text)) screens.push_back(screen);
    }
    return screens;
  }
  // The screens of the nuclide prompt before anything was typed.
  std::vector<Screen> PromptScreens() const {
    std::vector<Screen> screens;
    for (const Screen& screen : terminal.seen) {
      if (Row(screen, 11) == "    Enter Nuclide; e.g., Tc-99m or Am-241, or <Enter> to exit ->" &&
          screen.column() == 66) {
        screens.push_back(screen);
      }
    }
    return screens;
  }
  // The last screen seen before the program ended.
  const Screen& Last() const { return terminal.seen.back(); }

  testing::TempDir dir;
  RecordingTerminal terminal;
  console::Console console{terminal};
};

TEST_F(DriverTest, OneNuclideFromStartScreenToBlankAnswer) {
  ASSERT_FALSE(fs::exists(dir / "OUTPUT"));
  // Keys typed ahead as the data-set box closes never reach the age box.
  terminal.aheadAfter = " Select Data Set to Process";
  terminal.aheadKeys = {kEscape, console::kKeyDown, ' '};
  Choose(1, {1, 4}, {1, 30});
  Type("tc-99m");
  // The file list box: entry 1 viewed, entry 2 viewed, closed on entry 1.
  terminal.Key(kEnter).Key('q').Key(kEnter).Key('q').Key(kEscape);
  terminal.Key(' ');  // continue....
  Type("  ");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(terminal.unreadCount(), 0u);
  EXPECT_EQ(terminal.title(), "Quillmore  Ver. 1.2");

  const Screen& start = terminal.seen.at(0);
  EXPECT_EQ(Row(start, 2), std::string(24, ' ') + "Quillmore Code (Nov 19, 2012)");
  EXPECT_EQ(Row(start, 27), " Press a key (or left click mouse) to continue...");

  // The data-set box opens over the start screen.
  const Screen& dataSetBox = terminal.seen.at(1);
  EXPECT_TRUE(Shows(dataSetBox, " Select Data Set to Process"));
  EXPECT_TRUE(Shows(dataSetBox, "Click on data set"));
  EXPECT_TRUE(Shows(dataSetBox, "TQV27ING2.DRT"));
  EXPECT_EQ(Row(dataSetBox, 27), Row(start, 27));

  // The age box opens on the data-set screen; the region box under the count.
  const std::vector<Screen> ageBox = ScreensWith(" Select Age Groups");
  ASSERT_FALSE(ageBox.empty());
  EXPECT_TRUE(Shows(ageBox[0], "ALL AGES"));
  EXPECT_TRUE(Shows(ageBox[0], "Multiple Select: Ctrl + Left Click"));
  EXPECT_EQ(Row(ageBox[0], 1), "");
  EXPECT_EQ(Row(ageBox[0], 2), std::string(24, ' ') + "Quillmore Code (Nov 19, 2012)");
  EXPECT_EQ(Row(ageBox[0], 3), std::string(31, ' ') + "Written by the Quillmore developers");
  EXPECT_EQ(Row(ageBox[0], 5), " Absorbed Dose Rate File: TQV27INH2.DRT");
  EXPECT_EQ(ageBox[0].at(2, 25).attribute, kYellowOnBlue);
  EXPECT_EQ(ageBox[0].at(3, 32).attribute, kYellowOnBlue);
  EXPECT_EQ(ageBox[0].at(5, 2).attribute, kWhiteOnBlue);
  const std::vector<Screen> regionBox = ScreensWith(" Select Target Regions");
  ASSERT_FALSE(regionBox.empty());
  EXPECT_EQ(Row(regionBox[0], 7).substr(0, 8), " # Ages ");
  EXPECT_TRUE(Shows(regionBox.back(), "[x] Lung"));

  const std::vector<Screen> prompts = ScreensWith("Enter Nuclide");
  ASSERT_FALSE(prompts.empty());
  const Screen& status = prompts.front();
  const std::vector<std::string> statusRows = {
      "",
      std::string(24, ' ') + "Quillmore Code (Nov 19, 2012)",
      std::string(31, ' ') + "Written by the Quillmore developers",
      "",
      " Absorbed Dose Rate File: TQV27INH2.DRT",
      "",
      " # Ages selected: 2",
      "",
      " # Organs/Tissues selected: 2",
      "",
      "    Enter Nuclide; e.g., Tc-99m or Am-241, or <Enter> to exit ->",
      ""};
  for (int row = 1; row <= 12; ++row) {
    EXPECT_EQ(Row(status, row), statusRows[static_cast<std::size_t>(row - 1)]) << "row " << row;
  }
  EXPECT_EQ(status.at(2, 25).attribute, kWhiteOnBlue);
  EXPECT_EQ(status.at(5, 2).attribute, kWhiteOnBlue);
  EXPECT_EQ(status.at(11, 5).attribute, kYellowOnBlue);
  EXPECT_EQ(status.row(), 11);
  EXPECT_EQ(status.column(), 66);

  // Listing, viewing, and the pause at its end.
  const std::vector<Screen> pauses = ScreensWith("to continue....");
  ASSERT_EQ(pauses.size(), 1u);
  const std::vector<std::string> listingRows = {
      "    Enter Nuclide; e.g., Tc-99m or Am-241, or <Enter> to exit -> tc-99m",
      "",
      "      Processing input...",
      "",
      "      Data files written in OUTPUT subfolder:",
      "",
      "         Tc-99m_100_H.TXT         Infant",
      "         Tc-99m_3650_H.TXT        10 y-old",
      "",
      "     Press a key (or left click mouse) to continue...."};
  for (int row = 11; row <= 20; ++row) {
    EXPECT_EQ(Row(pauses[0], row), listingRows[static_cast<std::size_t>(row - 11)])
        << "row " << row;
  }
  EXPECT_EQ(pauses[0].at(11, 67).attribute, kYellowOnBlue);  // the echo
  EXPECT_EQ(pauses[0].at(13, 7).attribute, kWhiteOnBlue);
  EXPECT_EQ(pauses[0].at(18, 10).attribute, kWhiteOnBlue);
  EXPECT_EQ(pauses[0].at(20, 6).attribute, kYellowOnBlue);

  const std::vector<Screen> fileBoxes = ScreensWith(" Select File to View");
  ASSERT_EQ(fileBoxes.size(), 3u);
  EXPECT_TRUE(Shows(fileBoxes[0], "Click on output file"));
  const std::vector<bool> firstHighlighted = {true, false, true};
  for (std::size_t i = 0; i < fileBoxes.size(); ++i) {
    EXPECT_EQ(Highlighted(fileBoxes[i], "Tc-99m_100_H.TXT "), firstHighlighted[i]) << i;
    EXPECT_EQ(Highlighted(fileBoxes[i], "Tc-99m_3650_H.TXT "), !firstHighlighted[i]) << i;
  }
  // The viewer keeps three rows and the 17 columns of the inhalation row labels.
  ASSERT_EQ(ScreensWith(" Tc-99m_100_H.TXT  Row 4/").size(), 1u);
  ASSERT_EQ(ScreensWith(" Tc-99m_3650_H.TXT  Row 4/").size(), 1u);
  EXPECT_TRUE(Shows(ScreensWith(" Tc-99m_3650_H.TXT  Row 4/")[0], "  Col 18  "));

  EXPECT_EQ(FolderNames(dir / "OUTPUT"),
            (std::vector<std::string>{"Tc-99m_100_H.TXT", "Tc-99m_3650_H.TXT"}));
  EXPECT_FALSE(testing::ReadFile(dir / "OUTPUT" / "Tc-99m_3650_H.TXT").empty());

  // The blank answer ends the run on the status screen, with no message.
  EXPECT_TRUE(Shows(Last(), " # Organs/Tissues selected: 2"));
  EXPECT_EQ(Row(terminal.shown(), 12), "");
}

TEST_F(DriverTest, UnknownNuclideRedrawsTheHeaderAndAsksAgain) {
  fs::create_directory(dir / "OutPut");
  Choose(1, {6}, {30});
  Type("xx-1");
  terminal.Key(' ');  // try again...
  Type("TOOLONGNAME");
  terminal.Key(' ');
  Type(" kr-85 ");
  terminal.Key('q');  // the viewer, at once: one age group
  terminal.Key(' ');  // continue....
  Type("");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(terminal.unreadCount(), 0u);

  const std::vector<Screen> tryAgain = ScreensWith("to try again...");
  ASSERT_EQ(tryAgain.size(), 2u);
  EXPECT_EQ(Row(tryAgain[0], 12), " No data are available for Xx-1");
  EXPECT_EQ(tryAgain[0].RowText(12).substr(0, 35), " No data are available for Xx-1    ");
  EXPECT_EQ(Row(tryAgain[0], 13), " Press a key (or left click mouse) to try again...");
  EXPECT_EQ(tryAgain[0].at(12, 2).attribute, kYellowOnBlue);
  EXPECT_EQ(tryAgain[0].at(13, 2).attribute, kYellowOnBlue);

  // After the redraw: the header with the credit line at column 25, in
  // yellow, and the prompt on row 11 with nothing between.
  const std::vector<Screen> prompts = PromptScreens();
  ASSERT_EQ(prompts.size(), 4u);
  const Screen& redrawn = prompts[1];
  EXPECT_EQ(Row(redrawn, 1), "");
  EXPECT_EQ(Row(redrawn, 2), std::string(24, ' ') + "Quillmore Code (Nov 19, 2012)");
  EXPECT_EQ(Row(redrawn, 3), std::string(24, ' ') + "Written by the Quillmore developers");
  for (int row = 4; row <= 10; ++row) EXPECT_EQ(Row(redrawn, row), "") << "row " << row;
  EXPECT_EQ(redrawn.at(2, 25).attribute, kYellowOnBlue);
  EXPECT_EQ(redrawn.at(3, 25).attribute, kYellowOnBlue);
  EXPECT_EQ(Row(redrawn, 11).substr(0, 17), "    Enter Nuclide");
  EXPECT_EQ(Row(tryAgain[1], 12), " No data are available for Toolongname");

  // One age group: the viewer opens at once, without the file list box; then
  // the full status screen is back.
  EXPECT_TRUE(ScreensWith(" Select File to View").empty());
  const std::vector<Screen> viewer = ScreensWith(" Kr-85_7300_H.TXT  Row 4/");
  ASSERT_EQ(viewer.size(), 1u);
  EXPECT_TRUE(Shows(viewer[0], "  Col 18  "));
  EXPECT_EQ(Row(Last(), 5), " Absorbed Dose Rate File: TQV27INH2.DRT");
  EXPECT_EQ(Row(Last(), 3), std::string(31, ' ') + "Written by the Quillmore developers");
  // An existing output folder in another letter case is used.
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"DATA", "OutPut"}));
  EXPECT_EQ(FolderNames(dir / "OutPut"), std::vector<std::string>{"Kr-85_7300_H.TXT"});
}

TEST_F(DriverTest, NuclideWithoutDataForTheSetStillGetsItsFilesListed) {
  // Kr-85 is in the index but not in the ingestion file.
  Choose(2, {7}, {31});
  Type("Kr-85");
  terminal.Key(' ');  // the warning read
  for (int k = 1; k <= 7; ++k) terminal.Key(kEnter).Key('q');
  terminal.Key(kEscape).Key(' ');
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(terminal.unreadCount(), 0u);

  // The first pause waits for the warning to be read, before the box covers it.
  const std::vector<Screen> pauses = ScreensWith("to continue....");
  ASSERT_FALSE(pauses.empty());
  EXPECT_FALSE(Shows(pauses[0], "Select File to View"));
  EXPECT_TRUE(Shows(Last(), " # Ages selected: 6"));
  // The warning wraps at the screen's edge.
  EXPECT_EQ(Row(pauses[0], 14),
            " Kr-85: no data in TQV27ING2.DRT; headers only for Infant, 1 y-old, 5 y-old, 10");
  EXPECT_EQ(Row(pauses[0], 15), "y-old, 15 y-old, Adult");
  EXPECT_EQ(pauses[0].at(14, 2).attribute, kYellowOnBlue);
  EXPECT_EQ(Row(pauses[0], 19), "         Kr-85_100_G.TXT          Infant");
  EXPECT_EQ(Row(pauses[0], 24), "         Kr-85_7300_G.TXT         Adult");
  EXPECT_EQ(FolderNames(dir / "OUTPUT").size(), 6u);
  EXPECT_FALSE(testing::ReadFile(dir / "OUTPUT" / "Kr-85_7300_G.TXT").empty());

  // Seven views cycle through the six files; ingestion keeps 23 columns.
  const std::vector<Screen> fileBoxes = ScreensWith(" Select File to View");
  ASSERT_EQ(fileBoxes.size(), 8u);
  EXPECT_TRUE(Highlighted(fileBoxes[5], "Kr-85_7300_G.TXT"));
  EXPECT_TRUE(Highlighted(fileBoxes[6], "Kr-85_100_G.TXT"));
  EXPECT_TRUE(Highlighted(fileBoxes[7], "Kr-85_365_G.TXT"));
  EXPECT_EQ(ScreensWith(" Kr-85_100_G.TXT  Row 4/").size(), 2u);
  EXPECT_TRUE(Shows(ScreensWith(" Kr-85_100_G.TXT  Row 4/")[0], "  Col 24  "));
  EXPECT_TRUE(Shows(Last(), " # Organs/Tissues selected: 30"));
}

// No file listed that was not written: the error, its pause, and the prompt again.
TEST_F(DriverTest, UnwritableOutputIsReportedInYellowAndNoFileIsListed) {
  const auto expectAskedAgain = [&](const std::string& message) {
    const std::vector<Screen> pauses = ScreensWith("to try again...");
    ASSERT_EQ(pauses.size(), 1u);
    const Screen& screen = pauses[0];
    EXPECT_EQ(Row(screen, 13), "      Processing input...");
    EXPECT_EQ(Row(screen, 14), message);
    EXPECT_EQ(screen.at(14, 2).attribute, kYellowOnBlue);
    EXPECT_EQ(Row(screen, 15), " Press a key (or left click mouse) to try again...");
    EXPECT_EQ(screen.at(15, 2).attribute, kYellowOnBlue);
    EXPECT_TRUE(ScreensWith("Data files written").empty());
    EXPECT_TRUE(ScreensWith(" Row 4/").empty()) << "no file viewed";
    const std::vector<Screen> prompts = PromptScreens();
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(Row(prompts[1], 3), std::string(24, ' ') + "Written by the Quillmore developers");
  };
  // A file named OUTPUT where the folder belongs.
  testing::WriteFile(dir / "OUTPUT", "");
  Choose(1, {1, 4}, {30});
  Type("Tc-99m");
  terminal.Key(' ');  // try again...
  Type("");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(terminal.unreadCount(), 0u);
  expectAskedAgain(" Cannot create the folder OUTPUT: Not a directory");

  // A folder where one output file belongs.
  terminal.seen.clear();
  fs::remove(dir / "OUTPUT");
  fs::create_directories(dir / "OUTPUT" / "Tc-99m_3650_H.TXT");
  Choose(1, {1, 4}, {30});
  Type("Tc-99m");
  terminal.Key(' ');
  Type("");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(terminal.unreadCount(), 0u);
  expectAskedAgain(" Cannot create OUTPUT/Tc-99m_3650_H.TXT: Is a directory");
}

TEST_F(DriverTest, WarningsInYellowAndNotesInWhiteBeforeTheFileList) {
  // One nuclide: the infant block repeats a time, the adult block is sound.
  fs::remove_all(dir / "DATA");
  testing::DoseRateFileBuilder builder(input::DataKind::kInhalation);
  testing::BlockSpec block;
  block.name = "Xx-1";
  for (double scale : {1e-9, 5e-10, 1e-10}) block.rates.push_back(testing::ScaledRates(scale));
  block.ageDays = 100;
  block.times = {1, 10, 10};
  const std::int32_t start = builder.AddBlock(block);
  block.ageDays = 7300;
  block.times = {1, 10, 100};
  block.rates.assign(3, testing::ScaledRates(1e-10));  // flat, so 500 d extends it safely
  builder.AddBlock(block);
  builder.WriteTo(dir / "DATA" / "TQV27INH2.DRT");
  testing::WriteFile(dir / "DATA" / "DoseInd.NDX", testing::IndexFileBytes({{"Xx-1", 0, start}}));
  testing::WriteFile(dir / "DATA" / "Quillmore.ini", "START\r\n1\r\n500\r\nEND\r\n");

  Choose(1, {1, 6}, {1});
  Type("xx-1");
  terminal.Key(' ').Key(kEscape).Key(' ');
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(terminal.unreadCount(), 0u);

  const std::vector<Screen> pauses = ScreensWith("to continue....");
  ASSERT_FALSE(pauses.empty());
  EXPECT_FALSE(Shows(pauses[0], "Select File to View"));
  const Screen& screen = pauses[0];
  EXPECT_EQ(Row(screen, 14) + Row(screen, 15),
            " Xx-1, age 100 d, record 3: time points not strictly increasing at record 6; its "
            "rows are left out");
  EXPECT_EQ(screen.at(14, 2).attribute, kYellowOnBlue);
  EXPECT_EQ(Row(screen, 16), " Xx-1: headers only for Infant");
  EXPECT_EQ(screen.at(16, 2).attribute, kYellowOnBlue);
  EXPECT_EQ(Row(screen, 17),
            " Xx-1: periods 500 d lie past the last tabulated time of some blocks (earliest 1");
  EXPECT_EQ(Row(screen, 18), "00 d); their curves are extended");
  EXPECT_EQ(screen.at(17, 2).attribute, kWhiteOnBlue);
  EXPECT_EQ(Row(screen, 19), "");
  EXPECT_EQ(Row(screen, 20), "      Data files written in OUTPUT subfolder:");
  EXPECT_EQ(Row(screen, 22), "         Xx-1_100_H.TXT           Infant");
  EXPECT_EQ(Row(screen, 23), "         Xx-1_7300_H.TXT          Adult");
  EXPECT_LT(testing::ReadFile(dir / "OUTPUT" / "Xx-1_100_H.TXT").size(),
            testing::ReadFile(dir / "OUTPUT" / "Xx-1_7300_H.TXT").size());
}

// Comments after the times, as the file's own example writes them, show the
// screens of a plain file; a likely misreading stops to show its warning.
TEST_F(DriverTest, TimesFileCommentsKeepTheScreensInTheirOrder) {
  const auto screensFor = [this](const std::string& times, bool warning = false) {
    testing::WriteFile(dir / "DATA" / "Quillmore.ini", "Times\r\nSTART\r\n" + times + "END\r\n");
    RecordingTerminal recording;
    console::Console shown{recording};
    recording.Key(' ');
    if (warning) recording.Key(' ');
    recording.Key(kEnter).Key(kEscape).Key(' ');
    EXPECT_EQ(RunInteractive(shown, dir.path()), kSessionAborted);
    std::vector<std::string> texts;
    for (const Screen& screen : recording.seen) texts.push_back(screen.Text());
    return texts;
  };
  const std::vector<std::string> plain = screensFor("1\r\n7\r\n30.5\r\n365\r\n");
  EXPECT_EQ(screensFor("1\r\n7\r\n30.5 days\r\n365  one year\r\n"), plain);
  const std::vector<std::string> warned = screensFor("1\r\n7\r\n30 500\r\n365\r\n", true);
  ASSERT_EQ(warned.size(), plain.size() + 1);
  EXPECT_NE(warned[1].find("DATA/Quillmore.ini:5: \"30 500\""), std::string::npos) << warned[1];
}

// Each way the run can end before the nuclide prompt: what the user last saw.
class DriverAbortTest : public DriverTest {
 protected:
  void ExpectEnd(int status, int row, const std::string& message, const std::string& pause) {
    EXPECT_EQ(Run(), status);
    EXPECT_EQ(terminal.unreadCount(), 0u);
    EXPECT_TRUE(ScreensWith("Enter Nuclide").empty());
    EXPECT_EQ(Row(Last(), row), message);
    EXPECT_EQ(Row(Last(), row + 1), " Press a key (or left click mouse) to " + pause);
  }
};

TEST_F(DriverAbortTest, NoDataSetChosen) {
  terminal.Key(' ').Key(kEscape).Key(' ');
  ExpectEnd(kSessionAborted, 5,
            " No absorbed dose rate file was selected, calculations are aborted.", "abort....");
  EXPECT_EQ(Row(Last(), 2), std::string(24, ' ') + "Quillmore Code (Nov 19, 2012)");
  EXPECT_EQ(Last().at(2, 25).attribute, kYellowOnBlue);
  EXPECT_EQ(Last().at(5, 2).attribute, kWhiteOnBlue);
  EXPECT_EQ(Last().at(6, 2).attribute, kWhiteOnBlue);
  EXPECT_FALSE(fs::exists(dir / "OUTPUT"));
}

TEST_F(DriverAbortTest, NoAgeGroupChosen) {
  terminal.Key(' ').Key(kEnter).Key(kEscape).Key(' ');
  ExpectEnd(kSessionAborted, 8, " Either no age or no organs have been selected for processing.",
            "abort....");
  EXPECT_TRUE(ScreensWith(" Select Target Regions").empty());
  EXPECT_EQ(Row(Last(), 5), " Absorbed Dose Rate File: TQV27INH2.DRT");
  EXPECT_EQ(Row(Last(), 7), "");
  EXPECT_EQ(Last().at(8, 2).attribute, kYellowOnBlue);
  EXPECT_EQ(Last().at(9, 2).attribute, kYellowOnBlue);
}

TEST_F(DriverAbortTest, NoRegionChosen) {
  terminal.Key(' ').Key(kEnter);
  Mark({2});
  terminal.Key(kEscape).Key(' ');
  ExpectEnd(kSessionAborted, 11, " Either no age or no organs have been selected for processing.",
            "abort....");
  EXPECT_EQ(Row(Last(), 7), " # Ages selected: 1");
  EXPECT_EQ(Row(Last(), 8), "");
  EXPECT_EQ(Row(Last(), 9), "Result$ =");
  EXPECT_EQ(Row(Last(), 10), "");
}

TEST_F(DriverAbortTest, MissingTimesFile) {
  fs::remove(dir / "DATA" / "Quillmore.ini");
  terminal.Key(' ').Key(' ');
  EXPECT_EQ(Run(), kSessionError);
  EXPECT_EQ(terminal.unreadCount(), 0u);
  EXPECT_TRUE(ScreensWith("Select Data Set").empty());
  // The message follows the start screen's pause at the cursor, and the
  // screen scrolls under it.
  EXPECT_EQ(Row(Last(), 25) + Row(Last(), 26),
            " Press a key (or left click mouse) to continue... Unable to locate the file "
            "Quillmore.ini.");
  EXPECT_EQ(Row(Last(), 27), " This file contains the integration times.");
  EXPECT_EQ(Row(Last(), 28), " Press a key (or left click mouse) to exit...");
  EXPECT_EQ(Last().at(27, 2).attribute, kWhiteOnBlue);
  EXPECT_EQ(terminal.seen.size(), 2u);
}

TEST_F(DriverAbortTest, TimesFileThatCannotBeUsedIsNamedByLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Times\r\nSTART\r\nEND\r\n",
       " DATA/Quillmore.ini holds no integration times between START and END."},
      {"START\r\n1\r\nabc\r\nEND\r\n",
       " DATA/Quillmore.ini, line 3: \"abc\" is not a number of days."},
      {"START\n-5\nEND\n", " DATA/Quillmore.ini, line 2: \"-5\" is a negative time."}};
  for (const auto& [content, message] : cases) {
    SCOPED_TRACE(content);
    terminal.seen.clear();
    testing::WriteFile(dir / "DATA" / "Quillmore.ini", content);
    terminal.Key(' ').Key(' ');
    ExpectEnd(kSessionError, 27, message, "exit...");
    EXPECT_TRUE(ScreensWith("Select Data Set").empty());
  }
  // Line ends of a Linux editor read like CR LF.
  testing::WriteFile(dir / "DATA" / "Quillmore.ini", "START\n1\n7\nEND\n");
  terminal.seen.clear();
  terminal.Key(' ').Key(kEscape).Key(' ');
  ExpectEnd(kSessionAborted, 5,
            " No absorbed dose rate file was selected, calculations are aborted.", "abort....");
}

TEST_F(DriverAbortTest, MoreThanAHundredTimesAreRefusedByName) {
  std::string times = "START\r\n";
  for (int i = 1; i <= 101; ++i) times += std::to_string(i) + "\r\n";
  testing::WriteFile(dir / "DATA" / "Quillmore.ini", times + "END\r\n");
  terminal.Key(' ').Key(' ');
  ExpectEnd(kSessionError, 27, " DATA/Quillmore.ini holds more than 100 integration times.",
            "exit...");
  EXPECT_TRUE(ScreensWith("Select Data Set").empty());
}

TEST_F(DriverAbortTest, MissingDataFolderIndexOrDataSetIsNamed) {
  const std::vector<std::string> dataFiles = FolderNames(dir / "DATA");
  fs::remove(dir / "DATA" / "TQV27ING2.DRT");
  terminal.Key(' ').Key(console::kKeyDown).Key(kEnter).Key(' ');
  ExpectEnd(kSessionError, 6, " Unable to locate the file DATA/TQV27ING2.DRT.", "exit...");
  EXPECT_EQ(FolderNames(dir / "DATA").size(), dataFiles.size() - 1);

  terminal.seen.clear();
  fs::remove(dir / "DATA" / "DoseInd.NDX");
  terminal.Key(' ').Key(' ');
  EXPECT_EQ(Run(), kSessionError);
  EXPECT_EQ(terminal.unreadCount(), 0u);
  EXPECT_TRUE(ScreensWith("Select Data Set").empty());
  EXPECT_TRUE(Shows(Last(), " Unable to locate the file DATA/DoseInd.NDX."));
  EXPECT_EQ(FolderNames(dir / "DATA").size(), dataFiles.size() - 2);

  terminal.seen.clear();
  fs::remove_all(dir / "DATA");
  terminal.Key(' ').Key(' ');
  EXPECT_EQ(Run(), kSessionError);
  EXPECT_EQ(terminal.unreadCount(), 0u);
  EXPECT_TRUE(Shows(Last(), " Unable to locate the folder DATA."));
  EXPECT_TRUE(Shows(Last(), " Press a key (or left click mouse) to exit..."));
  EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{});
}

// The interactive program and quillmore-batch write the same bytes.
class SameBytesAsBatchTest : public DriverTest {
 protected:
  void ExpectSameFiles(const std::string& batchArguments) {
    const fs::path batchOutput = dir / "batch";
    const std::string command =
        std::string("'") + QUILLMORE_BINARY_DIR + "/src/quillmore-batch' --quiet --data-dir '" +
        (dir / "DATA").string() + "' --output-dir '" + batchOutput.string() + "' " + batchArguments;
    ASSERT_TRUE(fs::exists(QUILLMORE_BINARY_DIR "/src/quillmore-batch"));
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<std::string> names = FolderNames(dir / "OUTPUT");
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(FolderNames(batchOutput), names);
    for (const std::string& name : names) {
      const std::string interactive = testing::ReadFile(dir / "OUTPUT" / name);
      EXPECT_GT(interactive.size(), 200u) << name;
      EXPECT_TRUE(interactive == testing::ReadFile(batchOutput / name)) << name;
    }
  }
};

TEST_F(SameBytesAsBatchTest, InhalationTwoAgesTwoRegions) {
  Choose(1, {1, 4}, {1, 30});
  Type("tc-99m");
  terminal.Key(kEscape).Key(' ');
  Run();
  ExpectSameFiles("--data-set inhalation --ages 1,4 --regions 1,30 Tc-99m");
}

TEST_F(SameBytesAsBatchTest, IngestionAllAgesAllRegionsTwoNuclides) {
  Choose(2, {2, 7}, {5, 31});
  Type("pu-239");
  terminal.Key(kEscape).Key(' ');
  Type("H-3");
  terminal.Key(kEscape).Key(' ');
  Run();
  ExpectSameFiles("--data-set ingestion --ages all --regions all Pu-239 H-3");
}

}  // namespace
}  // namespace quillmore::app
