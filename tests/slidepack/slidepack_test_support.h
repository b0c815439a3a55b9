#pragma once
// Helpers for slidepack's tests: a scratch folder per test, file helpers, and running the
// built slidepack as a user would.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "package/package.h"

namespace slidepack_test {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);

// A real 8 x 8 JPEG in a colour of its own for each seed, padded with a comment to `size`
// bytes when that is more than it needs; and an 8-bit mono WAV of `size` bytes whose samples
// vary with the seed.
std::vector<uint8_t> SmallJpeg(int seed, size_t size = 0);
std::vector<uint8_t> FakeWave(int seed, size_t size = 120, uint32_t rate = 8000);
// A real WAV file: 48 kHz, 16-bit, mono.
std::vector<uint8_t> WaveFile(const std::vector<int16_t>& samples);

slidesaver::Bytes ToBytes(const std::vector<uint8_t>& bytes);

struct RunResult {
  int status = -1;  // exit status; -1 when the process did not exit normally
  std::string out;
  std::string err;
  long max_rss_kib = 0;  // the most memory it held
};

// Runs the built slidepack with `args` in `folder`.
RunResult RunSlidepack(const std::vector<std::string>& args, const std::filesystem::path& folder);

struct SignalledRun {
  int status = -1;  // exit status; -1 when a signal ended it
  int signal = 0;   // the signal that ended it
  // From the signal to the end; nullopt when it had not ended 60 s later (it is then killed).
  std::optional<std::chrono::milliseconds> ended_after;
};

// Runs the built slidepack with `args` in `folder` (its output thrown away) until it has used
// `cpu` of processor time, that is, until it is well into its work, then sends it `signal`.
SignalledRun SignalSlidepack(const std::vector<std::string>& args,
                             const std::filesystem::path& folder, int signal,
                             std::chrono::milliseconds cpu);

// Every file and folder below `root`, relative to it, sorted.
std::vector<std::string> ListTree(const std::filesystem::path& root);

class ScratchTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path dir_;
};

}  // namespace slidepack_test
