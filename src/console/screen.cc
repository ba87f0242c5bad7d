#include "console/screen.h"

#include <algorithm>

namespace quillmore::console {

Screen::Screen(int rows, int columns)
    : rows_(rows), columns_(columns), cells_(static_cast<std::size_t>(rows * columns)) {}

// The one place where the 1-based screen coordinates meet the 0-based store.
std::size_t Screen::Index(int row, int column) const {
  return static_cast<std::size_t>((row - 1) * columns_ + (column - 1));
}

void Screen::SetColor(int foreground, int background) {
  const int oldForeground = ForegroundOf(attribute_);
  const int oldBackground = BackgroundOf(attribute_);
  const bool keepForeground = foreground < 0 || foreground > 15;
  const bool keepBackground = background < 0 || background > 15;
  attribute_ = MakeAttribute(keepForeground ? oldForeground : foreground,
                             keepBackground ? oldBackground : background);
}

void Screen::ClearScreen() {
  std::fill(cells_.begin(), cells_.end(), Cell{' ', attribute_});
  row_ = 1;
  column_ = 1;
  scrollPending_ = false;
}

void Screen::Locate(int row, int column) {
  if (row >= 1 && row <= rows_) row_ = row;
  if (column >= 1 && column <= columns_) column_ = column;
  scrollPending_ = false;
}

void Screen::ScrollUp() {
  std::move(cells_.begin() + columns_, cells_.end(), cells_.begin());
  std::fill(cells_.end() - columns_, cells_.end(), Cell{' ', attribute_});
}

void Screen::PutByte(unsigned char byte) {
  // The scroll after the last cell waits for the next output so that a full
  // bottom row can be written without losing the top row.
  if (scrollPending_) {
    ScrollUp();
    scrollPending_ = false;
    column_ = 1;
  }
  cells_[Index(row_, column_)] = Cell{byte, attribute_};
  if (column_ < columns_) {
    ++column_;
  } else if (row_ < rows_) {
    ++row_;
    column_ = 1;
  } else {
    scrollPending_ = true;
  }
}

void Screen::PrintText(std::string_view text) {
  for (char c : text) PutByte(static_cast<unsigned char>(c));
}

void Screen::NewLine() {
  if (row_ < rows_) {
    ++row_;
  } else {
    if (scrollPending_) ScrollUp();
    ScrollUp();
  }
  column_ = 1;
  scrollPending_ = false;
}

void Screen::TabTo(int column) {
  if (column <= 0 || column > columns_) return;
  if (column_ > column) NewLine();
  while (column_ < column) PutByte(' ');
}

void Screen::EraseBack() {
  if (scrollPending_) {
    scrollPending_ = false;
  } else if (column_ > 1) {
    --column_;
  } else if (row_ > 1) {
    --row_;
    column_ = columns_;
  } else {
    return;
  }
  cells_[Index(row_, column_)] = Cell{' ', attribute_};
}

void Screen::PutText(int row, int column, std::string_view text, unsigned char attribute) {
  if (row < 1 || row > rows_) return;
  for (char c : text) {
    if (column > columns_) break;
    if (column >= 1) cells_[Index(row, column)] = Cell{static_cast<unsigned char>(c), attribute};
    ++column;
  }
}

void Screen::PaintAttribute(int row, int column, int count, unsigned char attribute) {
  if (row < 1 || row > rows_) return;
  for (int c = std::max(column, 1); c < column + count && c <= columns_; ++c) {
    cells_[Index(row, c)].attribute = attribute;
  }
}

void Screen::PutGlyph(int row, int column, char32_t glyph, unsigned char byte,
                      unsigned char attribute) {
  if (row < 1 || row > rows_ || column < 1 || column > columns_) return;
  cells_[Index(row, column)] = Cell{byte, attribute, glyph};
}

const Cell& Screen::at(int row, int column) const {
  return cells_[Index(row, column)];
}

std::string Screen::RowText(int row) const {
  std::string text;
  text.reserve(static_cast<std::size_t>(columns_));
  for (int c = 1; c <= columns_; ++c) text.push_back(static_cast<char>(at(row, c).byte));
  return text;
}

std::string Screen::Text() const {
  std::string text;
  for (int r = 1; r <= rows_; ++r) text += RowText(r) + '\n';
  return text;
}

}  // namespace quillmore::console
