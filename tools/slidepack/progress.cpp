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

// "0:07", "12:30", "1:02:03"
std::string Duration(std::chrono::steady_clock::duration duration) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration).count();
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

}  // namespace

Progress::Progress(std::string what, uint64_t total, Unit unit)
    : Progress(
          std::move(what), total, std::cerr, isatty(STDERR_FILENO) != 0,
          [] { return std::chrono::steady_clock::now(); }, unit) {}

Progress::Progress(std::string what, uint64_t total, std::ostream& out, bool terminal, Clock clock,
                   Unit unit)
    : what_(std::move(what)),
      total_(total),
      unit_(unit),
      out_(out),
      terminal_(terminal),
      clock_(std::move(clock)),
      start_(clock_()),
      last_draw_(start_) {}

Progress::~Progress() {
  // A line cut short by an error still ends, so the error message starts on a line of its own.
  if (shown_ && !finished_) out_ << '\n' << std::flush;
}

void Progress::Advance(uint64_t amount) {
  done_ += amount;
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
  std::string line = "slidepack: " + what_ + ": ";
  if (unit_ != Unit::kBytes) {
    line += std::to_string(done_) + " of " + std::to_string(total_);
    if (unit_ == Unit::kFrames) line += " frames";
    if (done_ > 0 && done_ < total_) {
      const auto elapsed = clock_() - start_;
      line +=
          ", " +
          Duration(elapsed * static_cast<int64_t>(total_ - done_) / static_cast<int64_t>(done_)) +
          " left";
    }
  } else {
    const uint64_t percent = total_ == 0 ? 100 : std::min<uint64_t>(100, done_ * 100 / total_);
    line += std::to_string(percent) + "% (" + MiB(done_) + " of " + MiB(total_) + " MiB)";
  }
  // Blanks cover what is left of a longer line drawn before.
  const size_t length = line.size();
  line.resize(std::max(length, drawn_length_), ' ');
  drawn_length_ = length;
  out_ << '\r' << line << std::flush;
  shown_ = true;
}

}  // namespace slidepack
