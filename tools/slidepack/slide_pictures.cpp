#include "tools/slidepack/slide_pictures.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "media/picture_header.h"
#include "photos/picture_facts.h"
#include "photos/prepare_picture.h"
#include "platform/linux/jpeg/jpeg_decoder.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/slidepack_error.h"
#include "tools/slidepack/spill_file.h"

namespace slidepack {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

const char* const kFormatsRead = "JPEG, PNG, GIF, BMP, TIFF, WebP or HEIF";

// What a worker leaves for one slide: the stored picture, or where its prepared bytes went.
struct Outcome {
  SlidePicture picture;
  std::optional<SpillFile::Piece> prepared;
  std::string warning;
};

// "IMG_0001.HEIC" -> "IMG_0001.jpg"
std::string PreparedName(const ManifestSlide& slide) {
  if (slide.named) return slide.picture_name;
  return slide.picture.path.stem().string() + ".jpg";
}

class Worker {
 public:
  Worker(const Manifest& manifest, const BuildOptions& options, SpillFile& spill)
      : manifest_(manifest), options_(options), spill_(spill) {}

  Outcome Run(const ManifestSlide& slide) const {
    const slidesaver::Bytes file_bytes = ReadManifestFile(manifest_, slide.picture, "picture");
    const std::string file = slide.picture.path.string();
    try {
      if (file_bytes.size() > slidesaver::media::kMaxPictureFileBytes)
        throw SlidepackError("is larger than the players read (1 GiB)");
      // In memory only while it is looked at; the build reads the file again as it writes.
      const std::vector<uint8_t> bytes = LoadPicture(file_bytes);
      const std::optional<PictureFacts> facts = ReadPictureFacts(bytes);
      if (!facts) {
        throw SlidepackError("is not a picture slidepack reads (" + std::string(kFormatsRead) +
                             ")");
      }
      // Counted before any decoder sees the picture: each scan costs a decoder a whole pass.
      if (const std::string scans = slidesaver::media::CheckJpegScans(bytes); !scans.empty())
        throw SlidepackError("is refused (" + scans + ")");
      // A JPEG, stored or prepared, is decoded whole once by the Linux player's own decoder: its
      // answer is the same every time, where libvips may lose a decoder's warning between its
      // threads and prepare a picture whose end is missing.
      if (facts->format == slidesaver::media::PictureFormat::kJpeg) {
        const std::string why = slidesaver::linux_platform::WhyJpegDoesNotDecode(
            slidesaver::media::MemorySource(bytes), bytes.size());
        if (!why.empty()) throw SlidepackError("does not decode completely (" + why + ")");
      }
      return slide.fit == Fit::kNone ? Stored(slide, file_bytes, bytes, *facts)
                                     : Prepared(slide, bytes, *facts);
    } catch (const SlidepackError& error) {
      throw LineError(manifest_, slide.picture.line, "picture " + file + " " + error.what());
    }
  }

 private:
  static std::vector<uint8_t> LoadPicture(const slidesaver::Bytes& bytes) {
    try {
      return bytes.Load();
    } catch (const slidesaver::media::ReadError& error) {
      throw SlidepackError(std::string("cannot be read: ") + error.what());
    }
  }

  Outcome Stored(const ManifestSlide& slide, const slidesaver::Bytes& stored,
                 std::span<const uint8_t> bytes, const PictureFacts& facts) const {
    const bool decodes =
        WindowsPlayerDecodes(facts) || (options_.linux_only && LinuxPlayerDecodes(facts));
    if (!decodes) {
      const std::string players = LinuxPlayerDecodes(facts) ? "the Windows player does not decode"
                                                            : "the players do not decode";
      throw SlidepackError("is a " + DescribeFormat(facts) + ", which " + players +
                           "; use fit = \"contain\" or \"cover\" to have it prepared" +
                           (LinuxPlayerDecodes(facts)
                                ? " (or build with --linux-only for a show only for Linux)"
                                : ""));
    }
    if (int64_t{facts.width} * facts.height > slidesaver::media::kMaxDecodedPicturePixels) {
      throw SlidepackError("is too large for the players (" + std::to_string(facts.width) + " x " +
                           std::to_string(facts.height) +
                           "); use fit = \"contain\" or \"cover\" to have it prepared");
    }
    // What the players check before they decode it, then their decoding (a JPEG's was checked
    // already).
    const std::string refusal = slidesaver::media::CheckPictureBeforeDecoding(bytes);
    if (!refusal.empty()) throw SlidepackError("does not decode completely (" + refusal + ")");
    if (facts.format != slidesaver::media::PictureFormat::kJpeg)
      CheckDecodesCompletely(bytes, facts);
    return {{slide.picture_name, stored, slide.x, slide.y}, std::nullopt, ""};
  }

  Outcome Prepared(const ManifestSlide& slide, std::span<const uint8_t> bytes,
                   const PictureFacts& facts) const {
    PrepareSettings settings;
    settings.area_width = manifest_.width;
    settings.area_height = manifest_.height;
    settings.fit = slide.fit;
    settings.background = manifest_.background;
    settings.quality = slide.quality;
    settings.max_upscale = options_.max_upscale;
    PreparedPicture prepared = PreparePicture(bytes, facts, settings);
    Outcome outcome{
        {PreparedName(slide), {}, prepared.x, prepared.y}, spill_.Add(prepared.jpeg), ""};
    if (slide.has_position) {
      outcome.warning = manifest_.path.string() + ":" + std::to_string(slide.line) +
                        ": warning: x and y are set by fit = \"" + FitName(slide.fit) +
                        "\" and are not used";
    }
    return outcome;
  }

  const Manifest& manifest_;
  const BuildOptions& options_;
  SpillFile& spill_;
};

}  // namespace

std::vector<SlidePicture> LoadSlidePictures(const Manifest& manifest, const BuildOptions& options,
                                            const std::filesystem::path& spill_folder) {
  const size_t count = manifest.slides.size();
  SpillFile spill(spill_folder);
  const Worker worker(manifest, options, spill);
  std::vector<std::optional<Outcome>> outcomes(count);

  std::mutex lock;  // guards the progress line and the failure
  Progress progress("preparing pictures", count, Progress::Unit::kPictures);
  std::atomic<size_t> next{0};
  std::atomic<size_t> first_failed{count};
  std::optional<SlidepackError> failure;
  auto work = [&] {
    for (size_t i = next++; i < count && i < first_failed && !InterruptRequested(); i = next++) {
      try {
        outcomes[i] = worker.Run(manifest.slides[i]);
      } catch (const std::exception& error) {
        const std::lock_guard<std::mutex> guard(lock);
        // Every slide before a failed one is taken before it, so the first failure in show
        // order is the one reported, however the threads are scheduled.
        if (i < first_failed) {
          first_failed = i;
          failure = dynamic_cast<const SlidepackError*>(&error) != nullptr
                        ? SlidepackError(error.what())
                        : LineError(manifest, manifest.slides[i].picture.line,
                                    "picture " + manifest.slides[i].picture.path.string() + ": " +
                                        error.what());
        }
        continue;
      }
      const std::lock_guard<std::mutex> guard(lock);
      progress.Advance(1);
    }
  };
  const size_t threads = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, count);
  std::condition_variable finished;
  size_t running = threads;
  std::vector<std::thread> pool;
  for (size_t t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      work();
      const std::lock_guard<std::mutex> guard(lock);
      --running;
      finished.notify_one();
    });
  }
  {
    // libvips looks at a stop request between the bands of the picture it writes, but reads a
    // large picture whole before the first band: after a signal the workers get a moment to
    // stop, then the process ends without them (nothing it wrote has a name yet).
    std::optional<std::chrono::steady_clock::time_point> asked;
    std::unique_lock<std::mutex> guard(lock);
    while (!finished.wait_for(guard, std::chrono::milliseconds(50), [&] { return running == 0; })) {
      if (!InterruptRequested()) continue;
      if (!asked) asked = std::chrono::steady_clock::now();
      if (std::chrono::steady_clock::now() - *asked > std::chrono::milliseconds(300)) {
        EndInterruptedNow();
      }
    }
  }
  for (std::thread& thread : pool) thread.join();
  StopIfInterrupted();
  if (failure) throw *failure;
  progress.Finish();

  std::vector<SlidePicture> pictures;
  pictures.reserve(count);
  for (std::optional<Outcome>& outcome : outcomes) {
    if (!outcome->warning.empty()) std::cerr << "slidepack: " << outcome->warning << '\n';
    if (outcome->prepared) outcome->picture.data = spill.Get(*outcome->prepared);
    pictures.push_back(std::move(outcome->picture));
  }
  return pictures;
}

}  // namespace slidepack
