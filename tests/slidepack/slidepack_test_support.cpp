#include "slidepack_test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "photos/vips_library.h"

namespace slidepack_test {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

std::string ReadText(const std::filesystem::path& path) {
  const auto bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  WriteBytes(path, {text.begin(), text.end()});
}

std::vector<uint8_t> SmallJpeg(int seed, size_t size) {
  slidesaver::photos::StartVips();
  const std::vector<double> colour = {double(seed * 37 % 256), double(seed * 91 % 256),
                                      double(seed * 53 % 256)};
  const vips::VImage picture =
      (vips::VImage::black(8, 8, vips::VImage::option()->set("bands", 3)) + colour)
          .cast(VIPS_FORMAT_UCHAR)
          .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
  VipsBlob* blob = picture.jpegsave_buffer(
      vips::VImage::option()->set("strip", true)->set("optimize_coding", true));
  size_t length = 0;
  const auto* data = static_cast<const uint8_t*>(vips_blob_get(blob, &length));
  std::vector<uint8_t> bytes(data, data + length);
  vips_area_unref(VIPS_AREA(blob));
  // A comment segment after the start marker: FF FE, its length, filler.
  constexpr size_t kSegmentHead = 4;
  if (size >= bytes.size() + kSegmentHead + 1) {
    const size_t filler = size - bytes.size() - kSegmentHead;
    std::vector<uint8_t> segment = {0xFF, 0xFE, static_cast<uint8_t>((filler + 2) >> 8),
                                    static_cast<uint8_t>(filler + 2)};
    for (size_t i = 0; i < filler; ++i) segment.push_back(static_cast<uint8_t>('a' + i % 26));
    bytes.insert(bytes.begin() + 2, segment.begin(), segment.end());
  }
  return bytes;
}

std::vector<uint8_t> FakeWave(int seed, size_t size, uint32_t rate) {
  // 8-bit mono PCM: every byte after the header is a sample.
  const uint32_t data = static_cast<uint32_t>(size - 44);
  std::vector<uint8_t> bytes;
  auto put = [&](uint32_t value, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  auto tag = [&](const char* text) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(text[i]));
  };
  bytes.reserve(size);
  tag("RIFF"), put(36 + data, 4), tag("WAVE"), tag("fmt "), put(16, 4), put(1, 2), put(1, 2);
  put(rate, 4), put(rate, 4), put(1, 2), put(8, 2), tag("data"), put(data, 4);
  for (size_t i = bytes.size(); i < size; ++i) bytes.push_back(static_cast<uint8_t>(i * 3 + seed));
  return bytes;
}

std::vector<uint8_t> WaveFile(const std::vector<int16_t>& samples) {
  constexpr uint32_t kRate = 48000;
  std::vector<uint8_t> wav;
  auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) wav.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  auto tag = [&](const char* text) {
    for (int i = 0; i < 4; ++i) wav.push_back(static_cast<uint8_t>(text[i]));
  };
  const auto data_bytes = static_cast<uint32_t>(samples.size() * 2);
  tag("RIFF"), put(36 + data_bytes, 4), tag("WAVE");
  tag("fmt "), put(16, 4), put(1, 2), put(1, 2), put(kRate, 4), put(kRate * 2, 4), put(2, 2);
  put(16, 2);
  tag("data"), put(data_bytes, 4);
  for (int16_t sample : samples) put(static_cast<uint16_t>(sample), 2);
  return wav;
}

slidesaver::Bytes ToBytes(const std::vector<uint8_t>& bytes) {
  return slidesaver::Bytes::Copy(bytes);
}

RunResult RunSlidepack(const std::vector<std::string>& args, const std::filesystem::path& folder) {
  const std::filesystem::path out_path = folder / ".slidepack-test.out";
  const std::filesystem::path err_path = folder / ".slidepack-test.err";
  const pid_t child = fork();
  if (child == 0) {
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(127);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    std::vector<char*> argv = {const_cast<char*>(SLIDEPACK_EXECUTABLE)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(SLIDEPACK_EXECUTABLE, argv.data());
    _exit(127);
  }
  int wait_status = 0;
  struct rusage usage {};
  wait4(child, &wait_status, 0, &usage);
  RunResult result;
  result.max_rss_kib = usage.ru_maxrss;
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
  result.out = ReadText(out_path);
  result.err = ReadText(err_path);
  std::filesystem::remove(out_path);
  std::filesystem::remove(err_path);
  return result;
}

namespace {

// Processor time a process has used so far; nullopt once it is gone.
std::optional<std::chrono::milliseconds> ProcessorTime(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return std::nullopt;
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long long user = 0, system = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 3 && field == "Z") return std::nullopt;
    if (i == 14) user = std::stoll(field);
    if (i == 15) system = std::stoll(field);
  }
  return std::chrono::milliseconds((user + system) * 1000 / sysconf(_SC_CLK_TCK));
}

}  // namespace

SignalledRun SignalSlidepack(const std::vector<std::string>& args,
                             const std::filesystem::path& folder, int signal,
                             std::chrono::milliseconds cpu) {
  using Clock = std::chrono::steady_clock;
  const pid_t child = fork();
  if (child == 0) {
    const int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere < 0 || chdir(folder.c_str()) != 0) _exit(127);
    dup2(nowhere, STDOUT_FILENO);
    dup2(nowhere, STDERR_FILENO);
    std::vector<char*> argv = {const_cast<char*>(SLIDEPACK_EXECUTABLE)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(SLIDEPACK_EXECUTABLE, argv.data());
    _exit(127);
  }
  for (std::optional<std::chrono::milliseconds> used; (used = ProcessorTime(child)) && *used < cpu;)
    usleep(5'000);
  kill(child, signal);
  const Clock::time_point sent = Clock::now();
  SignalledRun run;
  int wait_status = 0;
  while (waitpid(child, &wait_status, WNOHANG) == 0) {
    if (Clock::now() - sent > std::chrono::seconds(60)) {
      kill(child, SIGKILL);
      waitpid(child, &wait_status, 0);
      return run;
    }
    usleep(2'000);
  }
  run.ended_after = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
  if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) run.signal = WTERMSIG(wait_status);
  return run;
}

std::vector<std::string> ListTree(const std::filesystem::path& root) {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    entries.push_back(std::filesystem::relative(entry.path(), root).string());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

void ScratchTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "slidepack-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
}

void ScratchTest::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

}  // namespace slidepack_test
