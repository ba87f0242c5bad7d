#include "input/block_cursor.h"

#include <string>

#include "input/let_letter.h"

namespace quillmore::input {

const base::Status& BlockExtent::first() const {
  if (!recordsPerPoint.ok()) return recordsPerPoint;
  if (!timePointCount.ok()) return timePointCount;
  return inFile;
}

bool BlockCursor::Next() {
  header_ = file_.ReadBlockHeader(kind_);
  headerRecord_ = file_.lastRecordNumber();
  return !file_.atEnd();
}

bool BlockCursor::NextOf(std::string_view name) {
  if (file_.atEnd()) return false;
  header_ = file_.ReadBlockHeader(kind_);
  headerRecord_ = file_.lastRecordNumber();
  return header_.name == name;
}

BlockExtent BlockCursor::Extent() const {
  BlockExtent extent;
  if (header_.recordsPerPoint != RecordsPerPointOf(header_.letLetter)) {
    extent.recordsPerPoint = base::Status::Corruption(
        "LET letter " + LetLetterText(header_.letLetter) + " disagrees with " +
        std::to_string(header_.recordsPerPoint) + " records per point");
  }
  if (header_.timePointCount < 0) {
    extent.timePointCount = base::Status::Corruption(
        "time-point count " + std::to_string(header_.timePointCount) + " is negative");
  }
  extent.inFile = file_.CheckBlockInFile(header_, headerRecord_);
  return extent;
}

}  // namespace quillmore::input
