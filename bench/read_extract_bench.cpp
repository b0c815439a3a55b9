// Reading a 256 MiB Package of 50 pictures from a program file and extracting it, against the
// plain copy of the same bytes: read the file with buffered I/O, write 50 files.
// Both run on real files in the same temporary folder; the Package file is made once at the
// start and removed at exit. ReadExtract also reports the peak resident memory of one
// read-and-extract, measured in a child process so that nothing else counts.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>

#include "package/extract_files.h"
#include "package/read_package.h"
#include "package/write_package.h"
#include "platform/fake/fake_platform.h"
#include "platform/linux/linux_platform.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;

constexpr int kPictures = 50;

// The program file with its Package, in a temporary folder of its own.
class PackageFile {
 public:
  explicit PackageFile(size_t mib) {
    std::string pattern = (fs::temp_directory_path() / "slidesaver-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    path_ = folder_ + "/show.scr";

    // One picture's bytes, shared by every slide: the writer streams them 50 times.
    const size_t picture_bytes = mib * 1024 * 1024 / kPictures;
    std::vector<uint8_t> picture(picture_bytes);
    std::mt19937 random(1);
    for (auto& b : picture) b = static_cast<uint8_t>(random());
    const Bytes shared(std::make_shared<media::MemorySource>(picture));
    PackageHeader header;
    header.ShowWidth = 1920;
    header.ShowHeight = 1080;
    header.SlideCount = kPictures;
    for (int i = 0; i < kPictures; ++i) {
      SlideEntry slide;
      slide.PictureFileName = "picture" + std::to_string(i) + ".jpg";
      slide.PictureData = shared;
      header.Slides.push_back(slide);
    }
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path_.c_str(), "wb"), &std::fclose);
    std::vector<uint8_t> program(200 * 1024, 0x90);  // the player's own bytes come first
    std::fwrite(program.data(), 1, program.size(), out.get());
    uint64_t position = program.size();
    WritePackage(header, [&](std::span<const uint8_t> piece) {
      if (piece.data() == picture.data()) picture_offsets_.push_back(position);
      std::fwrite(piece.data(), 1, piece.size(), out.get());
      position += piece.size();
    });
    package_bytes_ = PackageByteCount(header);
    picture_bytes_ = picture_bytes;
  }
  ~PackageFile() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  const std::string& folder() const { return folder_; }
  const std::string& path() const { return path_; }
  uint64_t package_bytes() const { return package_bytes_; }
  size_t picture_bytes() const { return picture_bytes_; }
  // Where each picture's bytes start in the file.
  const std::vector<uint64_t>& picture_offsets() const { return picture_offsets_; }

 private:
  std::string folder_;
  std::string path_;
  uint64_t package_bytes_ = 0;
  size_t picture_bytes_ = 0;
  std::vector<uint64_t> picture_offsets_;
};

PackageFile& File(size_t mib) {
  static PackageFile file(mib);  // made at the first benchmark, removed at exit
  return file;
}

void RemoveExtracted(const std::string& base) {
  for (const auto& entry : fs::directory_iterator(base)) {
    if (entry.path().filename().string().rfind("temp", 0) == 0) fs::remove_all(entry.path());
  }
}

// Stops the benchmark's clock when it goes.
struct PauseOnExit {
  benchmark::State* state;
  ~PauseOnExit() {
    if (state) state->PauseTiming();
  }
};

// Reads the Package through the real file system and extracts it under `base`. With a state,
// the clock stops when everything but the extracted files is gone: their removal is not timed.
void ReadAndExtract(const std::string& path, const std::string& base,
                    benchmark::State* state = nullptr) {
  auto files = linux_platform::MakePosixFileSystem();
  std::optional<ExtractedShow> extracted;  // goes last
  const PauseOnExit pause{state};
  fake::FakePlatform fake;
  fake.system.base_folder = base + "/";
  platform::Platform platform{fake.process, *files,     fake.system,   fake.events,
                              fake.window,  fake.audio, fake.pictures, fake.dialogs};
  PackageHeader package;
  ReadPackageFile(*files, path, package);
  if (package.Slides.size() != kPictures) throw std::runtime_error("Package not read");
  extracted.emplace(ExtractFiles(platform, package));
}

// Peak resident memory (KiB) of one read-and-extract in a child process.
long ChildPeakRssKiB(const std::string& path, const std::string& base) {
  const pid_t pid = fork();
  if (pid == 0) {
    ReadAndExtract(path, base);
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  RemoveExtracted(base);
  return usage.ru_maxrss;
}

void ReadExtract(benchmark::State& state) {
  const PackageFile& file = File(static_cast<size_t>(state.range(0)));
  const std::string base = file.folder() + "/extract";
  fs::create_directories(base);
  for (auto _ : state) {
    ReadAndExtract(file.path(), base, &state);  // returns with the clock stopped
    RemoveExtracted(base);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.package_bytes()));
  state.counters["package_MiB"] = static_cast<double>(file.package_bytes()) / (1024.0 * 1024.0);
  state.counters["peak_rss_MiB"] = static_cast<double>(ChildPeakRssKiB(file.path(), base)) / 1024.0;
}

// The same bytes the plain way: the whole file read with buffered I/O, then each picture's
// bytes written to its own file with buffered I/O.
void CopyReference(benchmark::State& state) {
  const PackageFile& file = File(static_cast<size_t>(state.range(0)));
  const std::string base = file.folder() + "/copy";
  const size_t file_bytes = fs::file_size(file.path());
  for (auto _ : state) {
    fs::create_directories(base);
    std::vector<uint8_t> buffer(file_bytes);
    {
      std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(file.path().c_str(), "rb"), &std::fclose);
      if (std::fread(buffer.data(), 1, buffer.size(), in.get()) != buffer.size())
        throw std::runtime_error("short read");
    }
    for (int i = 0; i < kPictures; ++i) {
      const std::string name = base + "/picture" + std::to_string(i) + ".jpg";
      std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(name.c_str(), "wb"), &std::fclose);
      std::fwrite(buffer.data() + file.picture_offsets()[static_cast<size_t>(i)], 1,
                  file.picture_bytes(), out.get());
    }
    state.PauseTiming();
    fs::remove_all(base);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.package_bytes()));
}

BENCHMARK(ReadExtract)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(CopyReference)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace
}  // namespace slidesaver
