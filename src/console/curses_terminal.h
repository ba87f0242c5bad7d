// The real terminal: shows a screen (80 x 28, or the viewer's of the
// terminal's size) centred in whatever size the terminal has and turns its input into console
// events. Raw mode: Ctrl+C and the other control keys arrive as keys and never stop the program.
#pragma once

#include <memory>
#include <string_view>

#include "console/terminal.h"

namespace quillmore::console {

class CursesTerminal : public Terminal {
 public:
  // Takes over the terminal on standard input and output; nullptr when they
  // are not a usable terminal. Only one may exist at a time. The terminal is
  // restored by the destructor, at exit(), on SIGTERM and SIGHUP and on a
  // crash signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT).
  static std::unique_ptr<CursesTerminal> Open();
  ~CursesTerminal() override;
  CursesTerminal(const CursesTerminal&) = delete;
  CursesTerminal& operator=(const CursesTerminal&) = delete;

  void Draw(const Screen& screen, bool cursorVisible) override;
  // Blocks for the next key, mouse event or resize; kClosed once the input is
  // gone. While the terminal is too small to show the screen, keys and mouse
  // events are discarded.
  InputEvent ReadEvent() override;
  void FlushInput() override;
  void SetMouseReporting(bool on) override;
  void SetTitle(std::string_view text) override;
  TerminalSize Size() const override;
  bool ShowsUnicode() const override { return unicode_; }

 private:
  CursesTerminal();
  void Paint();
  InputEvent ReadAnyEvent();
  InputEvent DecodeMouse();

  Screen shown_;
  bool cursorVisible_ = false;
  bool drawn_ = false;
  bool tooSmall_ = false;  // the notice to enlarge the terminal is shown
  bool sixteenColors_ = false;
  bool unicode_ = false;
  // Ctrl held at the last press of each button (left, right, middle).
  bool ctrlAtPress_[3] = {false, false, false};
};

}  // namespace quillmore::console
