// The integration-times file "Quillmore.ini" from memory.
#include <string>

#include "fuzz_support.h"
#include "input/integration_times.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using quillmore::base::Status;
  using quillmore::fuzz::Check;
  const std::string_view content = quillmore::fuzz::AsText(data, size);
  const quillmore::input::IntegrationTimes times =
      quillmore::input::ParseIntegrationTimes(content, "Quillmore.ini");
  if (times.ok()) {
    Check(times.value().size() <= quillmore::input::kMaxIntegrationTimes, "at most 100");
    Check(!times.value().empty(), "never ok with no times");
  }
  Check(times.ok() || times.status().code() == Status::Code::kInvalidArgument,
        "content is refused as invalid, nothing else");
  if (content.find("START") == std::string_view::npos) {
    Check(!times.ok(), "no START line, no times");
  }
  return 0;
}
