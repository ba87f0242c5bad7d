// quillmore-batch: writes coefficient tables for nuclides named on the command line.
#include <unistd.h>

#include <iostream>

#include "app/batch_options.h"
#include "app/batch_run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  quillmore::app::BatchOptions options;
  const quillmore::base::Status status = quillmore::app::ParseBatchOptions(arguments, &options);
  if (!status.ok()) {
    std::cerr << "quillmore-batch: " << status.message() << " (see --help)\n";
    return quillmore::app::kBatchError;
  }
  return quillmore::app::RunBatch(options, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
