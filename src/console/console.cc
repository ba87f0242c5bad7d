#include "console/console.h"

namespace quillmore::console {

namespace {

constexpr int kEnter = 13;
constexpr int kBackspace = 8;

}  // namespace

void Console::SetTitle(std::string_view text) {
  terminal_.SetTitle(text);
}

void Console::SetColor(int foreground, int background) {
  // The colour pair changes nothing on screen until the next output.
  screen_.SetColor(foreground, background);
}

void Console::ClearScreen() {
  screen_.ClearScreen();
  Present();
}

void Console::Locate(int row, int column) {
  screen_.Locate(row, column);
  Present();
}

void Console::PrintText(std::string_view text) {
  screen_.PrintText(text);
  Present();
}

void Console::NewLine() {
  screen_.NewLine();
  Present();
}

void Console::TabTo(int column) {
  screen_.TabTo(column);
  Present();
}

void Console::SetMouseEvents(int eventMask, int buttonMask) {
  mouseEventMask_ = eventMask;
  mouseButtonMask_ = buttonMask;
}

void Console::EnableMouse() {
  mouseEnabled_ = true;
  SetMouseReporting(true);
}

void Console::SetMouseReporting(bool on) {
  if (on == mouseReporting_) return;
  mouseReporting_ = on;
  terminal_.SetMouseReporting(on);
}

void Console::FlushInput() {
  terminal_.FlushInput();
}

void Console::Present() {
  showingOther_ = false;
  terminal_.Draw(screen_, cursorVisible_);
}

void Console::Show(const Screen& screen) {
  showingOther_ = true;
  terminal_.Draw(screen, false);
}

InputEvent Console::ReadEvent() {
  const InputEvent event = terminal_.ReadEvent();
  if (event.kind == EventKind::kResize && !showingOther_) Present();
  return event;
}

bool Console::EndsWait(const InputEvent& event) const {
  switch (event.kind) {
    case EventKind::kClosed:
      return true;
    case EventKind::kKeyPress:
      return !IsModifierKey(event.key);
    case EventKind::kMousePress:
    case EventKind::kMouseRelease: {
      const int kind = event.kind == EventKind::kMousePress ? kMousePressed : kMouseReleased;
      return mouseEnabled_ && (mouseEventMask_ & kind) != 0 &&
             (mouseButtonMask_ & event.button) != 0;
    }
    case EventKind::kMouseMove:
      return mouseEnabled_ && (mouseEventMask_ & kMouseMoved) != 0;
    default:
      return false;
  }
}

void Console::WaitKeyOrClick() {
  Present();
  while (!EndsWait(ReadEvent())) {
  }
}

void Console::Pause(std::string_view word) {
  PrintText(" Press a key (or left click mouse) to ");
  PrintText(word);
  WaitKeyOrClick();
}

std::string Console::ReadLine() {
  std::string line;
  cursorVisible_ = true;
  Present();
  for (;;) {
    const InputEvent event = ReadEvent();
    if (event.kind == EventKind::kClosed) break;
    if (event.kind != EventKind::kKeyPress || !IsCharacterKey(event.key)) continue;
    if (event.key == kEnter) {
      screen_.NewLine();
      break;
    }
    if (event.key == kBackspace) {
      if (!line.empty()) {
        line.pop_back();
        screen_.EraseBack();
      }
    } else if (event.key >= 32 && line.size() < kReadLineLimit) {
      line.push_back(static_cast<char>(event.key));
      screen_.PrintText(line.substr(line.size() - 1));
    }
    Present();
  }
  cursorVisible_ = false;
  Present();
  return line;
}

}  // namespace quillmore::console
