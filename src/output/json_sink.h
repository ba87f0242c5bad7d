// Nested JSON: one file per nuclide and data set, "<nuclide>_<H|G>.json":
// age group -> form -> region -> values over the periods, the nuclide's
// warnings and notes, and the run's provenance.
#pragma once

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "integration/extrapolation_check.h"
#include "output/csv_sink.h"
#include "output/provenance.h"
#include "output/table_sink.h"
#include "output/written_files.h"

namespace quillmore::output {

// A number's text as the document's dump writes it: nlohmann's own shortest
// round-trip digits ("1e-07", "365.0"), which RapidJSON's differ from; a
// non-finite value as null. The last value's text is kept, for the periods
// that repeat it.
class JsonNumberTexts {
 public:
  // Room for any number's text ("-2.2250738585072014e-308" is 24 bytes): the
  // text Of returns is followed by what makes up this many bytes, so that
  // it can be copied in one fixed-size move.
  static constexpr std::size_t kRoom = 32;
  std::string_view Of(double value);

 private:
  std::uint64_t bits_ = 0;
  std::size_t length_ = 0;
  char text_[2 * kRoom]{};
};

class JsonSink final : public TableSink {
 public:
  // `provenance` (ProvenanceJson) is shared by every file of the run.
  JsonSink(std::filesystem::path folder, WrittenFiles* written, const Json& provenance);

  base::Status Begin(const NuclideTables& tables) override;
  base::Status Add(const RowGroup& group) override;
  base::Status End(std::span<const RunMessage> messages) override;

 private:
  NuclideFile file_;
  WrittenFiles* written_;
  const Json& provenance_;
  NuclideTables tables_;
  std::vector<std::string> regionNames_;  // of the nuclide's regions 1 to 30, as UTF-8
  // Each form as added, its coefficients in values_ and their statuses in
  // extrapolations_ (per region low then high over the periods); the file gathers them per table at
  // End, so the tables' row groups may come interleaved.
  struct Form {
    std::size_t table = 0;
    int rowGroup = 0;
    std::string code;  // UTF-8, blanks trimmed
    std::string_view label;
    int regionCount = 0;
    int timeCount = 0;
    std::size_t firstValue = 0;
  };
  using Writer = rapidjson::Writer<rapidjson::StringBuffer>;
  void WriteForm(const Form& form, Writer& writer);
  // The text of selected region j's object up to its first value:
  // '{"region":1,"region_name":"Adrenals","low_let_gy_per_bq":['.
  std::string RegionOpening(std::size_t j) const;
  void Append(std::string_view text);
  void AppendNumbers(std::span<const double> values);
  void AppendStatuses(std::span<const integration::Extrapolation> statuses);

  std::vector<Form> forms_;
  std::vector<double> values_;
  std::vector<integration::Extrapolation> extrapolations_;  // one for each of values_
  rapidjson::StringBuffer fileText_;
  std::string provenanceText_;               // the provenance as text, formed at the first End
  std::vector<std::string> regionOpenings_;  // per selected region
  std::pair<std::string, std::size_t> noneStatuses_{"", 0};  // '["none",...]' and its count
  JsonNumberTexts numbers_;
};

}  // namespace quillmore::output
