// Rendering a 1920 x 1080 show to video: three photos, one second each, leaving with a wipe
// (19), a slide (5) and an ellipse (30), sampled at 30 frames per second. Measured in the same
// run:
//   draw_convert_fps  the frames of the show drawn by the player's show form on the offscreen
//                     platform in the one play a render makes, each changed frame converted to
//                     YUV 4:2:0, nothing encoded;
//   h264_fps          the whole `slidepack render` to MP4 (libx264 at its default preset), and
//   h264_realtime     its rate against the show's own length; h264_realtime_2_cores shares its
//                     processor time out over two cores of its own;
//   xfade_fps         the reference: ffmpeg's xfade filter making the same number of 1080p frames
//                     with a wipe, a slide and a circle of the same durations.
// The *_to_xfade ratios compare frame rates by the clock and by processor time (the work per
// frame, which other programs on a busy machine don't inflate).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/run_program.h"
#include "tests/slidepack/test_pictures.h"
#include "tools/slidepack/commands.h"
#include "tools/slidepack/render/frame_pixels.h"
#include "tools/slidepack/render/offscreen_show.h"
#include "tools/slidepack/render/show_source.h"

namespace {

namespace fs = std::filesystem;
using slidesaver::bench::Seconds;
using namespace slidepack::render;

constexpr int kFps = 30;
constexpr int kEffects[] = {19, 5, 30};
const char* const kXfades[] = {"wipeleft", "slideleft", "circleopen"};

class ShowFolder {
 public:
  ShowFolder() {
    std::string pattern = (fs::temp_directory_path() / "render-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    std::ofstream manifest(folder_ / "show.toml");
    manifest << "width = 1920\nheight = 1080\n";
    for (int i = 0; i < 3; ++i) {
      const std::string name = "photo-" + std::to_string(i) + ".jpg";
      slidepack_test::PhotoLikePicture(1920, 1080, i)
          .jpegsave((folder_ / name).c_str(), vips::VImage::option()->set("Q", 90));
      manifest << "\n[[slide]]\npicture = \"" << name << "\"\ntime = 1000\neffect = " << kEffects[i]
               << "\n";
    }
  }
  ~ShowFolder() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  fs::path Manifest() const { return folder_ / "show.toml"; }
  const fs::path& folder() const { return folder_; }

 private:
  fs::path folder_;
};

double ProcessorSeconds(const rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor seconds of this process (who: RUSAGE_SELF, all threads) or of this thread.
double ProcessorSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return ProcessorSeconds(usage);
}

// ffmpeg's xfade over four plain colours, with the show's display times and transition
// durations, stopped after `frames` frames.
double Xfade(const ShowTimeline& timeline, int64_t frames) {
  std::vector<std::string> args = {"ffmpeg", "-v", "error", "-y"};
  const char* colours[] = {"0x3060a0", "0xa06030", "0x30a060", "0x3060a0"};
  for (const char* colour : colours) {
    for (const char* arg : {"-f", "lavfi", "-i"}) args.push_back(arg);
    args.push_back(std::string("color=c=") + colour + ":s=1920x1080:r=30:d=60");
  }
  std::string graph, last = "[0]";
  double offset = 0;
  for (size_t j = 0; j < 3; ++j) {
    const ShowPass& pass = timeline.passes[j];
    const double display = (pass.transition - pass.start) / 1000.0;
    const double transition = (timeline.EndOf(j) - pass.transition) / 1000.0;
    offset += display;
    const std::string out = j == 2 ? "[out]" : "[x" + std::to_string(j) + "]";
    char step[160];
    std::snprintf(step, sizeof step, "%s[%zu]xfade=transition=%s:duration=%.3f:offset=%.3f%s;",
                  last.c_str(), j + 1, kXfades[j], transition, offset, out.c_str());
    graph += step;
    offset += transition;
    last = out;
  }
  graph.pop_back();
  for (const std::string& arg :
       {std::string("-filter_complex"), graph, std::string("-map"), std::string("[out]"),
        std::string("-frames:v"), std::to_string(frames), std::string("-f"), std::string("null"),
        std::string("-")}) {
    args.push_back(arg);
  }
  return ProcessorSeconds(slidesaver::bench::RunToSuccess(args));
}

void RenderBench(benchmark::State& state) {
  static ShowFolder show_folder;
  const ShowSource source = LoadShowSource(show_folder.Manifest(), show_folder.folder());
  OffscreenShow show(source.package, source.name);

  // The planes of one 4:2:0 frame, converted where the screen changed, as the writer does.
  std::vector<uint8_t> y(1920 * 1080), u(960 * 540), v(960 * 540);
  uint8_t* planes[3] = {y.data(), u.data(), v.data()};
  const int strides[3] = {1920, 960, 960};
  FrameScaler same_size(1920, 1080, 1920, 1080);
  ShowTimeline timeline;
  int64_t frames = 0, changed_frames = 0;
  double draw_seconds = 0, draw_processor_seconds = 0;
  double encode_seconds = 0, encode_processor_seconds = 0;
  for (auto _ : state) {
    frames = changed_frames = 0;
    const double draw_before = ProcessorSeconds(RUSAGE_THREAD);
    draw_seconds += Seconds([&] {
      timeline = show.SampleEvery(0, 3, kFps, nullptr,
                                  [&](size_t, int64_t, const slidesaver::gdi::Bitmap& screen,
                                      const slidesaver::gdi::Rect& changed) {
                                    ++frames;
                                    const FrameView view = same_size.Scale(screen, changed);
                                    if (changed.Empty()) return;
                                    ++changed_frames;
                                    ConvertToI420(view, changed.top & ~1,
                                                  std::min(1080, (changed.bottom + 1) & ~1), planes,
                                                  strides);
                                  });
    });
    draw_processor_seconds += ProcessorSeconds(RUSAGE_THREAD) - draw_before;
    slidepack::RenderOptions options;
    options.output = show_folder.folder() / "show.mp4";
    options.fps = kFps;
    options.audio = false;
    const double processor_before = ProcessorSeconds(RUSAGE_SELF);
    encode_seconds += Seconds([&] { slidepack::Render(show_folder.Manifest(), options); });
    encode_processor_seconds += ProcessorSeconds(RUSAGE_SELF) - processor_before;
  }
  double xfade_processor_seconds = 0;
  const double xfade_seconds = Seconds([&] { xfade_processor_seconds = Xfade(timeline, frames); });
  const auto iterations = static_cast<double>(state.iterations());
  const double show_seconds = (timeline.end - timeline.passes.front().start) / 1000.0;
  const double draw_fps = frames * iterations / draw_seconds;
  const double xfade_fps = frames / xfade_seconds;
  state.counters["frames"] = static_cast<double>(frames);
  state.counters["changed_frames"] = static_cast<double>(changed_frames);
  state.counters["draw_convert_fps"] = draw_fps;
  state.counters["xfade_fps"] = xfade_fps;
  state.counters["draw_convert_to_xfade"] = draw_fps / xfade_fps;
  // The same by processor time, which a busy machine doesn't inflate: the work per frame.
  state.counters["draw_convert_to_xfade_cpu"] =
      (xfade_processor_seconds / frames) / (draw_processor_seconds / (frames * iterations));
  state.counters["h264_fps"] = frames * iterations / encode_seconds;
  state.counters["h264_realtime"] = show_seconds * iterations / encode_seconds;
  // On two cores of its own: the processor time shared out, as x264's threads do.
  state.counters["h264_realtime_2_cores"] =
      show_seconds * iterations / (encode_processor_seconds / 2);
}

BENCHMARK(RenderBench)
    ->Name("Render/1920/1080")
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace
