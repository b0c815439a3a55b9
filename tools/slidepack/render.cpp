// `slidepack render`: the show played on the offscreen platform, sampled at every frame time.
#include <algorithm>
#include <cctype>
#include <optional>

#include "tools/slidepack/commands.h"
#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/new_show.h"
#include "tools/slidepack/progress.h"
#include "tools/slidepack/render/frame_writer.h"
#include "tools/slidepack/render/offscreen_show.h"
#include "tools/slidepack/render/show_source.h"
#include "tools/slidepack/render/sound_mixer.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

using render::OutputKind;

// Past this the frame times alone would fill the memory: render fewer slides.
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
  const render::ShowTimeline timeline = show.Time(passes);
  const int64_t start = timeline.passes[static_cast<size_t>(options.from - 1)].start;
  const int64_t duration = timeline.end - start;
  // Frame i shows the screen at start + i / fps seconds, as far as the millisecond clock
  // tells it; the last one comes before the end of the last transition.
  const int64_t frames = (duration * options.fps + 999) / 1000;
  if (frames > kMaxFrames) {
    throw SlidepackError("the render would have " + std::to_string(frames) +
                         " frames; render fewer slides or use a lower --fps");
  }
  std::vector<int64_t> ticks(static_cast<size_t>(frames));
  for (int64_t i = 0; i < frames; ++i)
    ticks[static_cast<size_t>(i)] = start + i * 1000 / options.fps;

  render::WriterSettings settings;
  settings.width = package.ShowWidth;
  settings.height = package.ShowHeight;
  if (options.size) ParseShowSize(*options.size, settings.width, settings.height);
  if (options.size && render::NeedsEvenSides(kind) &&
      (settings.width % 2 != 0 || settings.height % 2 != 0)) {
    throw SlidepackError("--size " + *options.size + ": MP4 and WebM need even sides");
  }
  settings.fps = options.fps;
  settings.frames = frames;
  settings.audio = options.audio && (kind == OutputKind::kMp4 || kind == OutputKind::kWebm);

  render::FrameScaler scaler(package.ShowWidth, package.ShowHeight, settings.width,
                             settings.height);
  std::unique_ptr<render::FrameWriter> writer =
      render::MakeFrameWriter(kind, options.output, settings);
  std::optional<render::SoundMixer> mixer;
  if (settings.audio) mixer.emplace(start);

  Progress progress("rendering " + options.output.string(), static_cast<uint64_t>(frames),
                    Progress::Unit::kFrames);
  show.Sample(passes, ticks, mixer ? &*mixer : nullptr,
              [&](size_t index, const slidesaver::gdi::Bitmap& screen,
                  const slidesaver::gdi::Rect& changed) {
                writer->AddFrame(scaler.Scale(screen, changed));
                if (mixer) writer->AddAudio(mixer->TakeUntil(ticks[index]));
                progress.Advance(1);
              });
  if (mixer) writer->AddAudio(mixer->TakeUntil(timeline.end));
  writer->Finish();
  progress.Finish();
}

}  // namespace slidepack
