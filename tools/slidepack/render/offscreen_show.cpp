#include "tools/slidepack/render/offscreen_show.h"

#include <exception>

#include "package/extract_files.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl/sdl_picture_loader.h"
#include "settings/settings.h"
#include "show/show_form.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack::render {

namespace {

// Thrown through the show's error trap, which lets anything but a std::exception pass, when
// the renderer's own work fails in the middle of the show; the failure itself is kept aside.
struct PlayAborted {};

// The Linux player's loader, telling each load: the show loads the incoming picture at the
// start of every pass, and the first one at its set-up.
class CountingLoader : public platform::PictureLoader {
 public:
  explicit CountingLoader(platform::PictureLoader& loader) : loader_(loader) {}
  gdi::Bitmap Load(const std::string& path) override {
    if (on_load) on_load();
    return loader_.Load(path);
  }
  std::function<void()> on_load;

 private:
  platform::PictureLoader& loader_;
};

// The timing of a show doesn't depend on what its pictures hold: to learn it, each picture
// can be a single pixel, which spares the decoding and most of the composing.
class StandInLoader : public platform::PictureLoader {
 public:
  gdi::Bitmap Load(const std::string&) override { return gdi::Bitmap::Color(1, 1); }
};

struct OffscreenServices {
  OffscreenServices(const slidesaver::PackageHeader& package, platform::FileSystem& files,
                    platform::PictureLoader& loader, const std::string& base_folder,
                    SoundTrack* track, bool keep_screen)
      : window(package.ShowWidth, package.ShowHeight, keep_screen),
        events(window),
        audio(events, track),
        system(base_folder),
        pictures(loader),
        platform{process, files, system, events, window, audio, pictures, dialogs} {}

  OffscreenShowWindow window;
  OffscreenEventLoop events;
  OffscreenAudio audio;
  OffscreenDialogs dialogs;
  OffscreenSystem system;
  OffscreenProcess process;
  CountingLoader pictures;
  platform::Platform platform;
};

// The show's error box says that an error occurred, then its description and its source, a
// line each: "<description> (<source>)".
std::string Reported(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t from = 0;;) {
    const size_t end = text.find("\r\n", from);
    lines.push_back(text.substr(from, end - from));
    if (end == std::string::npos) break;
    from = end + 2;
  }
  return lines.size() == 3 ? lines[1] + " (" + lines[2] + ")" : text;
}

}  // namespace

OffscreenShow::OffscreenShow(const slidesaver::PackageHeader& package, std::string name)
    : package_(package), name_(std::move(name)) {
  if (package.Slides.empty()) throw SlidepackError(name_ + ": the show has no slides");
  if (package.ShowWidth < 1 || package.ShowWidth > kMaxShowSide || package.ShowHeight < 1 ||
      package.ShowHeight > kMaxShowSide) {
    throw SlidepackError(name_ + ": the show area " + std::to_string(package.ShowWidth) + "x" +
                         std::to_string(package.ShowHeight) + " is not 1 to " +
                         std::to_string(kMaxShowSide) + " pixels a side");
  }
  std::string pattern =
      (std::filesystem::temp_directory_path() / "slidepack-render-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw FileError(pattern, "cannot create a temporary folder");
  base_folder_ = pattern;
  files_ = slidesaver::linux_platform::MakePosixFileSystem();
  pictures_ = slidesaver::linux_platform::MakeSdlPictureLoader();
  OffscreenServices services(package_, *files_, *pictures_, base_folder_.string(), nullptr, false);
  extracted_ = std::make_unique<slidesaver::ExtractedShow>(
      slidesaver::ExtractFiles(services.platform, package_));
}

OffscreenShow::~OffscreenShow() {
  extracted_.reset();  // the files and their folder first
  std::error_code ignored;
  std::filesystem::remove(base_folder_, ignored);
}

ShowTimeline OffscreenShow::Time(int32_t passes) {
  StandInLoader stand_in;
  timed_ = Play(passes, {}, nullptr, nullptr, stand_in);
  return *timed_;
}

ShowTimeline OffscreenShow::Sample(int32_t passes, const std::vector<int64_t>& ticks,
                                   SoundTrack* track, const ScreenSample& sample) {
  ShowTimeline played = Play(passes, ticks, track, sample, *pictures_);
  if (timed_ && timed_->passes.size() == played.passes.size() && !(*timed_ == played)) {
    throw SlidepackError(name_ + ": the show's timing differs between two plays");
  }
  return played;
}

ShowTimeline OffscreenShow::Play(int32_t passes, const std::vector<int64_t>& ticks,
                                 SoundTrack* track, const ScreenSample& sample,
                                 platform::PictureLoader& loader) {
  OffscreenServices services(package_, *files_, loader, base_folder_.string(), track,
                             !ticks.empty());
  const size_t slide_count = package_.Slides.size();
  ShowTimeline timeline;
  int64_t loads = 0;
  bool ended = false, transition_pending = false;
  std::exception_ptr failure;

  // Any failure of the renderer's own work ends the show through its error trap.
  auto guarded = [&](auto&& work) {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
      throw PlayAborted{};
    }
  };

  // Load 0 is the set-up's; load k starts pass k - 1; the load after the last pass ends it.
  services.pictures.on_load = [&] {
    const int64_t now = services.events.Now();
    ++loads;
    if (loads == 1 || ended) return;
    if (loads - 2 < passes) {
      timeline.passes.push_back({static_cast<int32_t>((loads - 2) % slide_count), now, now});
      transition_pending = true;
    } else {
      timeline.end = now;
      ended = true;
      services.events.RequestClose();
    }
  };
  // The transition's first frame is the first presentation after the pass began.
  services.window.on_present = [&] {
    if (!transition_pending) return;
    transition_pending = false;
    timeline.passes.back().transition = services.events.Now();
  };
  size_t next = 0;
  services.events.before_time_moves = [&](int64_t, int64_t to) {
    guarded([&] {
      if (keep_going && !keep_going()) throw SlidepackError("interrupted");
      for (; next < ticks.size() && ticks[next] < to; ++next) {
        sample(next, services.window.Screen(), services.window.TakeChanged());
      }
    });
  };

  slidesaver::Settings settings;  // the settings file's choices don't apply: all on
  settings.BgmEnabled = -1;
  settings.SoundEnabled = -1;
  {
    slidesaver::ShowForm form(services.platform, package_, settings, *extracted_);
    try {
      form.Run();
    } catch (const PlayAborted&) {
      form.HideWindow();
      std::rethrow_exception(failure);
    }
    form.HideWindow();
  }
  if (!services.dialogs.messages.empty()) {
    throw SlidepackError(
        name_ + ": the show stopped with an error: " + Reported(services.dialogs.messages.front()));
  }
  if (!ended || next < ticks.size()) {
    throw SlidepackError(name_ + ": the show ended before its last slide");
  }
  return timeline;
}

}  // namespace slidepack::render
