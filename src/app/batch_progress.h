// A one-line progress bar for long batch runs on a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace quillmore::app {

class BatchProgress {
 public:
  // Draws nothing unless `enabled` and `total` > 1.
  BatchProgress(std::ostream& err, std::size_t total, bool enabled);
  // Redraws for `done` nuclides, at most ten times a second (and always at the end).
  void Update(std::size_t done);
  // Clears the line so that later messages start clean.
  void Finish();

  // The bar's text: "[#####-----]  12/40  3.1 nuclides/s  0:09 left".
  static std::string Text(std::size_t done, std::size_t total, double seconds);

 private:
  std::ostream& err_;
  std::size_t total_;
  bool enabled_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace quillmore::app
