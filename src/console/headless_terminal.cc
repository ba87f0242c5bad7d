#include "console/headless_terminal.h"

namespace quillmore::console {

HeadlessTerminal& HeadlessTerminal::Event(const InputEvent& event) {
  script_.push_back(event);
  return *this;
}

HeadlessTerminal& HeadlessTerminal::Key(int key, bool shift, bool ctrl) {
  return Event({.kind = EventKind::kKeyPress, .key = key, .shift = shift, .ctrl = ctrl});
}

HeadlessTerminal& HeadlessTerminal::KeyRelease(int key) {
  return Event({.kind = EventKind::kKeyRelease, .key = key});
}

HeadlessTerminal& HeadlessTerminal::Text(std::string_view text) {
  for (char c : text) Key(static_cast<unsigned char>(c));
  return *this;
}

HeadlessTerminal& HeadlessTerminal::MousePress(int row, int column, int button, bool ctrl) {
  return Event({.kind = EventKind::kMousePress,
                .button = button,
                .row = row,
                .column = column,
                .ctrl = ctrl});
}

HeadlessTerminal& HeadlessTerminal::MouseRelease(int row, int column, int button, bool ctrl) {
  return Event({.kind = EventKind::kMouseRelease,
                .button = button,
                .row = row,
                .column = column,
                .ctrl = ctrl});
}

HeadlessTerminal& HeadlessTerminal::Click(int row, int column, bool ctrl) {
  MousePress(row, column, kLeftButton, ctrl);
  return MouseRelease(row, column, kLeftButton, ctrl);
}

HeadlessTerminal& HeadlessTerminal::Wheel(int row, int column, bool up) {
  return Event(
      {.kind = up ? EventKind::kWheelUp : EventKind::kWheelDown, .row = row, .column = column});
}

HeadlessTerminal& HeadlessTerminal::TypeAheadKey(int key) {
  pending_.push_back({.kind = EventKind::kKeyPress, .key = key});
  return *this;
}

HeadlessTerminal& HeadlessTerminal::Resize(int rows, int columns) {
  return Event({.kind = EventKind::kResize, .row = rows, .column = columns});
}

HeadlessTerminal& HeadlessTerminal::SetSize(int rows, int columns) {
  size_ = {rows, columns};
  return *this;
}

void HeadlessTerminal::Draw(const Screen& screen, bool cursorVisible) {
  shown_ = screen;
  cursorVisible_ = cursorVisible;
}

InputEvent HeadlessTerminal::ReadEvent() {
  cursorVisibleWhileWaiting_ = cursorVisible_;
  shownWhenLastRead_ = shown_;
  // The user answers only once the program waits: the next scripted event
  // becomes pending when nothing typed ahead is left.
  if (pending_.empty() && !script_.empty()) {
    pending_.push_back(script_.front());
    script_.pop_front();
  }
  if (pending_.empty()) return {.kind = EventKind::kClosed};
  InputEvent event = pending_.front();
  pending_.pop_front();
  if (event.kind == EventKind::kResize) {
    size_ = {event.row, event.column};
    event.row = 0;
    event.column = 0;
  }
  return event;
}

}  // namespace quillmore::console
