// A Terminal without a terminal, for tests: input is scripted up front and the
// last screen drawn can be read back as text and attributes.
//
// Two queues model time. Events added with Key, Text, MousePress and the like
// are the user's answers: each arrives only when the program reads input, so
// FlushInput never loses them. Events added with TypeAhead... were typed before
// the program asked (during a computation): they are pending at once and
// FlushInput discards them. When both queues are empty, ReadEvent returns
// kClosed so that a test with too little input ends instead of hanging.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "console/terminal.h"

namespace quillmore::console {

class HeadlessTerminal : public Terminal {
 public:
  // Scripting the user's answers, in order.
  HeadlessTerminal& Key(int key, bool shift = false, bool ctrl = false);
  HeadlessTerminal& KeyRelease(int key);
  // One key press per byte (Windows-1252).
  HeadlessTerminal& Text(std::string_view text);
  HeadlessTerminal& MousePress(int row, int column, int button = kLeftButton, bool ctrl = false);
  HeadlessTerminal& MouseRelease(int row, int column, int button = kLeftButton, bool ctrl = false);
  // Left press then release on one cell.
  HeadlessTerminal& Click(int row, int column, bool ctrl = false);
  HeadlessTerminal& Wheel(int row, int column, bool up);
  HeadlessTerminal& Event(const InputEvent& event);
  // A key already pending when the program next reads (typed ahead).
  HeadlessTerminal& TypeAheadKey(int key);
  // The terminal takes this size when the program reads the resize event.
  HeadlessTerminal& Resize(int rows, int columns);
  // Size from the start.
  HeadlessTerminal& SetSize(int rows, int columns);

  // Terminal.
  void Draw(const Screen& screen, bool cursorVisible) override;
  InputEvent ReadEvent() override;
  void FlushInput() override { pending_.clear(); }
  void SetMouseReporting(bool on) override { mouseReporting_ = on; }
  void SetTitle(std::string_view text) override { title_ = text; }
  TerminalSize Size() const override { return size_; }
  bool ShowsUnicode() const override { return false; }

  // What was last shown.
  const Screen& shown() const { return shown_; }
  bool cursorVisible() const { return cursorVisible_; }
  // What the user saw when the program last read input (a modal box that has
  // closed since can be inspected here).
  const Screen& shownWhenLastRead() const { return shownWhenLastRead_; }
  // Whether the cursor was shown when the program last read input.
  bool cursorVisibleWhileWaiting() const { return cursorVisibleWhileWaiting_; }
  const std::string& title() const { return title_; }
  bool mouseReporting() const { return mouseReporting_; }
  // Scripted events not read yet (both queues).
  std::size_t unreadCount() const { return pending_.size() + script_.size(); }

 private:
  std::deque<InputEvent> pending_;
  std::deque<InputEvent> script_;
  Screen shown_;
  Screen shownWhenLastRead_;
  bool cursorVisible_ = false;
  bool cursorVisibleWhileWaiting_ = false;
  std::string title_;
  bool mouseReporting_ = false;
  TerminalSize size_;
};

}  // namespace quillmore::console
