// The only file that speaks to ncurses. Terminal quirks are handled here, each
// where it applies and marked "Quirk:".
#include "console/curses_terminal.h"

#include <curses.h>
#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>

#include "base/cp1252.h"
#include "console/console_colors.h"
#include "console/display_glyph.h"

namespace quillmore::console {

namespace {

// The one piece of process-wide state: whether curses owns the terminal, so
// that signal handlers and exit() can give it back. Signal handlers cannot
// reach the owning object, hence static.
volatile std::sig_atomic_t cursesActive = 0;

constexpr int kFatalSignals[] = {SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
struct sigaction previousActions[std::size(kFatalSignals)];

// Quirk: xterm-like terminals keep a stack of window titles; pushing ours and
// popping it on exit gives the user's title back. Others ignore both.
constexpr char kPushTitle[] = "\033[22;0t";
constexpr char kPopTitle[] = "\033[23;0t";

void RestoreTerminal() {
  if (!cursesActive) return;
  cursesActive = 0;
  endwin();
  std::fputs(kPopTitle, stdout);
  std::fflush(stdout);
}

void OnFatalSignal(int signal) {
  RestoreTerminal();
  // Hand the signal to whoever had it before (the default action, or the
  // sanitizer's report). A fault re-raises itself when the handler returns.
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
    if (kFatalSignals[i] == signal) sigaction(signal, &previousActions[i], nullptr);
  }
  if (signal == SIGTERM || signal == SIGHUP || signal == SIGABRT) std::raise(signal);
}

void InstallSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = OnFatalSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
    sigaction(kFatalSignals[i], &action, &previousActions[i]);
  }
}

void RemoveSignalHandlers() {
  for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
    sigaction(kFatalSignals[i], &previousActions[i], nullptr);
  }
}

// Colour pairs: with 16 colours and 257 pairs every attribute has its own
// pair (attribute + 1). Returns whether the terminal has them.
bool InitPairs() {
  if (!has_colors()) return false;
  start_color();
  // Around the centred screen the terminal keeps its own colours.
  use_default_colors();
  // Quirk: eight-colour terminals (TERM=xterm, screen, linux) cannot show
  // bright backgrounds, and their 64 pairs include pair 0: eight-colour pair
  // fg + 8 x bg, the bright half of the foregrounds as A_BOLD, and black on
  // black (pair 0, never used) left to the terminal's default colours.
  const bool sixteenColors = COLORS >= 16 && COLOR_PAIRS >= 257;
  for (int attribute = 0; attribute < 256; ++attribute) {
    const int fg = ForegroundOf(static_cast<unsigned char>(attribute));
    const int bg = BackgroundOf(static_cast<unsigned char>(attribute));
    if (sixteenColors) {
      init_pair(static_cast<short>(attribute + 1), static_cast<short>(AnsiColor(fg)),
                static_cast<short>(AnsiColor(bg)));
    } else if (fg < 8 && bg < 8 && fg + 8 * bg > 0) {
      init_pair(static_cast<short>(fg + 8 * bg), static_cast<short>(AnsiColor(fg)),
                static_cast<short>(AnsiColor(bg)));
    }
  }
  return sixteenColors;
}

void CellLook(unsigned char attribute, bool sixteenColors, short& pair, attr_t& attrs) {
  const int fg = ForegroundOf(attribute);
  const int bg = BackgroundOf(attribute);
  attrs = A_NORMAL;
  if (!has_colors()) {
    // Monochrome: light backgrounds (boxes) in reverse so a highlight shows.
    pair = 0;
    if ((bg & 7) == kLightGray) attrs = A_REVERSE;
  } else if (sixteenColors) {
    pair = static_cast<short>(attribute + 1);
  } else {
    pair = static_cast<short>((fg & 7) + 8 * (bg & 7));
    if (fg >= 8) attrs = A_BOLD;
  }
}

void DrawCell(int y, int x, const Cell& cell, bool sixteenColors) {
  short pair = 0;
  attr_t attrs = A_NORMAL;
  CellLook(cell.attribute, sixteenColors, pair, attrs);
  const char32_t glyph = cell.glyph != 0 ? cell.glyph : DisplayGlyph(cell.byte);
  const wchar_t text[2] = {static_cast<wchar_t>(glyph), L'\0'};
  cchar_t look;
  setcchar(&look, text, attrs, pair, nullptr);
  // Quirk: writing the terminal's bottom-right cell returns ERR although it
  // is drawn; the error means nothing here.
  mvwadd_wch(stdscr, y, x, &look);
}

void DrawTooSmallNotice(int height, int width) {
  const std::string lines[] = {
      "Enlarge the terminal to at least " + std::to_string(kScreenColumns) + " x " +
          std::to_string(kScreenRows),
      "(now " + std::to_string(width) + " x " + std::to_string(height) + ")"};
  int y = height / 2 - 1;
  for (const std::string& line : lines) {
    const int x = std::max(0, (width - static_cast<int>(line.size())) / 2);
    mvwaddnstr(stdscr, std::max(0, y++), x, line.c_str(), width);
  }
}

int MouseMask() {
  return BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON2_PRESSED | BUTTON2_RELEASED | BUTTON3_PRESSED |
         BUTTON3_RELEASED | BUTTON4_PRESSED | BUTTON5_PRESSED | BUTTON_CTRL | BUTTON_SHIFT |
         BUTTON_ALT;
}

InputEvent KeyEvent(int key, bool shift = false, bool ctrl = false) {
  return {.kind = EventKind::kKeyPress, .key = key, .shift = shift, .ctrl = ctrl};
}

// Keys curses names, as console keys.
InputEvent DecodeFunctionKey(wint_t code) {
  switch (code) {
    case KEY_UP:
      return KeyEvent(kKeyUp);
    case KEY_DOWN:
      return KeyEvent(kKeyDown);
    case KEY_LEFT:
      return KeyEvent(kKeyLeft);
    case KEY_RIGHT:
      return KeyEvent(kKeyRight);
    case KEY_SR:
      return KeyEvent(kKeyUp, true);
    case KEY_SF:
      return KeyEvent(kKeyDown, true);
    case KEY_SLEFT:
      return KeyEvent(kKeyLeft, true);
    case KEY_SRIGHT:
      return KeyEvent(kKeyRight, true);
    case KEY_PPAGE:
      return KeyEvent(kKeyPageUp);
    case KEY_NPAGE:
      return KeyEvent(kKeyPageDown);
    case KEY_HOME:
      return KeyEvent(kKeyHome);
    case KEY_END:
      return KeyEvent(kKeyEnd);
    case KEY_SHOME:
      return KeyEvent(kKeyHome, true);
    case KEY_SEND:
      return KeyEvent(kKeyEnd, true);
    case KEY_IC:
      return KeyEvent(kKeyInsert);
    case KEY_DC:
      return KeyEvent(kKeyDelete);
    // Quirk: Backspace arrives as KEY_BACKSPACE, 127 or 8 depending on the
    // terminal; all mean the console's Backspace, 8.
    case KEY_BACKSPACE:
      return KeyEvent(8);
    case KEY_ENTER:
      return KeyEvent(13);
    case KEY_BTAB:
      return KeyEvent(9, true);
    default:
      break;
  }
  if (code >= static_cast<wint_t>(KEY_F(1)) && code <= static_cast<wint_t>(KEY_F(12))) {
    return KeyEvent(kKeyFunction1 + static_cast<int>(code - static_cast<wint_t>(KEY_F(1))));
  }
  return KeyEvent(kKeyOther);
}

InputEvent DecodeCharacter(wint_t code) {
  if (code == 127) return KeyEvent(8);
  const std::optional<unsigned char> byte = base::UnicodeToCp1252(static_cast<char32_t>(code));
  // A character the code page lacks still counts as a typed character.
  const int key = byte ? *byte : '?';
  return KeyEvent(key, false, key < 32 && key != 8 && key != 9 && key != 13 && key != 27);
}

// Quirk: the terminfo entry names one sequence per key, but terminals (and
// tmux, whatever TERM says) send others for Home, End and the like; an
// unknown sequence would arrive as Esc and then as stray characters, and Esc
// cancels a list box. Teach ncurses the common variants it does not know yet.
void DefineKeyVariants() {
  static const struct {
    const char* sequence;
    int key;
  } kVariants[] = {{"\033[1~", KEY_HOME},    {"\033[7~", KEY_HOME},     {"\033[H", KEY_HOME},
                   {"\033OH", KEY_HOME},     {"\033[4~", KEY_END},      {"\033[8~", KEY_END},
                   {"\033[F", KEY_END},      {"\033OF", KEY_END},       {"\033[5~", KEY_PPAGE},
                   {"\033[6~", KEY_NPAGE},   {"\033[2~", KEY_IC},       {"\033[3~", KEY_DC},
                   {"\033[A", KEY_UP},       {"\033[B", KEY_DOWN},      {"\033[C", KEY_RIGHT},
                   {"\033[D", KEY_LEFT},     {"\033OA", KEY_UP},        {"\033OB", KEY_DOWN},
                   {"\033OC", KEY_RIGHT},    {"\033OD", KEY_LEFT},      {"\033[1;2A", KEY_SR},
                   {"\033[1;2B", KEY_SF},    {"\033[1;2C", KEY_SRIGHT}, {"\033[1;2D", KEY_SLEFT},
                   {"\033[1;2H", KEY_SHOME}, {"\033[1;2F", KEY_SEND}};
  for (const auto& variant : kVariants) {
    if (key_defined(variant.sequence) == 0) define_key(variant.sequence, variant.key);
  }
}

}  // namespace

std::unique_ptr<CursesTerminal> CursesTerminal::Open() {
  if (cursesActive || !isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return nullptr;
  std::setlocale(LC_ALL, "");
  if (newterm(nullptr, stdout, stdin) == nullptr) return nullptr;
  return std::unique_ptr<CursesTerminal>(new CursesTerminal());
}

CursesTerminal::CursesTerminal() {
  cursesActive = 1;
  InstallSignalHandlers();
  std::atexit(RestoreTerminal);
  // raw() rather than cbreak(): Ctrl+C, Ctrl+Z and Ctrl+\ must be keys.
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  DefineKeyVariants();
  set_escdelay(25);
  // Quirk: without this ncurses waits about 1/6 s to fold a press and release
  // into a click, and a release alone would come late or not at all.
  mouseinterval(0);
  curs_set(0);
  sixteenColors_ = InitPairs();
  unicode_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  std::fputs(kPushTitle, stdout);
  std::fflush(stdout);
}

CursesTerminal::~CursesTerminal() {
  RestoreTerminal();
  RemoveSignalHandlers();
}

void CursesTerminal::Draw(const Screen& screen, bool cursorVisible) {
  shown_ = screen;
  cursorVisible_ = cursorVisible;
  drawn_ = true;
  Paint();
}

void CursesTerminal::Paint() {
  int height = 0;
  int width = 0;
  getmaxyx(stdscr, height, width);
  werase(stdscr);
  tooSmall_ = height < shown_.rows() || width < shown_.columns();
  if (tooSmall_) {
    DrawTooSmallNotice(height, width);
    curs_set(0);
    wrefresh(stdscr);
    return;
  }
  const int top = (height - shown_.rows()) / 2;
  const int left = (width - shown_.columns()) / 2;
  if (drawn_) {
    for (int r = 1; r <= shown_.rows(); ++r) {
      for (int c = 1; c <= shown_.columns(); ++c)
        DrawCell(top + r - 1, left + c - 1, shown_.at(r, c), sixteenColors_);
    }
  }
  wmove(stdscr, top + shown_.row() - 1, left + shown_.column() - 1);
  curs_set(cursorVisible_ ? 1 : 0);
  wrefresh(stdscr);
}

InputEvent CursesTerminal::DecodeMouse() {
  MEVENT mouse;
  if (getmouse(&mouse) != OK) return {.kind = EventKind::kMouseMove};
  InputEvent event;
  int height = 0;
  int width = 0;
  getmaxyx(stdscr, height, width);
  const int row = mouse.y - (height - shown_.rows()) / 2 + 1;
  const int column = mouse.x - (width - shown_.columns()) / 2 + 1;
  if (row >= 1 && row <= shown_.rows() && column >= 1 && column <= shown_.columns()) {
    event.row = row;
    event.column = column;
  }
  const mmask_t state = mouse.bstate;
  event.shift = (state & BUTTON_SHIFT) != 0;
  event.ctrl = (state & BUTTON_CTRL) != 0;
  event.alt = (state & BUTTON_ALT) != 0;
  // curses numbers buttons left 1, middle 2, right 3; the console 1, 4, 2.
  struct ButtonBits {
    mmask_t pressed;
    mmask_t released;
    int button;
  };
  constexpr ButtonBits kButtons[] = {{BUTTON1_PRESSED, BUTTON1_RELEASED, kLeftButton},
                                     {BUTTON3_PRESSED, BUTTON3_RELEASED, kRightButton},
                                     {BUTTON2_PRESSED, BUTTON2_RELEASED, kMiddleButton}};
  for (std::size_t i = 0; i < std::size(kButtons); ++i) {
    if (state & kButtons[i].pressed) {
      event.kind = EventKind::kMousePress;
      event.button = kButtons[i].button;
      ctrlAtPress_[i] = event.ctrl;
      return event;
    }
    if (state & kButtons[i].released) {
      event.kind = EventKind::kMouseRelease;
      event.button = kButtons[i].button;
      // Quirk: X10 mouse reports (TERM=screen, tmux-256color) lose Ctrl on
      // the release; Ctrl held at the press counts.
      event.ctrl = event.ctrl || ctrlAtPress_[i];
      ctrlAtPress_[i] = false;
      return event;
    }
  }
  if (state & BUTTON4_PRESSED)
    event.kind = EventKind::kWheelUp;
  else if (state & BUTTON5_PRESSED)
    event.kind = EventKind::kWheelDown;
  else
    event.kind = EventKind::kMouseMove;
  return event;
}

InputEvent CursesTerminal::ReadEvent() {
  for (;;) {
    const InputEvent event = ReadAnyEvent();
    // Keys and clicks made while the notice hides the screen would act on
    // what the user cannot see: they are dropped.
    if (!tooSmall_ || event.kind == EventKind::kResize || event.kind == EventKind::kClosed) {
      return event;
    }
  }
}

InputEvent CursesTerminal::ReadAnyEvent() {
  wint_t code = 0;
  const int result = wget_wch(stdscr, &code);
  if (result == ERR) return {.kind = EventKind::kClosed};
  if (result == KEY_CODE_YES) {
    if (code == static_cast<wint_t>(KEY_RESIZE)) {
      Paint();
      return {.kind = EventKind::kResize};
    }
    if (code == static_cast<wint_t>(KEY_MOUSE)) return DecodeMouse();
    return DecodeFunctionKey(code);
  }
  return DecodeCharacter(code);
}

void CursesTerminal::FlushInput() {
  flushinp();
}

void CursesTerminal::SetMouseReporting(bool on) {
  mousemask(on ? static_cast<mmask_t>(MouseMask()) : 0, nullptr);
}

TerminalSize CursesTerminal::Size() const {
  int height = 0;
  int width = 0;
  getmaxyx(stdscr, height, width);
  return {height, width};
}

void CursesTerminal::SetTitle(std::string_view text) {
  // curses has no call for the title; OSC 2 sets it on xterm-like terminals.
  std::fputs(("\033]2;" + base::Cp1252ToUtf8(text) + "\007").c_str(), stdout);
  std::fflush(stdout);
}

}  // namespace quillmore::console
