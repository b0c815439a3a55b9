#pragma once
// A folder of numbered PNG frames (frame-000001.png, ...), made under a temporary name beside
// its path and renamed into place by Finish(). The path must name nothing yet, or an empty
// folder. An unchanged frame is the same bytes as the one before, not encoded again.
#include <filesystem>
#include <string>
#include <vector>

#include "tools/slidepack/render/frame_writer.h"

namespace slidepack::render {

class PngFolderWriter : public FrameWriter {
 public:
  PngFolderWriter(const std::filesystem::path& path, const WriterSettings& settings);
  ~PngFolderWriter() override;

  void AddFrame(const FrameView& frame) override;
  void AddAudio(std::span<const float>) override {}
  void Finish() override;

  // The name of frame `index` (0-based) among `frames`.
  static std::string FrameName(int64_t index, int64_t frames);

 private:
  std::filesystem::path path_;
  std::filesystem::path temp_;
  int64_t frames_ = 0;  // expected: the names' length
  int64_t written_ = 0;
  std::vector<uint8_t> png_;  // the last frame's file
  bool finished_ = false;
};

}  // namespace slidepack::render
