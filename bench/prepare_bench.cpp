// Preparing camera pictures for a show: 48 generated photos of 4000 x 3000 (JPEG, quality 90,
// every fourth one taken upright, EXIF orientation 6) built into a 1920 x 1080 show by
// `slidepack build` with fit = "contain", against ImageMagick's
// `convert IN -auto-orient -resize 1920x1080 -quality 90 OUT` on the same files, one after
// another (it spreads each picture over the cores itself). Both run as child processes in the
// same benchmark, which reports the ratio of their times and slidepack's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/run_program.h"
#include "tests/slidepack/test_pictures.h"

namespace {

namespace fs = std::filesystem;
using slidesaver::bench::Seconds;

constexpr int kPhotos = 48;

class PhotoFolder {
 public:
  PhotoFolder() {
    std::string pattern = (fs::temp_directory_path() / "slidepack-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    fs::create_directory(folder_ / "photos");
    fs::create_directory(folder_ / "converted");
    std::ofstream manifest(folder_ / "show.toml");
    manifest << "width = 1920\nheight = 1080\nfit = \"contain\"\n";
    for (int i = 0; i < kPhotos; ++i) {
      vips::VImage photo = slidepack_test::PhotoLikePicture(4000, 3000, i);
      if (i % 4 == 3) {
        photo = photo.rot(VIPS_ANGLE_D270).copy();
        photo.set("orientation", 6);
      }
      const std::string name = "photo-" + std::to_string(i) + ".jpg";
      photo.jpegsave((folder_ / "photos" / name).c_str(), vips::VImage::option()->set("Q", 90));
      photos_.push_back(folder_ / "photos" / name);
      manifest << "\n[[slide]]\npicture = \"photos/" << name << "\"\n";
    }
    std::ofstream(folder_ / "player") << "a stand-in for the player";
  }
  ~PhotoFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  const fs::path& folder() const { return folder_; }
  const std::vector<fs::path>& photos() const { return photos_; }

 private:
  fs::path folder_;
  std::vector<fs::path> photos_;
};

PhotoFolder& Photos() {
  static PhotoFolder photos;  // made at the first use, removed at exit
  return photos;
}

void ConvertAll(const PhotoFolder& photos) {
  for (const fs::path& photo : photos.photos()) {
    slidesaver::bench::RunToSuccess({"convert", photo.string(), "-auto-orient", "-resize",
                                     "1920x1080", "-quality", "90",
                                     (photos.folder() / "converted" / photo.filename()).string()});
  }
}

// Its peak resident memory in KiB.
long BuildShow(const PhotoFolder& photos) {
  return slidesaver::bench::RunToSuccess({SLIDEPACK_EXECUTABLE, "build",
                                          (photos.folder() / "show.toml").string(), "-o",
                                          (photos.folder() / "show.scr").string(), "--player",
                                          (photos.folder() / "player").string()})
      .ru_maxrss;
}

void Prepare(benchmark::State& state) {
  const PhotoFolder& photos = Photos();
  long peak_kib = 0;
  double seconds = 0;
  for (auto _ : state) {
    seconds += Seconds([&] { peak_kib = std::max(peak_kib, BuildShow(photos)); });
  }
  const double reference = Seconds([&] { ConvertAll(photos); });
  const double mean = seconds / static_cast<double>(state.iterations());
  state.counters["convert_s"] = reference;
  state.counters["ratio_to_convert"] = mean / reference;
  state.counters["peak_rss_MiB"] = static_cast<double>(peak_kib) / 1024.0;
}

BENCHMARK(Prepare)->Name("Prepare/48/12MP")->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

}  // namespace
