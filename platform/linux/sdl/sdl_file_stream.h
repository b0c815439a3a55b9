#pragma once
// A picture file as SDL2_image's decoders read it: the first `extent` bytes of a ByteSource,
// read a piece at a time, so the file is never held in memory beside the decoded picture, and
// nothing past the picture's end is read. Once a close is requested every read fails, and the
// decoder gives up.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/byte_source.h"

namespace slidesaver::linux_platform {

class SdlFileStream {
 public:
  SdlFileStream(const platform::ByteSource& file, uint64_t extent,
                const std::function<bool()>& close_requested);
  ~SdlFileStream();
  SdlFileStream(const SdlFileStream&) = delete;
  SdlFileStream& operator=(const SdlFileStream&) = delete;

  // The stream for IMG_LoadTyped_RW with freesrc 0; null when SDL could not make one.
  SDL_RWops* get() const { return stream_; }
  bool StoppedForClose() const { return stopped_for_close_; }

 private:
  static SdlFileStream& Of(SDL_RWops* stream);
  static Sint64 Size(SDL_RWops* stream);
  static Sint64 Seek(SDL_RWops* stream, Sint64 offset, int whence);
  static size_t Read(SDL_RWops* stream, void* out, size_t size, size_t count);
  static size_t Write(SDL_RWops* stream, const void* in, size_t size, size_t count);
  static int Close(SDL_RWops* stream);

  const platform::ByteSource& file_;
  uint64_t extent_;
  const std::function<bool()>& close_requested_;
  SDL_RWops* stream_;
  uint64_t at_ = 0;  // the stream's position
  std::vector<uint8_t> piece_;
  uint64_t piece_at_ = 0;  // the file offset of piece_'s first byte
  bool stopped_for_close_ = false;
};

}  // namespace slidesaver::linux_platform
