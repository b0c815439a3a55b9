#include "platform/linux/sdl/sdl_file_stream.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace slidesaver::linux_platform {
namespace {

constexpr uint64_t kPieceBytes = uint64_t{64} << 10;

}  // namespace

SdlFileStream::SdlFileStream(const platform::ByteSource& file, uint64_t extent,
                             const std::function<bool()>& close_requested)
    : file_(file),
      extent_(std::min(extent, file.Size())),
      close_requested_(close_requested),
      stream_(SDL_AllocRW()) {
  if (!stream_) return;
  stream_->type = SDL_RWOPS_UNKNOWN;
  stream_->hidden.unknown.data1 = this;
  stream_->size = Size;
  stream_->seek = Seek;
  stream_->read = Read;
  stream_->write = Write;
  stream_->close = Close;
}

SdlFileStream::~SdlFileStream() {
  if (stream_) SDL_FreeRW(stream_);
}

SdlFileStream& SdlFileStream::Of(SDL_RWops* stream) {
  return *static_cast<SdlFileStream*>(stream->hidden.unknown.data1);
}

Sint64 SdlFileStream::Size(SDL_RWops* stream) { return static_cast<Sint64>(Of(stream).extent_); }

Sint64 SdlFileStream::Seek(SDL_RWops* stream, Sint64 offset, int whence) {
  SdlFileStream& self = Of(stream);
  const Sint64 base = whence == RW_SEEK_SET   ? 0
                      : whence == RW_SEEK_CUR ? static_cast<Sint64>(self.at_)
                                              : static_cast<Sint64>(self.extent_);
  if (offset < -base || offset > static_cast<Sint64>(self.extent_) - base)
    return SDL_SetError("a seek outside the picture");
  self.at_ = static_cast<uint64_t>(base + offset);
  return static_cast<Sint64>(self.at_);
}

size_t SdlFileStream::Read(SDL_RWops* stream, void* out, size_t size, size_t count) {
  SdlFileStream& self = Of(stream);
  if (self.close_requested_ && self.close_requested_()) {
    self.stopped_for_close_ = true;
    SDL_SetError("the process is asked to end");
    return 0;
  }
  if (size == 0) return 0;
  count = static_cast<size_t>(std::min<uint64_t>(count, (self.extent_ - self.at_) / size));
  auto* to = static_cast<uint8_t*>(out);
  for (uint64_t left = uint64_t{count} * size; left > 0;) {
    if (self.at_ - self.piece_at_ >= self.piece_.size()) {
      self.piece_.resize(static_cast<size_t>(std::min(kPieceBytes, self.extent_ - self.at_)));
      self.piece_at_ = self.at_;
      try {
        self.file_.ReadAt(self.at_, self.piece_);
      } catch (const platform::ReadError& error) {
        self.piece_.clear();
        SDL_SetError("%s", error.what());
        return 0;
      }
    }
    const size_t offset = static_cast<size_t>(self.at_ - self.piece_at_);
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, self.piece_.size() - offset));
    std::memcpy(to, self.piece_.data() + offset, n);
    to += n;
    self.at_ += n;
    left -= n;
  }
  return count;
}

size_t SdlFileStream::Write(SDL_RWops*, const void*, size_t, size_t) { return 0; }

// The stream goes with this object, not with SDL's close.
int SdlFileStream::Close(SDL_RWops*) { return 0; }

}  // namespace slidesaver::linux_platform
