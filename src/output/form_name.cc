#include "output/form_name.h"

#include <array>

#include "base/text.h"

namespace quillmore::output {
namespace {

struct FormLabel {
  std::string_view element;
  std::int32_t labelNumber;
  std::string_view label;
};

constexpr std::array<FormLabel, 12> kFormLabels{{
    {"H", 4, "(Water Vapor)"},
    {"H", 5, "(Elemental)"},
    {"H", 6, "(Organic)"},
    {"C", 4, "(Carbon Monoxide)"},
    {"C", 5, "(Carbon Dioxide)"},
    {"S", 4, "(Dioxide)"},
    {"S", 5, "(Carbon Disulfide)"},
    {"I", 5, "(Methyl Iodine)"},
    {"Hg", 4, "(Organic Particulate)"},
    {"Hg", 5, "(Organic Particulate)"},
    {"Hg", 6, "(Organic Particulate)"},
    {"Hg", 7, "(Vapor)"},
}};

}  // namespace

std::string_view ChemicalFormLabel(std::string_view nuclideName, std::int32_t labelNumber) {
  const std::size_t dash = nuclideName.find('-');
  if (dash == std::string_view::npos) return {};
  const std::string_view element = nuclideName.substr(0, dash);
  for (const FormLabel& entry : kFormLabels) {
    if (entry.element == element && entry.labelNumber == labelNumber) return entry.label;
  }
  return {};
}

std::string FormCode(const input::BlockHeader& header, input::DataKind kind) {
  if (kind == input::DataKind::kIngestion) return base::TrimBlanks(header.f1Text);
  return base::TrimBlanks(std::string(1, header.classCode));
}

std::string FormWords(const input::BlockHeader& header, input::DataKind kind,
                      std::int32_t labelNumber) {
  if (kind == input::DataKind::kIngestion) return "f1 " + base::TrimBlanks(header.f1Text);
  const std::string_view label = ChemicalFormLabel(header.name, labelNumber);
  return "class " + std::string(1, header.classCode) +
         (label.empty() ? "" : " " + std::string(label));
}

}  // namespace quillmore::output
