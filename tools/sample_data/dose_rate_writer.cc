#include "sample_data/dose_rate_writer.h"

#include <cstring>

#include "sample_data/prng.h"
#include "sample_data/rate_model.h"
#include "sample_data/record_fields.h"
#include "sample_data/record_sink.h"

namespace quillmore::tools {
namespace {

using input::DataKind;
using input::kDoseRateRecordLength;
using input::kRegionColumnCount;

using Record = std::array<char, kDoseRateRecordLength>;
using RegionValues = std::array<double, kRegionColumnCount>;

// Younger people get higher rates per becquerel (smaller organs).
constexpr std::array<double, 6> kAgeFactors = {3.0, 2.2, 1.6, 1.3, 1.1, 1.0};
// Every block reaches the longest default integration time (36500 d), so a
// first run integrates within the data and shows no note; some end exactly there.
constexpr std::array<double, 5> kLastTimesDays = {45000, 36500, 36500, 50000, 73000};

// Sub-stream tags: one stream per nuclide, per form and per block.
enum StreamTag : std::uint64_t { kNuclideStream = 1, kFormStream = 2, kBlockStream = 3 };

bool IsEntryRegion(DataKind kind, int column) {
  if (kind == DataKind::kInhalation)
    return (column >= 15 && column <= 18) || column == 20 || column == 21;
  return column >= 6 && column <= 9;  // walls of the gut
}

Record BlankRecord() {
  Record record;
  record.fill(' ');
  record[kDoseRateRecordLength - 2] = '\r';
  record[kDoseRateRecordLength - 1] = '\n';
  return record;
}

std::string_view View(const Record& record) {
  return {record.data(), record.size()};
}

// What stays the same for all blocks of one nuclide in one file.
struct NuclideShape {
  RegionValues regionFactor{};
  double lowToHighRatio = 0;  // low-LET part of an alpha emitter relative to its high-LET part
};

NuclideShape DrawNuclideShape(DataKind kind, SplitMix64& random) {
  NuclideShape shape;
  for (int column = 1; column <= kRegionColumnCount; ++column) {
    const double lo = IsEntryRegion(kind, column) ? 0.1 : 1e-3;
    shape.regionFactor[static_cast<std::size_t>(column - 1)] = random.LogUniform(lo, 1.0);
  }
  shape.lowToHighRatio = random.LogUniform(1e-3, 1e-2);
  return shape;
}

// The curve shared by the six age groups of one form.
struct FormCurve {
  CurveModel model;
  double peakRate = 0;  // Gy/Bq per day, before the age and region factors
};

struct Block {
  const NuclidePlan* plan = nullptr;
  int formIndex = 0;  // 0-based position among the nuclide's forms in this file
  int ageIndex = 0;   // 0-based into kSampleAgesDays
};

class DoseRateWriter {
 public:
  DoseRateWriter(DataKind kind, std::uint64_t seed) : kind_(kind), seed_(seed) {}

  base::Status Write(const std::vector<NuclidePlan>& nuclides, const std::filesystem::path& path,
                     std::vector<std::int32_t>* startRecords);

 private:
  int FormCount(const NuclidePlan& plan) const;
  void WriteTitleAndHeadings();
  void WriteNuclide(const NuclidePlan& plan, std::uint64_t nuclideNumber);
  void WriteBlock(const Block& block, const NuclideShape& shape, const FormCurve& curve,
                  SplitMix64& random);
  void WriteHeader(const Block& block, int pointCount, SplitMix64& random);
  void WriteRates(double days, const RegionValues& rates, std::uint64_t notationBits);

  DataKind kind_;
  std::uint64_t seed_;
  RecordSink sink_;
};

int DoseRateWriter::FormCount(const NuclidePlan& plan) const {
  return static_cast<int>(kind_ == DataKind::kInhalation ? plan.inhalationClasses.size()
                                                         : plan.ingestionF1.size());
}

base::Status DoseRateWriter::Write(const std::vector<NuclidePlan>& nuclides,
                                   const std::filesystem::path& path,
                                   std::vector<std::int32_t>* startRecords) {
  if (base::Status status = sink_.Open(path); !status.ok()) return status;
  WriteTitleAndHeadings();
  startRecords->assign(nuclides.size(), 0);
  for (std::size_t n = 0; n < nuclides.size(); ++n) {
    if (FormCount(nuclides[n]) == 0) continue;
    (*startRecords)[n] = static_cast<std::int32_t>(sink_.recordCount() + 1);
    WriteNuclide(nuclides[n], n);
  }
  return sink_.Close();
}

void DoseRateWriter::WriteTitleAndHeadings() {
  Record record = BlankRecord();
  const std::string title =
      std::string("Quillmore synthetic ") +
      (kind_ == DataKind::kInhalation ? "inhalation" : "ingestion") +
      " absorbed dose rates (Gy/Bq per day) against time after intake (d); sample data, not for "
      "dosimetry";
  WriteTextField(title, kDoseRateRecordLength - 2, record.data());
  sink_.Append(View(record));

  record = BlankRecord();
  WriteTextField(" Time (d)", 9, record.data());
  const auto headings = SampleRegionHeadings(kind_);
  for (std::size_t k = 0; k < headings.size(); ++k) {
    WriteTextField(headings[k], 10, record.data() + 9 + 10 * k);
  }
  sink_.Append(View(record));
}

void DoseRateWriter::WriteNuclide(const NuclidePlan& plan, std::uint64_t nuclideNumber) {
  const auto kindTag = static_cast<std::uint64_t>(kind_ == DataKind::kInhalation ? 1 : 2);
  SplitMix64 nuclideRandom(StreamSeed(seed_, kNuclideStream, nuclideNumber, kindTag));
  const NuclideShape shape = DrawNuclideShape(kind_, nuclideRandom);
  for (int form = 0; form < FormCount(plan); ++form) {
    const auto formTag = kindTag * 64 + static_cast<std::uint64_t>(form);
    SplitMix64 formRandom(StreamSeed(seed_, kFormStream, nuclideNumber, formTag));
    FormCurve curve{DrawCurveModel(plan.halfLifeDays, formRandom), 0};
    curve.peakRate = plan.letLetter == 'L' ? formRandom.LogUniform(1e-13, 1e-10)
                                           : formRandom.LogUniform(1e-11, 1e-9);
    for (int age = 0; age < static_cast<int>(kSampleAgesDays.size()); ++age) {
      SplitMix64 random(StreamSeed(seed_, kBlockStream, nuclideNumber,
                                   formTag * 8 + static_cast<std::uint64_t>(age)));
      WriteBlock({&plan, form, age}, shape, curve, random);
    }
  }
}

void DoseRateWriter::WriteBlock(const Block& block, const NuclideShape& shape,
                                const FormCurve& curve, SplitMix64& random) {
  const NuclidePlan& plan = *block.plan;
  const int points = random.IntBetween(plan.minTimePoints, plan.maxTimePoints);
  const double last = kLastTimesDays[static_cast<std::size_t>(random.IntBetween(0, 4))];
  const std::vector<double> times = DrawTimeGrid(points, last, random);
  WriteHeader(block, points, random);

  const double ageFactor =
      kAgeFactors[static_cast<std::size_t>(block.ageIndex)] * random.LogUniform(0.9, 1.1);
  RegionValues values{};
  for (const double t : times) {
    const double entry = EntryRetention(curve.model, t);
    const double systemic = SystemicRetention(curve.model, t);
    for (int column = 1; column <= kRegionColumnCount; ++column) {
      const auto k = static_cast<std::size_t>(column - 1);
      values[k] = curve.peakRate * ageFactor * shape.regionFactor[k] *
                  (IsEntryRegion(kind_, column) ? entry : systemic);
    }
    if (plan.letLetter == 'B') {
      RegionValues low = values;
      for (double& v : low) v *= shape.lowToHighRatio;
      WriteRates(t, low, random.Next());
    }
    WriteRates(t, values, random.Next());
  }
}

void DoseRateWriter::WriteHeader(const Block& block, int pointCount, SplitMix64& random) {
  Record record = BlankRecord();
  char* r = record.data();  // r[p - 1] is position p
  const NuclidePlan& plan = *block.plan;
  // Counts and ages are mostly right-aligned; now and then left-aligned, which
  // the numeric field rule reads just the same.
  const bool leftAge = random.Chance(0.1);
  const bool leftCount = random.Chance(0.1);
  const int perPoint = plan.letLetter == 'B' ? 2 : 1;
  WriteTextField(plan.name, 7, r);
  WriteIntegerField(kSampleAgesDays[static_cast<std::size_t>(block.ageIndex)], 5, leftAge, r + 7);
  if (kind_ == DataKind::kInhalation) {
    r[18] = plan.inhalationClasses[static_cast<std::size_t>(block.formIndex)];
    // Positions 20-27 are not read; a form tag there shows a reader ignores them.
    WriteTextField("form " + std::to_string(block.formIndex + 1), 8, r + 19);
    WriteIntegerField(pointCount, 4, leftCount, r + 27);
    WriteIntegerField(perPoint, 2, false, r + 31);
    r[34] = plan.letLetter;
  } else {
    WriteTextField(plan.ingestionF1[static_cast<std::size_t>(block.formIndex)], 8, r + 12);
    WriteIntegerField(pointCount, 4, leftCount, r + 20);
    WriteIntegerField(perPoint, 2, false, r + 24);
    r[27] = plan.letLetter;
  }
  sink_.Append(View(record));
}

void DoseRateWriter::WriteRates(double days, const RegionValues& rates,
                                std::uint64_t notationBits) {
  Record record = BlankRecord();
  // Two random bits per field pick its notation.
  WriteTimeField(days, static_cast<unsigned>(notationBits & 3), record.data());
  for (std::size_t k = 0; k < rates.size(); ++k) {
    notationBits >>= 2;
    WriteRateField(rates[k], static_cast<unsigned>(notationBits & 3),
                   record.data() + kTimeFieldWidth + kRateFieldWidth * k);
  }
  sink_.Append(View(record));
}

}  // namespace

std::array<std::string, kRegionColumnCount> SampleRegionHeadings(DataKind kind) {
  return {"Adrenals",
          "UB Wall",
          "Bone Surf",
          "Brain",
          "Breast",
          "St Wall",
          "SI Wall",
          "ULI Wall",
          "LLI Wall",
          "Kidneys",
          "Liver",
          "Muscle",
          "Ovaries",
          "Pancreas",
          "Lung BB",
          "Lung bb",
          "Lung AI",
          "Lung LN",
          "R Marrow",
          "ET1",
          "ET2",
          "Skin",
          "Spleen",
          "Testes",
          "Thymus",
          "Thyroid",
          "Uterus",
          "Oesophagus",
          kind == DataKind::kInhalation ? "Rest|Body" : "Remainder"};
}

base::Status WriteDoseRateFile(DataKind kind, const std::vector<NuclidePlan>& nuclides,
                               std::uint64_t seed, const std::filesystem::path& path,
                               std::vector<std::int32_t>* startRecords) {
  return DoseRateWriter(kind, seed).Write(nuclides, path, startRecords);
}

}  // namespace quillmore::tools
