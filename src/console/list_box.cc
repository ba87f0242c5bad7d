#include "console/list_box.h"

#include <algorithm>
#include <optional>

#include "base/text.h"

namespace quillmore::console {

namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kWheelStep = 3;
// Border, caption, separator / separator, status, buttons, border.
constexpr int kFrameRows = 7;
constexpr int kMaxVisible = kScreenRows - kFrameRows;
constexpr int kMaxInnerWidth = kScreenColumns - 4;

constexpr unsigned char kBoxColors = MakeAttribute(kBlack, kLightGray);
constexpr unsigned char kTitleColors = MakeAttribute(kBlue, kLightGray);
constexpr unsigned char kHighlightColors = MakeAttribute(kBrightWhite, kBlue);
constexpr unsigned char kButtonColors = MakeAttribute(kBlack, kCyan);

constexpr std::string_view kOneStatus = "Arrows/PgUp/PgDn/Home/End move  Enter choose  Esc cancel";
constexpr std::string_view kSeveralStatus =
    "Arrows move  Space or Ctrl+click mark  Enter OK  Esc cancel";
constexpr std::string_view kOkButton = "[ OK ]";
constexpr std::string_view kCancelButton = "[ Cancel ]";

int Length(std::string_view text) {
  return static_cast<int>(text.size());
}

// The indices of the chosen entries, ascending; empty when none was chosen.
using Choice = std::vector<std::size_t>;

class ListBox {
 public:
  ListBox(Console& console, std::string_view caption, std::string_view title,
          const std::vector<std::string>& entries, std::size_t initial, bool several);
  // Draws the box and handles input until the user accepts or cancels.
  Choice Run();

 private:
  // The box's result once the event ends it; std::nullopt while it goes on.
  std::optional<Choice> HandleKey(const InputEvent& event);
  std::optional<Choice> HandleRelease(const InputEvent& event);
  void HandlePress(const InputEvent& event);
  // The 0-based entry under a mouse position; -1 when none.
  int EntryAt(const InputEvent& event) const;
  Choice Accept() const;
  void MoveHighlight(int to);
  void Scroll(int by);
  void JumpToLetter(int key);
  void Draw();
  void DrawEntry(int index);
  int FirstEntryRow() const { return top_ + 3; }
  int ButtonsRow() const { return top_ + kFrameRows - 2 + visible_; }
  int count() const { return static_cast<int>(entries_.size()); }

  Console& console_;
  std::string caption_;
  std::string title_;
  const std::vector<std::string>& entries_;
  bool several_;
  std::vector<bool> marks_;
  int highlight_;  // 0-based entry index
  int first_ = 0;  // 0-based index of the first visible entry
  int visible_;
  int innerWidth_;
  int top_;
  int left_;
  int okColumn_ = 0;
  int cancelColumn_ = 0;
};

ListBox::ListBox(Console& console, std::string_view caption, std::string_view title,
                 const std::vector<std::string>& entries, std::size_t initial, bool several)
    : console_(console),
      caption_(caption),
      title_(title),
      entries_(entries),
      several_(several),
      marks_(entries.size(), false),
      highlight_(static_cast<int>(std::min(initial, entries.size() - 1))),
      visible_(std::min(static_cast<int>(entries.size()), kMaxVisible)) {
  const int markWidth = several_ ? 4 : 0;
  int width = std::max({Length(caption_), Length(title_) + 2,
                        Length(several_ ? kSeveralStatus : kOneStatus),
                        Length(kOkButton) + Length(kCancelButton) + 2});
  for (const std::string& entry : entries_) width = std::max(width, Length(entry) + markWidth);
  innerWidth_ = std::min(width, kMaxInnerWidth);
  top_ = (kScreenRows - (visible_ + kFrameRows)) / 2 + 1;
  left_ = (kScreenColumns - (innerWidth_ + 4)) / 2 + 1;
  MoveHighlight(highlight_);
}

void ListBox::MoveHighlight(int to) {
  highlight_ = std::clamp(to, 0, count() - 1);
  if (highlight_ < first_) first_ = highlight_;
  if (highlight_ >= first_ + visible_) first_ = highlight_ - visible_ + 1;
}

void ListBox::Scroll(int by) {
  first_ = std::clamp(first_ + by, 0, count() - visible_);
  highlight_ = std::clamp(highlight_, first_, first_ + visible_ - 1);
}

void ListBox::JumpToLetter(int key) {
  const char wanted = base::AsciiLower(static_cast<char>(key));
  for (int step = 1; step <= count(); ++step) {
    const int index = (highlight_ + step) % count();
    const std::string& entry = entries_[static_cast<std::size_t>(index)];
    const std::size_t at = entry.find_first_not_of(' ');
    if (at != std::string::npos && base::AsciiLower(entry[at]) == wanted) {
      MoveHighlight(index);
      return;
    }
  }
}

Choice ListBox::Accept() const {
  Choice chosen;
  if (several_) {
    for (std::size_t i = 0; i < marks_.size(); ++i) {
      if (marks_[i]) chosen.push_back(i);
    }
  }
  if (chosen.empty()) chosen.push_back(static_cast<std::size_t>(highlight_));
  return chosen;
}

std::optional<Choice> ListBox::HandleKey(const InputEvent& event) {
  switch (event.key) {
    case kEnter:
      return Accept();
    case kEscape:
      return Choice();
    case kKeyUp:
      MoveHighlight(highlight_ - 1);
      break;
    case kKeyDown:
      MoveHighlight(highlight_ + 1);
      break;
    case kKeyPageUp:
      MoveHighlight(highlight_ - visible_);
      break;
    case kKeyPageDown:
      MoveHighlight(highlight_ + visible_);
      break;
    case kKeyHome:
      MoveHighlight(0);
      break;
    case kKeyEnd:
      MoveHighlight(count() - 1);
      break;
    case kSpace:
      if (several_) marks_[static_cast<std::size_t>(highlight_)].flip();
      break;
    default:
      if (event.key > kSpace && event.key < 128) JumpToLetter(event.key);
  }
  return std::nullopt;
}

int ListBox::EntryAt(const InputEvent& event) const {
  const bool insideColumns = event.column > left_ && event.column < left_ + innerWidth_ + 3;
  const int row = event.row - FirstEntryRow();
  return insideColumns && row >= 0 && row < visible_ ? first_ + row : -1;
}

void ListBox::HandlePress(const InputEvent& event) {
  // The highlight follows the press at once; the choice waits for the release.
  const int index = EntryAt(event);
  if (event.button == kLeftButton && index >= 0) MoveHighlight(index);
}

std::optional<Choice> ListBox::HandleRelease(const InputEvent& event) {
  if (event.button != kLeftButton) return std::nullopt;
  if (const int index = EntryAt(event); index >= 0) {
    MoveHighlight(index);
    if (!several_) return Accept();
    if (event.ctrl) {
      marks_[static_cast<std::size_t>(index)].flip();
    } else {
      std::fill(marks_.begin(), marks_.end(), false);
      marks_[static_cast<std::size_t>(index)] = true;
    }
    return std::nullopt;
  }
  if (event.row == ButtonsRow()) {
    if (several_ && event.column >= okColumn_ && event.column < okColumn_ + Length(kOkButton)) {
      return Accept();
    }
    if (event.column >= cancelColumn_ && event.column < cancelColumn_ + Length(kCancelButton)) {
      return Choice();
    }
  }
  return std::nullopt;
}

void ListBox::DrawEntry(int index) {
  Screen& screen = console_.screen();
  const int row = FirstEntryRow() + index - first_;
  std::string text;
  if (several_) text = marks_[static_cast<std::size_t>(index)] ? "[x] " : "[ ] ";
  text += entries_[static_cast<std::size_t>(index)];
  text.resize(static_cast<std::size_t>(innerWidth_), ' ');
  const unsigned char colors = index == highlight_ ? kHighlightColors : kBoxColors;
  screen.PutText(row, left_ + 2, text, colors);
}

void ListBox::Draw() {
  Screen& screen = console_.screen();
  const int width = innerWidth_ + 4;
  const std::string rule = "+" + std::string(static_cast<std::size_t>(width - 2), '-') + "+";
  const std::string blank = "|" + std::string(static_cast<std::size_t>(width - 2), ' ') + "|";
  const int bottom = top_ + visible_ + kFrameRows - 1;
  for (int row = top_; row <= bottom; ++row) {
    const bool isRule = row == top_ || row == top_ + 2 || row == bottom - 3 || row == bottom;
    screen.PutText(row, left_, isRule ? rule : blank, kBoxColors);
  }
  screen.PutText(top_, left_ + 2, title_.substr(0, static_cast<std::size_t>(innerWidth_)),
                 kTitleColors);
  screen.PutText(top_ + 1, left_ + 2, caption_.substr(0, static_cast<std::size_t>(innerWidth_)),
                 kBoxColors);
  for (int i = first_; i < first_ + visible_; ++i) DrawEntry(i);
  // Scroll indicator: arrows in the right border and the position below.
  if (visible_ < count()) {
    const int right = left_ + width - 1;
    if (first_ > 0) screen.PutText(FirstEntryRow(), right, "^", kTitleColors);
    if (first_ + visible_ < count()) {
      screen.PutText(FirstEntryRow() + visible_ - 1, right, "v", kTitleColors);
    }
    const std::string position =
        " " + std::to_string(highlight_ + 1) + "/" + std::to_string(count()) + " ";
    screen.PutText(bottom - 3, right - 1 - Length(position), position, kTitleColors);
  }
  screen.PutText(bottom - 2, left_ + 2, several_ ? kSeveralStatus : kOneStatus, kBoxColors);
  cancelColumn_ = left_ + width - 2 - Length(kCancelButton);
  okColumn_ = cancelColumn_ - 2 - Length(kOkButton);
  if (several_) screen.PutText(ButtonsRow(), okColumn_, kOkButton, kButtonColors);
  screen.PutText(ButtonsRow(), cancelColumn_, kCancelButton, kButtonColors);
  console_.Present();
}

Choice ListBox::Run() {
  for (;;) {
    Draw();
    const InputEvent event = console_.ReadEvent();
    std::optional<Choice> result;
    switch (event.kind) {
      case EventKind::kClosed:
        return Choice();
      case EventKind::kKeyPress:
        result = HandleKey(event);
        break;
      case EventKind::kMousePress:
        HandlePress(event);
        break;
      case EventKind::kMouseRelease:
        result = HandleRelease(event);
        break;
      case EventKind::kWheelUp:
        Scroll(-kWheelStep);
        break;
      case EventKind::kWheelDown:
        Scroll(kWheelStep);
        break;
      default:
        break;
    }
    if (result) return *result;
  }
}

// Shows the box modally: the screen under it comes back when it closes, and
// it takes the mouse itself, whatever the program's own mouse setting.
Choice ShowListBox(Console& console, std::string_view caption, std::string_view title,
                   const std::vector<std::string>& entries, std::size_t initial, bool several) {
  if (entries.empty()) return Choice();
  const Screen saved = console.screen();
  console.SetMouseReporting(true);
  Choice chosen = ListBox(console, caption, title, entries, initial, several).Run();
  console.SetMouseReporting(console.mouseEnabled());
  console.screen() = saved;
  console.Present();
  return chosen;
}

}  // namespace

std::optional<std::size_t> ChooseOne(Console& console, std::string_view caption,
                                     std::string_view title,
                                     const std::vector<std::string>& entries, std::size_t initial) {
  const Choice chosen = ShowListBox(console, caption, title, entries, initial, false);
  if (chosen.empty()) return std::nullopt;
  return chosen.front();
}

std::vector<std::size_t> ChooseSeveral(Console& console, std::string_view caption,
                                       std::string_view title,
                                       const std::vector<std::string>& entries,
                                       std::size_t initial) {
  return ShowListBox(console, caption, title, entries, initial, true);
}

}  // namespace quillmore::console
