#include "output/text_table_sink.h"

#include <utility>

#include "input/age_groups.h"
#include "output/table_writer.h"

namespace quillmore::output {

TextTableSink::TextTableSink(std::filesystem::path folder, WrittenFiles* written)
    : folder_(std::move(folder)), written_(written) {}

base::Status TextTableSink::Begin(const NuclideTables& tables) {
  const input::Selection& selection = *tables.selection;
  kind_ = selection.dataKind;
  times_ = selection.integrationTimes;
  base::Status status =
      OpenOutputFiles(folder_, tables.nuclideName, selection.selectedAges, kind_, files_);
  while (hashes_.size() < files_.count()) hashes_.push_back(std::make_unique<Sha256>());
  if (Hashing()) {
    for (const std::unique_ptr<Sha256>& hash : hashes_) hash->Finish();  // what a failed run left
  }
  for (std::size_t i = 0; status.ok() && i < selection.selectedAges.size(); ++i) {
    text_.clear();
    WriteTableHeaders(input::AgeGroupLabel(selection.selectedAges[i]), selection.regionNames,
                      selection.selectedRegions, kind_, text_);
    status = Write(i, text_);
  }
  return status;
}

base::Status TextTableSink::Add(const RowGroup& group) {
  text_.clear();
  if (kind_ == input::DataKind::kInhalation) {
    WriteInhalationRows(group.coefficients, times_, group.header, group.form.label, text_);
  } else {
    WriteIngestionRows(group.coefficients, times_, group.header, text_);
  }
  return Write(group.table, text_);
}

base::Status TextTableSink::Write(std::size_t file, const std::string& text) {
  const base::Status status = files_.Write(file, text);
  if (status.ok() && Hashing()) hashes_[file]->Update(text);
  return status;
}

base::Status TextTableSink::End(std::span<const RunMessage> /*messages*/) {
  base::Status status = files_.Close();
  for (std::size_t i = 0; written_ != nullptr && i < files_.count(); ++i) {
    const base::Status recorded = written_->Add(files_.path(i), *hashes_[i]);
    if (status.ok()) status = recorded;
  }
  return status;
}

std::vector<std::filesystem::path> TextTableSink::Paths() const {
  std::vector<std::filesystem::path> paths;
  for (std::size_t i = 0; i < files_.count(); ++i) paths.push_back(files_.path(i));
  return paths;
}

}  // namespace quillmore::output
