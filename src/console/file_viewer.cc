#include "console/file_viewer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace quillmore::console {

namespace {

constexpr int kBodyEnd = kScreenRows - 1;  // the last row of text; the status below
constexpr int kEscape = 27;
constexpr int kWheelStep = 3;
constexpr unsigned char kStatusColors = MakeAttribute(kBlack, kCyan);

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
  Viewer(Console& console, std::string name, std::vector<std::string> lines, int frozenRows,
         int frozenColumns);
  void Run();

 private:
  // False when the key closes the viewer.
  bool HandleKey(const InputEvent& event);
  void ScrollRows(int by);
  void ScrollColumns(int by);
  void Draw();
  std::string Visible(const std::string& line) const;

  Console& console_;
  std::string name_;
  std::vector<std::string> lines_;
  int frozenRows_;
  int frozenColumns_;
  int firstRow_ = 0;     // offset of the first scrolling line shown
  int firstColumn_ = 0;  // offset into the scrolling part of each line
  int maxFirstRow_;
  int maxFirstColumn_;
  unsigned char textColors_;
  unsigned char frozenColors_;
};

Viewer::Viewer(Console& console, std::string name, std::vector<std::string> lines, int frozenRows,
               int frozenColumns)
    : console_(console),
      name_(std::move(name)),
      lines_(std::move(lines)),
      frozenRows_(std::clamp(frozenRows, 0, kBodyEnd - 1)),
      frozenColumns_(std::clamp(frozenColumns, 0, kScreenColumns - 1)) {
  const int lineCount = static_cast<int>(lines_.size());
  maxFirstRow_ = std::max(0, lineCount - kBodyEnd);
  std::size_t longest = 0;
  for (const std::string& line : lines_) longest = std::max(longest, line.size());
  maxFirstColumn_ = std::max(0, static_cast<int>(longest) - kScreenColumns);
  // The text keeps the program's colours; frozen parts stand out in yellow.
  textColors_ = console_.screen().attribute();
  frozenColors_ = MakeAttribute(kYellow, BackgroundOf(textColors_));
}

void Viewer::ScrollRows(int by) {
  firstRow_ = std::clamp(firstRow_ + by, 0, maxFirstRow_);
}

void Viewer::ScrollColumns(int by) {
  firstColumn_ = std::clamp(firstColumn_ + by, 0, maxFirstColumn_);
}

bool Viewer::HandleKey(const InputEvent& event) {
  const int page = kBodyEnd - frozenRows_;
  switch (event.key) {
    case 'q':
    case 'Q':
    case kEscape:
      return false;
    case kKeyUp:
      ScrollRows(-1);
      break;
    case kKeyDown:
      ScrollRows(1);
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
      ScrollColumns(event.shift ? -1 : -kViewerColumnStep);
      break;
    case kKeyRight:
      ScrollColumns(event.shift ? 1 : kViewerColumnStep);
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
  frozen.resize(static_cast<std::size_t>(frozenColumns_), ' ');
  const std::size_t from = static_cast<std::size_t>(frozenColumns_ + firstColumn_);
  return frozen + (from < line.size() ? line.substr(from) : std::string());
}

void Viewer::Draw() {
  Screen& screen = console_.screen();
  const std::string blank(kScreenColumns, ' ');
  for (int row = 1; row <= kBodyEnd; ++row) {
    const bool frozenRow = row <= frozenRows_;
    const std::size_t index = static_cast<std::size_t>(frozenRow ? row - 1 : row - 1 + firstRow_);
    const std::string text = index < lines_.size() ? Visible(lines_[index]) : std::string();
    screen.PutText(row, 1, blank, textColors_);
    screen.PutText(row, 1, text, frozenRow ? frozenColors_ : textColors_);
    if (!frozenRow) screen.PaintAttribute(row, 1, frozenColumns_, frozenColors_);
  }
  std::string status = " " + name_ + "  Row " + std::to_string(frozenRows_ + firstRow_ + 1) + "/" +
                       std::to_string(lines_.size()) + "  Col " +
                       std::to_string(frozenColumns_ + firstColumn_ + 1) +
                       "  Arrows PgUp PgDn Home End  Shift,<,> 1 col  q quit";
  status.resize(kScreenColumns, ' ');
  screen.PutText(kScreenRows, 1, status, kStatusColors);
  console_.Present();
}

void Viewer::Run() {
  for (;;) {
    Draw();
    const InputEvent event = console_.ReadEvent();
    if (event.kind == EventKind::kClosed) return;
    if (event.kind == EventKind::kKeyPress && !HandleKey(event)) return;
    if (event.kind == EventKind::kWheelUp) ScrollRows(-kWheelStep);
    if (event.kind == EventKind::kWheelDown) ScrollRows(kWheelStep);
  }
}

}  // namespace

bool ViewFile(Console& console, const std::filesystem::path& path, int frozenRows,
              int frozenColumns) {
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
    Viewer(console, path.filename().string(), SplitLines(text), frozenRows, frozenColumns).Run();
  }
  console.screen() = saved;
  console.Present();
  return readable && !file.bad();
}

}  // namespace quillmore::console
