// One input event as the console layer sees it, whatever the back end.
#pragma once

namespace quillmore::console {

// Keys that produce no character. A key event's `key` is either a character
// (0..255, Windows-1252; Enter 13, Backspace 8, Tab 9, Esc 27) or one of these.
enum KeyCode : int {
  kKeyUp = 256,
  kKeyDown,
  kKeyLeft,
  kKeyRight,
  kKeyPageUp,
  kKeyPageDown,
  kKeyHome,
  kKeyEnd,
  kKeyInsert,
  kKeyDelete,
  kKeyFunction1,  // F1; F2..F12 follow
  kKeyFunction12 = kKeyFunction1 + 11,
  kKeyOther,  // a key the back end could not name
  // Modifier keys pressed alone: they never end a wait.
  kKeyShift,
  kKeyControl,
  kKeyAlt,
  kKeyCapsLock,
  kKeyNumLock,
  kKeyScrollLock,
};

constexpr bool IsCharacterKey(int key) {
  return key >= 0 && key < 256;
}
constexpr bool IsModifierKey(int key) {
  return key >= kKeyShift && key <= kKeyScrollLock;
}

enum class EventKind {
  kKeyPress,
  kKeyRelease,
  kMousePress,
  kMouseRelease,
  kMouseMove,
  kWheelUp,
  kWheelDown,
  kResize,  // the back end has already redrawn; the layer may repaint
  kClosed,  // no input will ever come again (end of a test script, lost terminal)
};

// Console mouse button numbers, as in the button mask.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

struct InputEvent {
  EventKind kind = EventKind::kKeyPress;
  int key = 0;     // key events: see KeyCode
  int button = 0;  // mouse press and release: kLeftButton, kRightButton or kMiddleButton
  int row = 0;     // mouse events: screen cell (1-based); 0 when outside the screen
  int column = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

}  // namespace quillmore::console
