// `slidepack render`: the show played on the offscreen platform, sampled at every frame time.
#include <algorithm>
#include <cctype>
#include <optional>

#include "tools/slidepack/commands.h"
#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/new_show.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/render/frame_count_estimate.h"
#include "tools/slidepack/render/frame_writer.h"
#include "tools/slidepack/render/offscreen_show.h"
#include "tools/slidepack/render/show_source.h"
#include "tools/slidepack/render/sound_mixer.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

using render::OutputKind;

// Past this a render takes days: render fewer slides.
constexpr int64_t kMaxFrames = 10'000'000;
constexpr int64_t kMaxSlides = 1'000'000;

OutputKind KindOf(const std::filesystem::path& output) {
  std::string extension = output.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".mp4") return OutputKind::kMp4;
  if (extension == ".webm") return OutputKind::kWebm;
  if (extension == ".gif") return OutputKind::kGif;
  std::error_code error;
  if (extension.empty() || std::filesystem::is_directory(output, error)) {
    return OutputKind::kFolder;
  }
  throw SlidepackError(output.string() +
                       ": unknown kind of output; give a .mp4, .webm or .gif file, or a folder "
                       "for PNG frames");
}

std::filesystem::path FolderOf(const std::filesystem::path& output) {
  const std::filesystem::path folder = output.parent_path();
  return folder.empty() ? "." : folder;
}

}  // namespace

void Render(const std::filesystem::path& show_path, const RenderOptions& options) {
  const OutputKind kind = KindOf(options.output);
  if (options.fps < 1 || options.fps > 1000) {
    throw SlidepackError("--fps " + std::to_string(options.fps) + " is not 1 to 1000");
  }
  Interruptible interrupt;
  const render::ShowSource source = render::LoadShowSource(show_path, FolderOf(options.output));
  const slidesaver::PackageHeader& package = source.package;
  const auto slide_count = static_cast<int64_t>(package.Slides.size());
  if (slide_count == 0) throw SlidepackError(source.name + ": the show has no slides");

  if (options.from < 1 || options.from > slide_count) {
    throw SlidepackError("--from " + std::to_string(options.from) + ": " + source.name + " has " +
                         std::to_string(slide_count) + " slides");
  }
  const int64_t slides = options.slides ? *options.slides : int64_t{options.loops} * slide_count;
  if (slides < 1 || slides > kMaxSlides) {
    throw SlidepackError("the render would have " + std::to_string(slides) + " slides; give 1 to " +
                         std::to_string(kMaxSlides));
  }
  const auto passes = static_cast<int32_t>(options.from - 1 + slides);

  render::OffscreenShow show(package, source.name);
  show.keep_going = [&] { return !interrupt.Interrupted(); };
  // The show is played once: how many frames it makes is known at its end. Until then the
  // count is estimated; the display times alone tell that it is too long early.
  render::FrameCountEstimate estimate(package, static_cast<int32_t>(options.from - 1), passes,
                                      options.fps);
  const int64_t at_least = estimate.Frames();
  if (at_least > kMaxFrames) {
    throw SlidepackError("the render would have at least " + std::to_string(at_least) +
                         " frames; render fewer slides or use a lower --fps");
  }

  render::WriterSettings settings;
  settings.width = package.ShowWidth;
  settings.height = package.ShowHeight;
  if (options.size) ParseShowSize(*options.size, settings.width, settings.height);
  if (options.size && render::NeedsEvenSides(kind) &&
      (settings.width % 2 != 0 || settings.height % 2 != 0)) {
    throw SlidepackError("--size " + *options.size + ": MP4 and WebM need even sides");
  }
  settings.fps = options.fps;
  settings.frames = at_least;
  settings.audio = options.audio && (kind == OutputKind::kMp4 || kind == OutputKind::kWebm);

  render::FrameScaler scaler(package.ShowWidth, package.ShowHeight, settings.width,
                             settings.height);
  std::unique_ptr<render::FrameWriter> writer =
      render::MakeFrameWriter(kind, options.output, settings);
  std::optional<render::SoundMixer> mixer;
  if (settings.audio) mixer.emplace();

  Progress progress("rendering " + options.output.string(), static_cast<uint64_t>(at_least),
                    Progress::Unit::kFrames);
  int64_t frames = 0;
  show.on_pass = [&](const render::ShowTimeline& so_far) {
    if (mixer && so_far.passes.size() == static_cast<size_t>(options.from)) {
      mixer->StartAt(so_far.passes.back().start);
    }
    progress.SetTotal(static_cast<uint64_t>(std::max(estimate.Frames(so_far), frames + 1)));
  };
  const render::ShowTimeline timeline = show.SampleEvery(
      static_cast<int32_t>(options.from - 1), passes, options.fps, mixer ? &*mixer : nullptr,
      [&](size_t, int64_t tick, const slidesaver::gdi::Bitmap& screen,
          const slidesaver::gdi::Rect& changed) {
        if (frames == kMaxFrames) {
          throw SlidepackError("the render would have more than " + std::to_string(kMaxFrames) +
                               " frames; render fewer slides or use a lower --fps");
        }
        writer->AddFrame(scaler.Scale(screen, changed));
        if (mixer) writer->AddAudio(mixer->TakeUntil(tick));
        ++frames;
        progress.Advance(1);
      });
  if (mixer) writer->AddAudio(mixer->TakeUntil(timeline.end));
  writer->Finish();
  progress.SetTotal(static_cast<uint64_t>(frames));
  progress.Finish();
}

}  // namespace slidepack
