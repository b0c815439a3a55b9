// Preparing one camera picture for the player's folder show: a generated 4000 x 3000 JPEG
// (quality 90) read, checked and fitted to 1920 x 1080 into the pixels the show draws, on one
// core (libvips limited to one thread, as the folder's one worker thread prepares it while a
// slide stays), against ImageMagick's `convert IN -auto-orient -resize 1920x1080 OUT.ppm`
// limited to one thread, run in the same benchmark. Reports the seconds per picture and the
// ratio, and the processor time one preparation takes (the wall time suffers on a busy
// machine).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <atomic>
#include <vips/vips8>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "bench/run_program.h"
#include "photos/picture_facts.h"
#include "photos/prepare_picture.h"
#include "photos/vips_library.h"
#include "tests/slidepack/test_pictures.h"

namespace {

namespace fs = std::filesystem;
using slidesaver::bench::Seconds;

void FolderPrepare(benchmark::State& state) {
  slidesaver::photos::StartVips();
  vips_concurrency_set(1);
  std::string pattern = (fs::temp_directory_path() / "folder-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  const fs::path folder = pattern;
  const std::vector<uint8_t> photo =
      slidepack_test::JpegBytes(slidepack_test::PhotoLikePicture(4000, 3000, 1), 90);
  std::ofstream(folder / "photo.jpg", std::ios::binary)
      .write(reinterpret_cast<const char*>(photo.data()), std::streamsize(photo.size()));

  slidesaver::photos::PrepareSettings settings;
  settings.area_width = static_cast<int32_t>(state.range(0));
  settings.area_height = static_cast<int32_t>(state.range(1));
  double seconds = 0;
  // The processor time of all the process's threads: what the picture costs one core.
  const auto cpu_seconds = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  };
  const double cpu_start = cpu_seconds();
  const std::atomic<bool> never{false};
  for (auto _ : state) {
    seconds += Seconds([&] {
      const auto facts = slidesaver::photos::ReadPictureFacts(photo);
      benchmark::DoNotOptimize(slidesaver::photos::PrepareBitmap(photo, *facts, settings, never));
    });
  }
  const double cpu = (cpu_seconds() - cpu_start) / static_cast<double>(state.iterations());
  const std::string size =
      std::to_string(settings.area_width) + "x" + std::to_string(settings.area_height);
  const double reference = Seconds([&] {
    slidesaver::bench::RunToSuccess({"convert", "-limit", "thread", "1",
                                     (folder / "photo.jpg").string(), "-auto-orient", "-resize",
                                     size, (folder / "out.ppm").string()});
  });
  vips_concurrency_set(0);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  const double mean = seconds / static_cast<double>(state.iterations());
  state.counters["prepare_s"] = mean;
  state.counters["prepare_cpu_s"] = cpu;
  state.counters["convert_s"] = reference;
  state.counters["ratio_to_convert"] = mean / reference;
}

BENCHMARK(FolderPrepare)
    ->Name("FolderPrepare/12MP")
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace
