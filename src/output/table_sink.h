// Where the tables of a nuclide go. The nuclide run hands a sink the
// nuclide's selection, then each row group as it is computed, then the
// messages of the run; each output format is one sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"
#include "input/data_kind.h"
#include "input/dose_rate_file.h"
#include "input/form_counter.h"
#include "input/selection.h"
#include "integration/coefficient_table.h"
#include "output/run_message.h"

namespace quillmore::output {

// What every table of one nuclide shares: the nuclide and the run's
// selection, which stay valid until End.
struct NuclideTables {
  std::string_view nuclideName;  // 7 characters, as in the index
  const input::Selection* selection = nullptr;
};

// One processed block: the row group of the table of selectedAges[table].
struct RowGroup {
  std::size_t table = 0;
  const input::BlockHeader& header;
  input::FormNumbers form;
  const integration::CoefficientTable& coefficients;
};

class TableSink {
 public:
  virtual ~TableSink() = default;
  // Starts the tables of one nuclide. After a failure only End is called.
  virtual base::Status Begin(const NuclideTables& tables) = 0;
  virtual base::Status Add(const RowGroup& group) = 0;
  // Ends the nuclide, also after a failed Begin or Add: what is open is
  // closed, and `messages` go with the nuclide where the format keeps them.
  virtual base::Status End(std::span<const RunMessage> messages) = 0;
};

// The one file a sink writes for a nuclide, "<nuclide>_<H|G><suffix>" in
// `folder`: named when the nuclide begins, written when it ends.
class NuclideFile {
 public:
  NuclideFile(std::filesystem::path folder, std::string_view suffix)
      : folder_(std::move(folder)), suffix_(suffix) {}
  // Names the file of `tables`; a name unfit for a file is InvalidArgument
  // (output::NuclideFileName), and then there is no file to write.
  base::Status Name(const NuclideTables& tables);
  // The file named last, once: none after a failed Name or a second call.
  std::optional<std::filesystem::path> Take() { return std::exchange(path_, std::nullopt); }

 private:
  std::filesystem::path folder_;
  std::string_view suffix_;  // a literal
  std::optional<std::filesystem::path> path_;
};

// Several sinks fed in one pass, in the order given. Every sink gets Begin
// and End; a failure is returned after the others have had their call.
class TableSinks final : public TableSink {
 public:
  explicit TableSinks(std::vector<TableSink*> sinks) : sinks_(std::move(sinks)) {}

  base::Status Begin(const NuclideTables& tables) override;
  base::Status Add(const RowGroup& group) override;
  base::Status End(std::span<const RunMessage> messages) override;

 private:
  std::vector<TableSink*> sinks_;
};

}  // namespace quillmore::output
