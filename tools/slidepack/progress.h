#pragma once
// The progress line of a long build or unpack: shown on standard error only when it is a
// terminal and only once the work has taken longer than a second, redrawn in place. Work
// counted in bytes shows its share and MiB; work counted in pictures or frames shows the count
// and an estimate of the time left.
#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace slidepack {

class Progress {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  enum class Unit { kBytes, kPictures, kFrames };

  // A line on standard error when it is a terminal; silent otherwise.
  Progress(std::string what, uint64_t total, Unit unit = Unit::kBytes);
  // For tests: an explicit stream, terminal flag and clock.
  Progress(std::string what, uint64_t total, std::ostream& out, bool terminal, Clock clock,
           Unit unit = Unit::kBytes);
  ~Progress();

  void Advance(uint64_t amount);
  // A total learnt as the work goes (an estimate corrected); shown from the next redraw.
  void SetTotal(uint64_t total) { total_ = total; }
  // Draws the final 100 % and ends the line, if a line was shown.
  void Finish();

 private:
  void Draw();

  std::string what_;
  uint64_t total_;
  Unit unit_;
  uint64_t done_ = 0;
  std::ostream& out_;
  bool terminal_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_;
  size_t drawn_length_ = 0;
  bool shown_ = false;
  bool finished_ = false;
};

}  // namespace slidepack
