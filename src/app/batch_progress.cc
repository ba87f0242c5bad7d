#include "app/batch_progress.h"

#include <cstdio>

namespace quillmore::app {

BatchProgress::BatchProgress(std::ostream& err, std::size_t total, bool enabled)
    : err_(err),
      total_(total),
      enabled_(enabled && total > 1),
      start_(std::chrono::steady_clock::now()),
      lastDraw_(start_) {}

std::string BatchProgress::Text(std::size_t done, std::size_t total, double seconds) {
  constexpr std::size_t kWidth = 30;
  const std::size_t filled = total == 0 ? kWidth : done * kWidth / total;
  std::string text = "[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "] ";
  char numbers[96];
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
  const long left =
      rate > 0 ? static_cast<long>(static_cast<double>(total - done) / rate + 0.5) : 0;
  std::snprintf(numbers, sizeof numbers, "%zu/%zu  %.1f nuclides/s  %ld:%02ld left", done, total,
                rate, left / 60, left % 60);
  return text + numbers;
}

void BatchProgress::Update(std::size_t done) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (done < total_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  err_ << '\r' << Text(done, total_, seconds) << "\x1b[K" << std::flush;
}

void BatchProgress::Finish() {
  if (enabled_) err_ << "\r\x1b[K" << std::flush;
}

}  // namespace quillmore::app
