// The CSV and JSON sinks and the file digests, below the batch program. The
// values themselves are checked end to end by tests/app/golden/verify_export.py.
#include <gtest/gtest.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>
#include <zlib.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "output/csv_sink.h"
#include "output/file_writer.h"
#include "output/json_sink.h"
#include "output/json_writing.h"
#include "output/run_manifest.h"
#include "output/written_files.h"
#include "support/temp_dir.h"

namespace quillmore::output {
namespace {

TEST(ExportText, ShortestNumbersReadBackAndFieldsAreQuotedOnlyWhenNeeded) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::pair<double, std::string>> cases = {
      {365, "365"}, {0.1, "0.1"},   {1e-300, "1e-300"}, {-2.5e-10, "-2.5e-10"}, {0, "0"},
      {inf, "inf"}, {-inf, "-inf"}, {nan, "nan"},       {-nan, "nan"}};
  for (const auto& [value, expected] : cases) {
    std::string text;
    AppendShortestNumber(value, text);
    EXPECT_EQ(text, expected);
  }
  for (double value = 1.0 / 3.0; value > 1e-30; value *= 0.0137) {
    std::string text;
    AppendShortestNumber(value, text);
    double back = 0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, value) << text;
  }
  std::string fields;
  for (const char* field : {"Lung BB", "a,b", "say \"hi\"", "two\nlines", ""}) {
    AppendCsvField(field, fields);
    fields += '|';
  }
  EXPECT_EQ(fields, "Lung BB|\"a,b\"|\"say \"\"hi\"\"\"|\"two\nlines\"||");

  // ASCII with control bytes too reads as the dump writes it (lower-case hex).
  for (const std::string& text : {std::string("tab\there\n"), std::string("a\x1f-\x01"),
                                  std::string("nul\0!", 5), std::string("\"q\" \\ /\x7f")}) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    WriteJsonString(writer, text);
    EXPECT_EQ(std::string(buffer.GetString(), buffer.GetSize()), nlohmann::json(text).dump());
  }
}

TEST(ExportSinks, FormsCountPerTableAndNonFiniteValuesBecomeNull) {
  testing::TempDir dir;
  WrittenFiles written(dir.path(), true);
  const Json provenance{{"program", "test"}};
  CsvSink csv(dir.path(), &written);
  JsonSink json(dir.path(), &written, provenance);
  // Region 3: a control character, a quote, a backslash and Windows-1252 bytes,
  // one of them left undefined by the code page.
  const input::Selection selection{input::DataKind::kInhalation,
                                   {1, 6},
                                   {2, 3},
                                   {"R1", "Kid,neys", "Odd\x1f\"\\\xe9\x81"},
                                   {1, 36500},
                                   {},
                                   {}};
  const NuclideTables tables{"H-3    ", &selection};
  integration::CoefficientTable table;
  table.Reset(2, 2);
  table.at(integration::kHighLet, 1, 0) = 1e-7;
  table.at(integration::kHighLet, 1, 1) = 2.5e-5;
  table.at(integration::kLowLet, 0, 1) = std::numeric_limits<double>::infinity();
  table.extrapolation(integration::kHighLet, 0, 1) = integration::Extrapolation::kUnbounded;
  input::BlockHeader header;
  header.name = "H-3    ";
  header.classCode = 'V';
  TableSinks sinks({&csv, &json});
  ASSERT_TRUE(sinks.Begin(tables).ok());
  ASSERT_TRUE(sinks.Add({1, header, {1, 4}, table}).ok());  // adult table, form 4: a label
  ASSERT_TRUE(sinks.Add({1, header, {2, 5}, table}).ok());
  ASSERT_TRUE(sinks
                  .End(std::vector<RunMessage>{{MessageKind::kWarning, "bad times", 100, 12},
                                               {MessageKind::kNote, "a note"},
                                               {MessageKind::kWarning, "whole"},
                                               {MessageKind::kWarning, "bad header", 0, 34}})
                  .ok());

  const std::string text = testing::ReadFile(dir.path() / "H-3_H.csv");
  EXPECT_NE(text.find("\nH-3,inhalation,Adult,7300,1,V,(Water Vapor),1,2,\"Kid,neys\",0,0,none\n"),
            std::string::npos)
      << text;
  EXPECT_NE(
      text.find(
          "\nH-3,inhalation,Adult,7300,2,V,(Elemental),36500,2,\"Kid,neys\",inf,0,unbounded\n"),
      std::string::npos)
      << text;
  const std::string jsonText = testing::ReadFile(dir.path() / "H-3_H.json");
  // The streamed text is what dumping the document gives: numbers, escapes, order.
  EXPECT_EQ(jsonText,
            Json::parse(jsonText).dump(-1, ' ', false, Json::error_handler_t::replace) + '\n');
  EXPECT_NE(jsonText.find("[1e-07,2.5e-05]"), std::string::npos) << jsonText;
  EXPECT_NE(jsonText.find(R"("Odd\u001f\"\\)"), std::string::npos) << jsonText;
  const auto document = nlohmann::json::parse(jsonText);
  EXPECT_EQ(document["age_groups"][1]["forms"][0]["regions"][1]["region_name"],
            "Odd\x1f\"\\\xc3\xa9\xc2\x81");
  EXPECT_TRUE(document["age_groups"][0]["forms"].empty()) << "the infant table got no block";
  const auto& form = document["age_groups"][1]["forms"][1];
  EXPECT_EQ(form["form"], 2);
  EXPECT_TRUE(form["regions"][0]["low_let_gy_per_bq"][1].is_null());
  EXPECT_EQ(form["regions"][0]["low_let_extrapolation"], nlohmann::json({"none", "none"}));
  EXPECT_EQ(form["regions"][0]["high_let_extrapolation"], nlohmann::json({"none", "unbounded"}));
  EXPECT_EQ(document["warnings"][0],
            (nlohmann::json{{"age_days", 100}, {"record", 12}, {"message", "bad times"}}));
  EXPECT_EQ(document["warnings"][1], (nlohmann::json{{"message", "whole"}}));
  EXPECT_EQ(document["warnings"][2], (nlohmann::json{{"record", 34}, {"message", "bad header"}}));
  EXPECT_EQ(document["notes"], (nlohmann::json::array({{{"message", "a note"}}})));
  EXPECT_EQ(document["provenance"], nlohmann::json(provenance));

  std::vector<std::pair<std::string, std::uintmax_t>> files;
  written.ForEachSorted([&](std::string_view name, std::uintmax_t size, std::string_view) {
    files.emplace_back(name, size);
  });
  ASSERT_EQ(files.size(), 2U);
  EXPECT_EQ(files[0], std::make_pair(std::string("H-3_H.csv"), std::uintmax_t{text.size()}));
}

// Written piece by piece, the manifest must still read as the dump of its
// document: indents, escapes, empty arrays, the provenance one level in.
TEST(RunManifest, ReadsAsTheDumpOfItsDocumentWithFilesByNameHashedWholeOrInPieces) {
  testing::TempDir dir;
  WrittenFiles written(dir.path(), true);
  Sha256 pieces;  // as a file written row by row
  pieces.Update("a");
  pieces.Update("bc");
  ASSERT_TRUE(written.Add(dir.path() / "b.TXT", pieces).ok());
  EXPECT_EQ(pieces.size(), 0U);
  ASSERT_TRUE(written.Add(dir.path() / "a.csv", "abc").ok());
  const Json provenance{{"program", {{"name", "t"}, {"version", "1"}}},
                        {"periods_days", {1.0, 365.0}},
                        {"none", Json::array()}};
  const std::vector<std::string> commandLine{"quillmore-batch", "R\xc3\xa9gion\x1f\""};
  const std::vector<NuclideMessage> messages{
      {"Xx-1", {MessageKind::kWarning, "no data\x7f\xff", 0, 0}},
      {"Be-7", {MessageKind::kNote, "a note", 100, 12}},
      {"Be-7", {MessageKind::kNote, "no age", 0, 34}}};
  ASSERT_TRUE(WriteRunManifest(dir.path(), {provenance, commandLine, written, messages}).ok());

  const std::string text = testing::ReadFile(dir.path() / kManifestFileName);
  const Json manifest = Json::parse(text);
  EXPECT_EQ(text, JsonText(manifest, 2));
  EXPECT_EQ(manifest["provenance"], provenance);
  EXPECT_EQ(manifest["command_line"][1], "R\xc3\xa9gion\x1f\"");
  const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  EXPECT_EQ(manifest["files"], (Json{{{"name", "a.csv"}, {"size", 3}, {"sha256", abc}},
                                     {{"name", "b.TXT"}, {"size", 3}, {"sha256", abc}}}));
  EXPECT_EQ(manifest["warnings"],
            (Json{{{"nuclide", "Xx-1"}, {"message", "no data\x7f\xef\xbf\xbd"}}}));
  EXPECT_EQ(manifest["notes"][0]["record"], 12);
  EXPECT_EQ(manifest["notes"][1],
            (Json{{"nuclide", "Be-7"}, {"record", 34}, {"message", "no age"}}));
}

// The whole text a gzip stream holds, by zlib's inflate; "" when it is not
// one whole stream.
std::string Gunzip(const std::string& bytes) {
  z_stream stream{};
  if (inflateInit2(&stream, 15 + 16) != Z_OK) return "";
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::string text;
  int result = Z_OK;
  while (result == Z_OK) {
    char out[1 << 16];
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = sizeof out;
    result = inflate(&stream, Z_NO_FLUSH);
    text.append(out, sizeof out - stream.avail_out);
  }
  const bool whole = result == Z_STREAM_END && stream.avail_in == 0;
  inflateEnd(&stream);
  return whole ? text : "";
}

// A gzip file's bytes are a function of its text alone: the header fixed, the
// same whether streamed in many flushes or written whole, and the manifest's
// digest that of the compressed bytes.
TEST(GzipFiles, FixedHeaderTheTextBackAndTheSameBytesHoweverWritten) {
  std::string text;
  for (unsigned i = 0, x = 1; text.size() < (5U << 19); ++i) {  // 2.5 MB: several flushes
    x = x * 1103515245U + 12345U;
    text += "P" + std::to_string(i % 97) + ",1961-04-12," + std::to_string(x) + "e-17,none\n";
  }
  testing::TempDir dir;
  WrittenFiles written(dir.path(), true);
  StreamedFile streamed;
  ASSERT_TRUE(streamed.Open(dir / "s.csv", true, Compression::kGzip).ok());
  EXPECT_EQ(streamed.path(), dir / "s.csv.gz");
  for (std::size_t at = 0; at < text.size(); at += 7001)
    ASSERT_TRUE(streamed.Append(std::string_view(text).substr(at, 7001)).ok());
  ASSERT_TRUE(streamed.Close().ok());
  ASSERT_TRUE(written.Add(streamed.path(), streamed.hashed()).ok());
  const std::string_view halves[] = {std::string_view(text).substr(0, 12345),
                                     std::string_view(text).substr(12345)};
  ASSERT_TRUE(WriteRecordedFile(dir / "w.csv", halves, &written, Compression::kGzip).ok());
  ASSERT_TRUE(WriteRecordedFile(dir / "e.csv", "", &written, Compression::kGzip).ok());

  const std::string bytes = testing::ReadFile(dir / "s.csv.gz");
  EXPECT_EQ(bytes, testing::ReadFile(dir / "w.csv.gz"));
  EXPECT_LT(bytes.size(), text.size() / 2);
  // ID1 ID2, deflate, no flags (no name), modification time 0, no extra
  // flags at level 6, OS 3 (Unix).
  EXPECT_EQ(bytes.substr(0, 10), std::string("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10));
  EXPECT_EQ(Gunzip(bytes), text);
  const std::string empty = testing::ReadFile(dir / "e.csv.gz");
  EXPECT_EQ(Gunzip(empty), "");
  EXPECT_EQ(empty.size(), 20U);  // header, an empty final block, CRC and length
  std::vector<std::string> names;
  written.ForEachSorted([&](std::string_view name, std::uintmax_t size, std::string_view sha256) {
    names.emplace_back(name);
    const base::Result<FileDigest> digest = DigestFile(dir.path() / name);
    ASSERT_TRUE(digest.ok());
    EXPECT_EQ(size, digest.value().size) << name;
    EXPECT_EQ(sha256, digest.value().sha256) << name;
  });
  EXPECT_EQ(names, (std::vector<std::string>{"e.csv.gz", "s.csv.gz", "w.csv.gz"}));
}

TEST(DigestFile, Sha256OfKnownTextAndAMissingFile) {
  testing::TempDir dir;
  testing::WriteFile(dir.path() / "abc", "abc");
  const base::Result<FileDigest> digest = DigestFile(dir.path() / "abc");
  ASSERT_TRUE(digest.ok());
  EXPECT_EQ(digest.value().sha256,
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(digest.value().size, 3U);
  EXPECT_EQ(DigestFile(dir.path() / "none").status().code(), base::Status::Code::kIoError);
}

}  // namespace
}  // namespace quillmore::output
