// The console's grid of cells (80 x 28 for every screen but the viewer, which
// takes the terminal's size) with its cursor, current colours and pending
// scroll. This model is the truth of what the user sees; a Terminal only shows
// it. Rows and columns count from 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmore::console {

inline constexpr int kScreenRows = 28;
inline constexpr int kScreenColumns = 80;

// Console colour numbers (0..15, blue = 1, green = 2, red = 4, +8 bright).
inline constexpr int kBlack = 0;
inline constexpr int kBlue = 1;
inline constexpr int kCyan = 3;
inline constexpr int kLightGray = 7;
inline constexpr int kYellow = 14;
inline constexpr int kBrightWhite = 15;

// A cell attribute is foreground + 16 x background.
constexpr unsigned char MakeAttribute(int foreground, int background) {
  return static_cast<unsigned char>((foreground & 15) | ((background & 15) << 4));
}
constexpr int ForegroundOf(unsigned char attribute) {
  return attribute & 15;
}
constexpr int BackgroundOf(unsigned char attribute) {
  return attribute >> 4;
}

// One character cell: a Windows-1252 byte and its attribute. A cell drawn
// with a character the code page lacks (plot dots, rules) holds it in
// `glyph`, with `byte` as its plain stand-in; 0 means the byte's own glyph.
struct Cell {
  unsigned char byte = ' ';
  unsigned char attribute = MakeAttribute(kLightGray, kBlack);
  char32_t glyph = 0;
  bool operator==(const Cell&) const = default;
};

class Screen {
 public:
  // Blank cells in light gray on black, cursor at row 1, column 1.
  // Precondition: rows and columns at least 1.
  explicit Screen(int rows = kScreenRows, int columns = kScreenColumns);

  // A value outside 0..15 (the program passes -1) keeps that component.
  void SetColor(int foreground, int background);
  // Every cell a blank in the current colours; cursor to 1,1; no pending scroll.
  void ClearScreen();
  // Moves the cursor; a row outside 1..rows or column outside 1..columns leaves that
  // coordinate unchanged. Always clears a pending scroll.
  void Locate(int row, int column);
  // Writes bytes at the cursor in the current colours; control bytes are
  // stored like any other. Wraps after column 80; after the last cell of row 28
  // the cursor stays and a scroll is left pending for the next output.
  void PrintText(std::string_view text);
  // Cursor to column 1 of the next row; on row 28 scrolls up one row (two when
  // a scroll was pending) and stays on row 28.
  void NewLine();
  // Pads with blanks up to `column`, after a NewLine when the cursor is already
  // past it. A column of 0 or less, or beyond 80, does nothing.
  void TabTo(int column);
  // Erases the cell before the cursor (across the row start, from column 1 to
  // column 80 of the row above) and moves the cursor onto it. After the last
  // cell of row 28 (scroll pending) that last cell is erased instead. Nothing
  // happens at row 1, column 1.
  void EraseBack();

  // Writes `text` from row, column in `attribute`, clipped at the row's end;
  // cursor, colours and pending scroll are unchanged. Out-of-range rows are
  // ignored. For boxes drawn over the screen.
  void PutText(int row, int column, std::string_view text, unsigned char attribute);
  // Sets the attribute of `count` cells from row, column (clipped to the row).
  void PaintAttribute(int row, int column, int count, unsigned char attribute);
  // One cell showing `glyph` (Unicode), `byte` where only bytes are shown;
  // out-of-range cells are ignored.
  void PutGlyph(int row, int column, char32_t glyph, unsigned char byte, unsigned char attribute);

  int rows() const { return rows_; }
  int columns() const { return columns_; }

  int row() const { return row_; }
  int column() const { return column_; }
  bool scrollPending() const { return scrollPending_; }
  // The current colour pair as an attribute.
  unsigned char attribute() const { return attribute_; }
  // The cell at row, column (both in range).
  const Cell& at(int row, int column) const;
  // The bytes of one row.
  std::string RowText(int row) const;
  // All rows, each followed by '\n'.
  std::string Text() const;

 private:
  std::size_t Index(int row, int column) const;
  void ScrollUp();
  void PutByte(unsigned char byte);

  int rows_;
  int columns_;
  std::vector<Cell> cells_;
  int row_ = 1;
  int column_ = 1;
  bool scrollPending_ = false;
  unsigned char attribute_ = MakeAttribute(kLightGray, kBlack);
};

}  // namespace quillmore::console
