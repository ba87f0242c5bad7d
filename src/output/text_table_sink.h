// The fixed-format text tables: one file per selected age group,
// "<nuclide>_<days>_<H|G>.TXT", each row group written as it comes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "output/output_files.h"
#include "output/table_sink.h"
#include "output/written_files.h"

namespace quillmore::output {

class TextTableSink final : public TableSink {
 public:
  // Tables go to `folder` (created when missing); closed files are recorded
  // in `written` when given.
  explicit TextTableSink(std::filesystem::path folder, WrittenFiles* written = nullptr);

  base::Status Begin(const NuclideTables& tables) override;
  base::Status Add(const RowGroup& group) override;
  base::Status End(std::span<const RunMessage> messages) override;

  // The files of the last nuclide, in the order of its selected age groups.
  std::vector<std::filesystem::path> Paths() const;

 private:
  std::filesystem::path folder_;
  WrittenFiles* written_;
  OutputFiles files_;
  input::DataKind kind_ = input::DataKind::kInhalation;
  std::span<const double> times_;
  std::string text_;  // one row group, written in one go
  // Per file, what was written to it (when `written` keeps digests).
  std::vector<std::unique_ptr<Sha256>> hashes_;

  base::Status Write(std::size_t file, const std::string& text);
  bool Hashing() const { return written_ != nullptr && written_->withDigests(); }
};

}  // namespace quillmore::output
