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
// start of every pass, and the first one at its set-up. A picture that will never be sampled
// (the one loaded as the play ends) is not decoded.
class CountingLoader : public platform::PictureLoader {
 public:
  explicit CountingLoader(platform::PictureLoader& loader) : loader_(loader) {}
  gdi::Bitmap Load(const std::string& path) override {
    if (on_load && !on_load()) return gdi::Bitmap::Color(1, 1);
    return loader_.Load(path);
  }
  // Returns whether the picture will be seen.
  std::function<bool()> on_load;

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
                    SoundTrack* track)
      : window(package.ShowWidth, package.ShowHeight),
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
  OffscreenServices services(package_, *files_, *pictures_, base_folder_.string(), nullptr);
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
  timed_ = Play(passes, nullptr, nullptr, nullptr, stand_in);
  return *timed_;
}

ShowTimeline OffscreenShow::Sample(int32_t passes, const std::vector<int64_t>& ticks,
                                   SoundTrack* track, const ScreenSample& sample) {
  const SampleTick tick_of = [&](size_t index, const ShowTimeline&) -> std::optional<int64_t> {
    if (index < ticks.size()) return ticks[index];
    return std::nullopt;
  };
  ShowTimeline played = Play(passes, tick_of, track, sample, *pictures_);
  if (timed_ && timed_->passes.size() == played.passes.size() && !(*timed_ == played)) {
    throw SlidepackError(name_ + ": the show's timing differs between two plays");
  }
  return played;
}

ShowTimeline OffscreenShow::SampleEvery(int32_t first_pass, int32_t passes, int fps,
                                        SoundTrack* track, const ScreenSample& sample) {
  const auto first = static_cast<size_t>(first_pass);
  const SampleTick tick_of = [&](size_t index,
                                 const ShowTimeline& so_far) -> std::optional<int64_t> {
    if (so_far.passes.size() <= first) return std::nullopt;
    return so_far.passes[first].start + static_cast<int64_t>(index) * 1000 / fps;
  };
  return Play(passes, tick_of, track, sample, *pictures_);
}

ShowTimeline OffscreenShow::Play(int32_t passes, const SampleTick& tick_of, SoundTrack* track,
                                 const ScreenSample& sample, platform::PictureLoader& loader) {
  OffscreenServices services(package_, *files_, loader, base_folder_.string(), track);
  const size_t slide_count = package_.Slides.size();
  ShowTimeline timeline;
  int64_t loads = 0;
  bool ended = false, transition_pending = false;
  std::exception_ptr failure;
  const slidesaver::ShowForm* form = nullptr;

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
    if (loads == 1) return true;
    if (ended) return false;
    if (loads - 2 < passes) {
      timeline.passes.push_back({static_cast<int32_t>((loads - 2) % slide_count), now, now});
      transition_pending = true;
      if (on_pass) guarded([&] { on_pass(timeline); });
      return true;
    }
    timeline.end = now;
    ended = true;
    services.events.RequestClose();
    return false;
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
      const auto stop_if_asked = [&] {
        if (keep_going && !keep_going()) throw SlidepackError("interrupted");
      };
      stop_if_asked();
      if (ended || !tick_of) return;
      for (std::optional<int64_t> tick; (tick = tick_of(next, timeline)) && *tick < to; ++next) {
        // A long slide is many frames within one move of the clock.
        stop_if_asked();
        // The screen is the show's own image: it must hold nothing the show has not presented.
        if (form && !form->visible_area.Context().Dirty().Empty()) {
          throw SlidepackError(name_ + ": the show drew without presenting before its clock moved");
        }
        sample(next, *tick, services.window.Screen(), services.window.TakeChanged());
      }
    });
  };

  slidesaver::Settings settings;  // the settings file's choices don't apply: all on
  settings.BgmEnabled = -1;
  settings.SoundEnabled = -1;
  {
    slidesaver::ShowForm show_form(services.platform, package_, settings, *extracted_);
    form = &show_form;
    try {
      show_form.Run();
    } catch (const PlayAborted&) {
      show_form.HideWindow();
      std::rethrow_exception(failure);
    }
    show_form.HideWindow();
  }
  if (!services.dialogs.messages.empty()) {
    throw SlidepackError(
        name_ + ": the show stopped with an error: " + Reported(services.dialogs.messages.front()));
  }
  const std::optional<int64_t> unsampled = tick_of ? tick_of(next, timeline) : std::nullopt;
  if (!ended || (unsampled && *unsampled < timeline.end)) {
    throw SlidepackError(name_ + ": the show ended before its last slide");
  }
  return timeline;
}

}  // namespace slidepack::render
