#pragma once
// Where the rendered frames go: a video file or a folder of numbered pictures. A writer puts
// its output in place only when Finish() completes; destroyed before that, it leaves nothing.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "tools/slidepack/render/audio_source.h"
#include "tools/slidepack/render/frame_pixels.h"

namespace slidepack::render {

enum class OutputKind { kMp4, kWebm, kGif, kFolder };

class FrameWriter {
 public:
  virtual ~FrameWriter() = default;
  // The next frame; its `changed` part tells what differs from the frame before.
  virtual void AddFrame(const FrameView& frame) = 0;
  // The next samples of the sound track: left and right alternating, at kAudioRate.
  virtual void AddAudio(std::span<const float> samples) = 0;
  virtual void Finish() = 0;
};

struct WriterSettings {
  int32_t width = 0;  // of the frames
  int32_t height = 0;
  int fps = 30;
  int64_t frames = 0;  // how many are expected to come
  bool audio = false;  // a sound track, for the kinds that carry one
};

// MP4: H.264 and AAC, the index at the front (faststart). WebM: VP9 and Opus. GIF: a palette
// made for each changed frame (libimagequant), unchanged frames folded into the delay before
// them. Folder: frame-000001.png and on, RGB.
std::unique_ptr<FrameWriter> MakeFrameWriter(OutputKind kind, const std::filesystem::path& path,
                                             const WriterSettings& settings);

// True for the kinds whose frames are 4:2:0 video, which needs even sides.
bool NeedsEvenSides(OutputKind kind);

}  // namespace slidepack::render
