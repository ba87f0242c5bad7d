// quillmore-batch: writes coefficient tables for nuclides named on the command line.
#include <unistd.h>

#include <iostream>

#include "app/batch_options.h"
#include "app/batch_run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const quillmore::base::Result<quillmore::app::BatchOptions> options =
      quillmore::app::ParseBatchOptions(arguments);
  if (!options.ok()) {
    std::cerr << "quillmore-batch: " << options.status().message() << " (see --help)\n";
    return quillmore::app::kBatchError;
  }
  return quillmore::app::RunBatch(options.value(), std::cout, std::cerr,
                                  isatty(STDERR_FILENO) == 1);
}
