#include "platform/linux/sdl/byte_source_rwops.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace slidesaver::linux_platform {
namespace {

constexpr uint64_t kPieceBytes = uint64_t{64} << 10;

struct Stream {
  Stream(std::shared_ptr<const media::ByteSource> from, uint64_t end, std::function<bool()> stop_if)
      : source(std::move(from)), extent(end), stop(std::move(stop_if)) {}

  std::shared_ptr<const media::ByteSource> source;
  uint64_t extent;
  std::function<bool()> stop;
  uint64_t at = 0;
  std::vector<uint8_t> piece;  // the bytes from piece_at on, read ahead
  uint64_t piece_at = 0;
};

Stream& Of(SDL_RWops* ops) { return *static_cast<Stream*>(ops->hidden.unknown.data1); }

Sint64 SDLCALL Size(SDL_RWops* ops) { return static_cast<Sint64>(Of(ops).extent); }

// Any place from the start on, as a file allows; reads past the end read nothing.
Sint64 SDLCALL Seek(SDL_RWops* ops, Sint64 offset, int whence) {
  Stream& s = Of(ops);
  const Sint64 base = whence == RW_SEEK_SET   ? 0
                      : whence == RW_SEEK_CUR ? static_cast<Sint64>(s.at)
                                              : static_cast<Sint64>(s.extent);
  if (offset < -base) return SDL_SetError("seek before the start");
  s.at = static_cast<uint64_t>(base + offset);
  return static_cast<Sint64>(s.at);
}

size_t SDLCALL Read(SDL_RWops* ops, void* out, size_t size, size_t count) {
  Stream& s = Of(ops);
  if (s.stop && s.stop()) {
    SDL_SetError("the process is asked to end");
    return 0;
  }
  if (size == 0 || s.at >= s.extent) return 0;
  count = static_cast<size_t>(std::min<uint64_t>(count, (s.extent - s.at) / size));
  auto* to = static_cast<uint8_t*>(out);
  for (uint64_t left = uint64_t{count} * size; left > 0;) {
    if (s.at < s.piece_at || s.at - s.piece_at >= s.piece.size()) {
      s.piece.resize(static_cast<size_t>(std::min(kPieceBytes, s.extent - s.at)));
      s.piece_at = s.at;
      try {
        s.source->ReadAt(s.at, s.piece);
      } catch (const media::ReadError& error) {
        s.piece.clear();
        SDL_SetError("%s", error.what());
        return 0;
      }
    }
    const size_t offset = static_cast<size_t>(s.at - s.piece_at);
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, s.piece.size() - offset));
    std::memcpy(to, s.piece.data() + offset, n);
    to += n;
    s.at += n;
    left -= n;
  }
  return count;
}

size_t SDLCALL Write(SDL_RWops*, const void*, size_t, size_t) { return 0; }

int SDLCALL Close(SDL_RWops* ops) {
  delete &Of(ops);
  SDL_FreeRW(ops);
  return 0;
}

}  // namespace

SDL_RWops* ByteSourceRWops(std::shared_ptr<const media::ByteSource> source, uint64_t extent,
                           std::function<bool()> stop) {
  SDL_RWops* ops = SDL_AllocRW();
  if (!ops) return nullptr;
  ops->type = SDL_RWOPS_UNKNOWN;
  ops->size = Size;
  ops->seek = Seek;
  ops->read = Read;
  ops->write = Write;
  ops->close = Close;
  const uint64_t size = source->Size();
  ops->hidden.unknown.data1 =
      new Stream(std::move(source), std::min(extent, size), std::move(stop));
  return ops;
}

}  // namespace slidesaver::linux_platform
