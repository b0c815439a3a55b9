#include "tools/slidepack/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace slidepack {

namespace {

constexpr auto kQuietPeriod = std::chrono::seconds(1);
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string MiB(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

}  // namespace

Progress::Progress(std::string what, uint64_t total_bytes)
    : Progress(std::move(what), total_bytes, std::cerr, isatty(STDERR_FILENO) != 0,
               [] { return std::chrono::steady_clock::now(); }) {}

Progress::Progress(std::string what, uint64_t total_bytes, std::ostream& out, bool terminal,
                   Clock clock)
    : what_(std::move(what)),
      total_(total_bytes),
      out_(out),
      terminal_(terminal),
      clock_(std::move(clock)),
      start_(clock_()),
      last_draw_(start_) {}

Progress::~Progress() {
  // A line cut short by an error still ends, so the error message starts on a line of its own.
  if (shown_ && !finished_) out_ << '\n' << std::flush;
}

void Progress::Advance(uint64_t bytes) {
  done_ += bytes;
  if (!terminal_) return;
  const auto now = clock_();
  if (now - start_ < kQuietPeriod) return;
  if (shown_ && now - last_draw_ < kRedrawInterval) return;
  last_draw_ = now;
  Draw();
}

void Progress::Finish() {
  if (finished_) return;
  finished_ = true;
  if (!shown_) return;
  done_ = total_;
  Draw();
  out_ << '\n' << std::flush;
}

void Progress::Draw() {
  const uint64_t percent = total_ == 0 ? 100 : std::min<uint64_t>(100, done_ * 100 / total_);
  out_ << "\rslidepack: " << what_ << ": " << percent << "% (" << MiB(done_) << " of "
       << MiB(total_) << " MiB)" << std::flush;
  shown_ = true;
}

}  // namespace slidepack
