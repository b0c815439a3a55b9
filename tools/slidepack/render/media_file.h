#pragma once
// A video file written with FFmpeg's libraries: MP4 (H.264 + AAC), WebM (VP9 + Opus) or an
// animated GIF. Written under a temporary name beside its path and renamed into place by
// Finish().
#include <filesystem>
#include <memory>
#include <vector>

#include "tools/slidepack/files.h"
#include "tools/slidepack/render/frame_writer.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

namespace slidepack::render {

class MediaFileWriter : public FrameWriter {
 public:
  MediaFileWriter(OutputKind kind, const std::filesystem::path& path,
                  const WriterSettings& settings);
  ~MediaFileWriter() override;

  void AddFrame(const FrameView& frame) override;
  void AddAudio(std::span<const float> samples) override;
  void Finish() override;

 private:
  struct Encoder {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
  };
  void OpenVideo(OutputKind kind);
  void OpenAudio(OutputKind kind);
  void Send(Encoder& encoder, AVFrame* frame);
  void Write(Encoder& encoder, AVPacket* packet);
  void WriteHeldGifPacket(int64_t next_pts);
  void SendAudio(const float* samples, size_t per_channel);
  void Check(int result, const char* what);

  std::filesystem::path path_;
  WriterSettings settings_;
  OutputFile file_;
  AVFormatContext* format_ = nullptr;
  Encoder video_, audio_;
  AVFrame* picture_ = nullptr;  // YUV 4:2:0 or palette indices, kept from frame to frame
  AVFrame* sound_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVPacket* held_ = nullptr;  // GIF: the last packet, written once its duration is known
  bool gif_ = false;
  int64_t frames_ = 0;
  int64_t audio_pts_ = 0;
  std::vector<float> pending_audio_;
};

}  // namespace slidepack::render
