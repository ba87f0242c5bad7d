// The console: the screen model, the mouse setting and the terminal that shows
// them, with the operations every screen of the program uses. The driver owns
// one Console and passes it down; there is no global console.
#pragma once

#include <string>
#include <string_view>

#include "console/input_event.h"
#include "console/screen.h"
#include "console/terminal.h"

namespace quillmore::console {

// Mouse setting bits.
inline constexpr int kMouseMoved = 1;
inline constexpr int kMousePressed = 4;
inline constexpr int kMouseReleased = 8;

// Characters of one ReadLine at most; further typing is ignored.
inline constexpr std::size_t kReadLineLimit = 10000;

class Console {
 public:
  // `terminal` must outlive the console. Nothing is drawn until the first
  // operation that changes the screen.
  explicit Console(Terminal& terminal) : terminal_(terminal) {}
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Window title (Windows-1252 text).
  void SetTitle(std::string_view text);

  // The screen operations; see Screen for the exact rules. Each shows the
  // result on the terminal.
  void SetColor(int foreground, int background);
  void ClearScreen();
  void Locate(int row, int column);
  void PrintText(std::string_view text);
  void NewLine();
  void TabTo(int column);

  // Which mouse events end WaitKeyOrClick once EnableMouse was called: an
  // event mask of kMouse... bits and a button mask of k...Button bits.
  void SetMouseEvents(int eventMask, int buttonMask);
  void EnableMouse();
  // Discards every key and mouse event typed ahead.
  void FlushInput();
  // Blocks until a key press (not a modifier alone, not a release) or an
  // enabled mouse event of an enabled button. Input typed ahead counts.
  void WaitKeyOrClick();
  // PrintText " Press a key (or left click mouse) to " + word, then
  // WaitKeyOrClick.
  void Pause(std::string_view word);
  // Reads a line echoed at the cursor with the cursor shown: characters 32..255
  // are appended (up to kReadLineLimit), Backspace erases, Enter ends with a
  // NewLine, other keys and mouse events are ignored. Returns the text without
  // the Enter (Windows-1252, blanks kept). Ends early if input closes.
  std::string ReadLine();

  // For boxes and viewers built on the console.
  Screen& screen() { return screen_; }
  const Screen& screen() const { return screen_; }
  // Shows the screen model now (after direct changes through screen()).
  void Present();
  // Shows another screen (one of the terminal's size, for the viewer) until
  // the next Present.
  void Show(const Screen& screen);
  TerminalSize Size() const { return terminal_.Size(); }
  bool ShowsUnicode() const { return terminal_.ShowsUnicode(); }
  // The next event from the terminal; a resize repaints the console's screen
  // first, unless another is shown.
  InputEvent ReadEvent();
  bool mouseEnabled() const { return mouseEnabled_; }
  // Switches mouse reporting for a modal box; restore with the old value.
  void SetMouseReporting(bool on);

 private:
  bool EndsWait(const InputEvent& event) const;

  Terminal& terminal_;
  Screen screen_;
  bool cursorVisible_ = false;
  bool showingOther_ = false;
  int mouseEventMask_ = 0;
  int mouseButtonMask_ = 0;
  bool mouseEnabled_ = false;
  bool mouseReporting_ = false;
};

}  // namespace quillmore::console
