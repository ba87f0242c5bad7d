#include "console/file_viewer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "console/plot_view.h"
#include "console/status_line.h"

namespace quillmore::console {

namespace {

constexpr int kEscape = 27;
constexpr int kWheelStep = 3;
constexpr unsigned char kStatusColors = MakeAttribute(kBlack, kCyan);
constexpr unsigned char kSeparatorByte = '|';
constexpr char32_t kSeparatorGlyph = U'\u2502';

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

class Viewer {
 public:
  Viewer(Console& console, std::string name, std::vector<std::string> lines,
         const TableLayout& layout);
  void Run();

 private:
  // Sizes the screen to the terminal and bounds the scrolling to it.
  void Layout();
  // False when the key closes the viewer.
  bool HandleKey(const InputEvent& event);
  void ScrollRows(int by);
  void ScrollColumns(int by);
  void MoveBlock(int by);
  void MoveGroup(int by);
  // Keeps the current block and group among those in view.
  void KeepCurrentInView();
  int BodyRows() const { return screen_.rows() - 1; }
  // Room for the scrolling part, less one for a separator.
  int ScrollWidth() const { return screen_.columns() - frozenColumns_ - (frozenColumns_ > 0); }
  // A separator keeps a block cut at the left edge apart from the frozen
  // columns; a whole block starts with its own blank.
  int Separator() const {
    return frozenColumns_ > 0 && firstColumn_ % kViewerColumnStep != 0 ? 1 : 0;
  }
  // Blocks whose every column is in view: first and last (first > last: none).
  int FirstBlockInView() const;
  int LastBlockInView() const;
  int FirstGroupInView() const;
  int LastGroupInView() const;
  void Draw();
  void DrawHighlight();
  std::string Visible(const std::string& line) const;

  Console& console_;
  std::string name_;
  std::vector<std::string> lines_;
  TableLayout layout_;
  Screen screen_;
  int frozenRows_ = 0;
  int frozenColumns_ = 0;
  int groupCount_ = 0;
  int firstRow_ = 0;     // offset of the first scrolling line shown
  int firstColumn_ = 0;  // offset into the scrolling part of each line
  int maxFirstRow_ = 0;
  int maxFirstColumn_ = 0;
  int currentBlock_ = 0;
  int currentGroup_ = 0;
  unsigned char textColors_;
  unsigned char frozenColors_;
  unsigned char currentColors_;
};

Viewer::Viewer(Console& console, std::string name, std::vector<std::string> lines,
               const TableLayout& layout)
    : console_(console), name_(std::move(name)), lines_(std::move(lines)), layout_(layout) {
  // The text keeps the program's colours; frozen parts stand out in yellow.
  textColors_ = console_.screen().attribute();
  frozenColors_ = MakeAttribute(kYellow, BackgroundOf(textColors_));
  currentColors_ = MakeAttribute(kBrightWhite, kCyan);
  const int bodyLines = static_cast<int>(lines_.size()) - std::max(layout_.frozenRows, 0);
  if (layout_.blockCount > 0 && layout_.rowsPerGroup > 0 && bodyLines > 0)
    groupCount_ = (bodyLines + layout_.rowsPerGroup - 1) / layout_.rowsPerGroup;
  Layout();
}

void Viewer::Layout() {
  const TerminalSize size = console_.Size();
  screen_ = Screen(std::max(size.rows, kScreenRows), std::max(size.columns, kScreenColumns));
  frozenRows_ = std::clamp(layout_.frozenRows, 0, BodyRows() - 1);
  frozenColumns_ = std::clamp(layout_.frozenColumns, 0, kScreenColumns - 2);
  const int lineCount = static_cast<int>(lines_.size());
  maxFirstRow_ = std::max(0, lineCount - BodyRows());
  std::size_t longest = 0;
  for (const std::string& line : lines_) longest = std::max(longest, line.size());
  maxFirstColumn_ = std::max(0, static_cast<int>(longest) - frozenColumns_ - ScrollWidth());
  ScrollRows(0);
  ScrollColumns(0);
}

int Viewer::FirstBlockInView() const {
  return (firstColumn_ + kViewerColumnStep - 1) / kViewerColumnStep;
}

int Viewer::LastBlockInView() const {
  return std::min(layout_.blockCount, (firstColumn_ + ScrollWidth()) / kViewerColumnStep) - 1;
}

int Viewer::FirstGroupInView() const {
  if (layout_.rowsPerGroup <= 0) return 0;
  return std::min(groupCount_ - 1, (firstRow_ + layout_.rowsPerGroup - 1) / layout_.rowsPerGroup);
}

int Viewer::LastGroupInView() const {
  if (layout_.rowsPerGroup <= 0) return 0;
  const int lastLine = firstRow_ + BodyRows() - frozenRows_ - 1;
  return std::max(FirstGroupInView(), std::min(groupCount_ - 1, lastLine / layout_.rowsPerGroup));
}

void Viewer::KeepCurrentInView() {
  if (groupCount_ == 0) return;
  currentBlock_ = std::clamp(currentBlock_, FirstBlockInView(),
                             std::max(FirstBlockInView(), LastBlockInView()));
  currentBlock_ = std::clamp(currentBlock_, 0, layout_.blockCount - 1);
  currentGroup_ = std::clamp(currentGroup_, FirstGroupInView(), LastGroupInView());
}

void Viewer::ScrollRows(int by) {
  firstRow_ = std::clamp(firstRow_ + by, 0, maxFirstRow_);
  KeepCurrentInView();
}

void Viewer::ScrollColumns(int by) {
  firstColumn_ = std::clamp(firstColumn_ + by, 0, maxFirstColumn_);
  KeepCurrentInView();
}

// The view scrolls with the block while it can (Right) or when the block
// would leave it (Left), so that the current block stays the first in view
// as long as there is more to the right.
void Viewer::MoveBlock(int by) {
  if (groupCount_ == 0) {
    ScrollColumns(by * kViewerColumnStep);
    return;
  }
  const int target = std::clamp(currentBlock_ + by, 0, layout_.blockCount - 1);
  const bool scroll = by > 0 ? firstColumn_ < maxFirstColumn_ : target < FirstBlockInView();
  if (scroll) firstColumn_ = std::clamp(firstColumn_ + by * kViewerColumnStep, 0, maxFirstColumn_);
  currentBlock_ = target;
  KeepCurrentInView();
}

// Likewise for row groups: the group's first line comes into view.
void Viewer::MoveGroup(int by) {
  if (groupCount_ == 0) {
    ScrollRows(by);
    return;
  }
  const int target = std::clamp(currentGroup_ + by, 0, groupCount_ - 1);
  const bool scroll = by > 0 ? firstRow_ < maxFirstRow_ : target < FirstGroupInView();
  if (scroll) firstRow_ = std::clamp(target * layout_.rowsPerGroup, 0, maxFirstRow_);
  currentGroup_ = target;
  KeepCurrentInView();
}

bool Viewer::HandleKey(const InputEvent& event) {
  const int page = BodyRows() - frozenRows_;
  switch (event.key) {
    case 'q':
    case 'Q':
    case kEscape:
      return false;
    case 'g':
    case 'G':
      if (groupCount_ > 0 && layout_.plots != nullptr) {
        ShowPlots(console_, *layout_.plots, currentBlock_, layout_.blockCount, currentGroup_,
                  groupCount_);
        Layout();
      }
      break;
    case kKeyUp:
      MoveGroup(-1);
      break;
    case kKeyDown:
      MoveGroup(1);
      break;
    case kKeyPageUp:
      ScrollRows(-page);
      break;
    case kKeyPageDown:
      ScrollRows(page);
      break;
    case kKeyHome:
      ScrollRows(-firstRow_);
      break;
    case kKeyEnd:
      ScrollRows(maxFirstRow_);
      break;
    case kKeyLeft:
      if (event.shift)
        ScrollColumns(-1);
      else
        MoveBlock(-1);
      break;
    case kKeyRight:
      if (event.shift)
        ScrollColumns(1);
      else
        MoveBlock(1);
      break;
    case '<':
      ScrollColumns(-1);
      break;
    case '>':
      ScrollColumns(1);
      break;
    default:
      break;
  }
  return true;
}

std::string Viewer::Visible(const std::string& line) const {
  std::string frozen = line.substr(0, static_cast<std::size_t>(frozenColumns_));
  frozen.resize(static_cast<std::size_t>(frozenColumns_ + Separator()), ' ');
  const std::size_t from = static_cast<std::size_t>(frozenColumns_ + firstColumn_);
  return frozen + (from < line.size() ? line.substr(from) : std::string());
}

void Viewer::DrawHighlight() {
  if (groupCount_ == 0) return;
  const int blockColumn =
      frozenColumns_ + Separator() + 1 + currentBlock_ * kViewerColumnStep - firstColumn_;
  const int firstLine = frozenRows_ + currentGroup_ * layout_.rowsPerGroup;
  for (int row = 1; row <= BodyRows(); ++row) {
    const int line = row <= frozenRows_ ? row - 1 : row - 1 + firstRow_;
    const bool inGroup = line >= firstLine && line < firstLine + layout_.rowsPerGroup;
    if (row <= frozenRows_ || inGroup)
      screen_.PaintAttribute(row, blockColumn, kViewerColumnStep, currentColors_);
    if (inGroup) screen_.PaintAttribute(row, 1, frozenColumns_, currentColors_);
  }
}

void Viewer::Draw() {
  const std::string blank(static_cast<std::size_t>(screen_.columns()), ' ');
  for (int row = 1; row <= BodyRows(); ++row) {
    const bool frozenRow = row <= frozenRows_;
    const std::size_t index = static_cast<std::size_t>(frozenRow ? row - 1 : row - 1 + firstRow_);
    const std::string text = index < lines_.size() ? Visible(lines_[index]) : std::string();
    screen_.PutText(row, 1, blank, textColors_);
    screen_.PutText(row, 1, text, frozenRow ? frozenColors_ : textColors_);
    if (!frozenRow) screen_.PaintAttribute(row, 1, frozenColumns_, frozenColors_);
    if (Separator() != 0) {
      screen_.PutGlyph(row, frozenColumns_ + 1,
                       console_.ShowsUnicode() ? kSeparatorGlyph : char32_t{0}, kSeparatorByte,
                       frozenColors_);
    }
  }
  DrawHighlight();
  const bool plots = groupCount_ > 0 && layout_.plots != nullptr;
  const std::vector<StatusItem> items = {
      {name_, "", 3},
      {"Row " + std::to_string(frozenRows_ + firstRow_ + 1) + "/" + std::to_string(lines_.size()) +
           "  Col " + std::to_string(frozenColumns_ + firstColumn_ + 1),
       "", 4},
      {plots ? "g plot" : "", "", 5},
      {"Arrows PgUp PgDn Home End", "Arrows Pg Home End", 2},
      {"Shift,<,> 1 col", "<,> col", 1},
      {"q quit", "", 0}};
  screen_.PutText(screen_.rows(), 1, FitStatus(items, screen_.columns()), kStatusColors);
  console_.Show(screen_);
}

void Viewer::Run() {
  for (;;) {
    Draw();
    const InputEvent event = console_.ReadEvent();
    if (event.kind == EventKind::kClosed) return;
    if (event.kind == EventKind::kResize) Layout();
    if (event.kind == EventKind::kKeyPress && !HandleKey(event)) return;
    if (event.kind == EventKind::kWheelUp) ScrollRows(-kWheelStep);
    if (event.kind == EventKind::kWheelDown) ScrollRows(kWheelStep);
  }
}

}  // namespace

bool ViewFile(Console& console, const std::filesystem::path& path, const TableLayout& layout) {
  const Screen saved = console.screen();
  std::ifstream file(path, std::ios::binary);
  std::string text;
  std::error_code error;
  // A folder opens as a stream but reads as nothing.
  const bool readable = file && !std::filesystem::is_directory(path, error);
  if (readable) text.assign(std::istreambuf_iterator<char>(file), {});
  if (!readable || file.bad()) {
    std::string message = " Cannot open " + path.string() + ". Press a key to go on.";
    message.resize(kScreenColumns, ' ');
    console.screen().PutText(kScreenRows, 1, message, kStatusColors);
    console.WaitKeyOrClick();
  } else {
    Viewer(console, path.filename().string(), SplitLines(text), layout).Run();
  }
  console.screen() = saved;
  console.Present();
  return readable && !file.bad();
}

bool ViewFile(Console& console, const std::filesystem::path& path, int frozenRows,
              int frozenColumns) {
  return ViewFile(console, path,
                  TableLayout{.frozenRows = frozenRows, .frozenColumns = frozenColumns});
}

}  // namespace quillmore::console
