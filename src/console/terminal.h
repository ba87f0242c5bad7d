// The seam between the console layer and whatever shows the screen and
// delivers input: the ncurses terminal or the headless one of the tests.
#pragma once

#include <string_view>

#include "console/input_event.h"
#include "console/screen.h"

namespace quillmore::console {

// A terminal's size in cells.
struct TerminalSize {
  int rows = kScreenRows;
  int columns = kScreenColumns;
};

class Terminal {
 public:
  virtual ~Terminal() = default;

  // Shows the whole screen model, centred when the terminal is larger; the
  // cursor is shown at the model's cursor only when `cursorVisible`.
  virtual void Draw(const Screen& screen, bool cursorVisible) = 0;
  // Blocks until the next event. Returns kClosed, again and again, once no
  // input can come any more.
  virtual InputEvent ReadEvent() = 0;
  // Discards every event that has arrived but not been read.
  virtual void FlushInput() = 0;
  // Switches the reporting of mouse presses, releases and the wheel.
  virtual void SetMouseReporting(bool on) = 0;
  // Window title; `text` is Windows-1252.
  virtual void SetTitle(std::string_view text) = 0;
  // The terminal's size now (after the last resize event read).
  virtual TerminalSize Size() const = 0;
  // Whether cell glyphs beyond the code page (Cell::glyph) can be shown.
  virtual bool ShowsUnicode() const = 0;
};

}  // namespace quillmore::console
