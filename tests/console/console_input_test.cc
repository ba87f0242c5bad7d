#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/headless_terminal.h"

namespace quillmore::console {
namespace {

// The program's own set-up: mouse releases of the left button only.
class ConsoleInput : public ::testing::Test {
 protected:
  ConsoleInput() {
    console.SetColor(kBrightWhite, kBlue);
    console.ClearScreen();
    console.SetMouseEvents(kMouseReleased, kLeftButton);
    console.EnableMouse();
  }
  // Runs one wait and says how many scripted events it consumed.
  std::size_t EventsTakenByWait() {
    const std::size_t before = terminal.unreadCount();
    console.WaitKeyOrClick();
    return before - terminal.unreadCount();
  }

  HeadlessTerminal terminal;
  Console console{terminal};
};

TEST_F(ConsoleInput, LeftPressDoesNotEndAWaitItsReleaseDoes) {
  terminal.MousePress(5, 5).MouseRelease(5, 5).Key('x');
  EXPECT_EQ(EventsTakenByWait(), 2u);
  EXPECT_EQ(terminal.unreadCount(), 1u);
}

TEST_F(ConsoleInput, ModifiersReleasesAndOtherButtonsDoNotEndAWait) {
  terminal.Key(kKeyShift)
      .Key(kKeyControl)
      .Key(kKeyCapsLock)
      .KeyRelease('a')
      .MouseRelease(1, 1, kRightButton)
      .Wheel(1, 1, true)
      .Event({.kind = EventKind::kResize})
      .Key(kKeyUp)
      .Key('z');
  EXPECT_EQ(EventsTakenByWait(), 8u) << "the cursor key ends it";
  EXPECT_EQ(EventsTakenByWait(), 1u);
}

TEST_F(ConsoleInput, CtrlCIsAnOrdinaryKey) {
  terminal.Key(3, false, true).Key('z');
  EXPECT_EQ(EventsTakenByWait(), 1u);
}

TEST_F(ConsoleInput, MouseIsIgnoredUntilEnabled) {
  HeadlessTerminal quiet;
  Console fresh(quiet);
  fresh.SetMouseEvents(kMouseReleased, kLeftButton);
  quiet.Click(1, 1).Key('k');
  fresh.WaitKeyOrClick();
  EXPECT_EQ(quiet.unreadCount(), 0u);
  EXPECT_FALSE(quiet.mouseReporting());
  EXPECT_TRUE(terminal.mouseReporting());
}

TEST_F(ConsoleInput, TypedAheadKeyEndsTheNextWaitUnlessFlushed) {
  terminal.TypeAheadKey('a').Key('b').Key('c');
  EXPECT_EQ(EventsTakenByWait(), 1u);
  EXPECT_EQ(terminal.unreadCount(), 2u) << "the typed-ahead key, not the user's next";

  terminal.TypeAheadKey('d');
  console.FlushInput();
  EXPECT_EQ(terminal.unreadCount(), 2u);
  console.WaitKeyOrClick();
  EXPECT_EQ(terminal.unreadCount(), 1u) << "the flushed key is gone, 'b' ended the wait";
}

TEST_F(ConsoleInput, PauseShowsItsTextAndWaits) {
  console.SetColor(kYellow, -1);
  terminal.Click(3, 3);
  console.Pause("continue...");
  EXPECT_EQ(terminal.shown().RowText(1).substr(0, 49),
            " Press a key (or left click mouse) to continue...");
  EXPECT_EQ(terminal.shown().at(1, 2).attribute, MakeAttribute(kYellow, kBlue));
  EXPECT_EQ(terminal.unreadCount(), 0u);
}

TEST_F(ConsoleInput, ReadLineEnterAloneAndBackspaceAtTheStart) {
  terminal.Key(13);
  EXPECT_EQ(console.ReadLine(), "");
  EXPECT_EQ(console.screen().row(), 2) << "Enter ends with a newline";

  console.PrintText("> ");
  terminal.Key(8).Key(8).Text("ab").Key(13);
  EXPECT_EQ(console.ReadLine(), "ab");
  EXPECT_EQ(terminal.shown().RowText(2).substr(0, 5), "> ab ") << "the prompt is not erased";
}

TEST_F(ConsoleInput, ReadLineEditsAndIgnoresWhatIsNoCharacter) {
  console.Locate(4, 79);
  terminal.Text(" x")
      .Key(kKeyLeft)
      .Key(9)
      .Key(27)
      .Key(3, false, true)
      .Click(2, 2)
      .Text("yz")
      .Key(8)
      .Key(8)
      .Key(8)
      .Text("\xe9 ")
      .Key(13);
  EXPECT_EQ(console.ReadLine(), " \xe9 ") << "blanks kept, 8-bit character kept";
  EXPECT_EQ(terminal.shown().RowText(4).substr(78), " \xe9");
  EXPECT_EQ(terminal.shown().RowText(5).substr(0, 3), "   ");
  EXPECT_EQ(console.screen().row(), 6);
  EXPECT_FALSE(terminal.cursorVisible()) << "cursor hidden again";
}

TEST_F(ConsoleInput, ReadLineShowsTheCursorWhileWaitingAndEndsWhenInputCloses) {
  terminal.Text("q");  // then the script ends: input closed
  EXPECT_EQ(console.ReadLine(), "q");
  EXPECT_TRUE(terminal.cursorVisibleWhileWaiting());
  EXPECT_FALSE(terminal.cursorVisible());

  terminal.Key('k');
  console.WaitKeyOrClick();
  EXPECT_FALSE(terminal.cursorVisibleWhileWaiting());
}

TEST_F(ConsoleInput, ReadLineStopsEchoingAtTheLimit) {
  terminal.Text(std::string(kReadLineLimit + 5, 'w')).Key(13);
  const std::string line = console.ReadLine();
  EXPECT_EQ(line.size(), kReadLineLimit);
  // 10000 characters fill 125 rows of 80 exactly, ending in the last cell with
  // a scroll pending; Enter's newline scrolls twice. Echo past the limit would
  // show on row 27.
  EXPECT_EQ(console.screen().RowText(26), std::string(80, 'w'));
  EXPECT_EQ(console.screen().RowText(27), std::string(80, ' '));
  EXPECT_EQ(console.screen().RowText(28), std::string(80, ' '));
}

TEST_F(ConsoleInput, TitleGoesToTheTerminal) {
  console.SetTitle("Quillmore  Ver. 1.2");
  EXPECT_EQ(terminal.title(), "Quillmore  Ver. 1.2");
}

}  // namespace
}  // namespace quillmore::console
