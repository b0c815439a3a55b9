#include "platform/linux/sdl/byte_source_rwops.h"

#include <algorithm>

namespace slidesaver::linux_platform {
namespace {

struct Stream {
  std::shared_ptr<const platform::ByteSource> source;
  Sint64 at = 0;
};

Stream& Of(SDL_RWops* ops) { return *static_cast<Stream*>(ops->hidden.unknown.data1); }

Sint64 SDLCALL Size(SDL_RWops* ops) { return static_cast<Sint64>(Of(ops).source->Size()); }

Sint64 SDLCALL Seek(SDL_RWops* ops, Sint64 offset, int whence) {
  Stream& s = Of(ops);
  const Sint64 base = whence == RW_SEEK_SET   ? 0
                      : whence == RW_SEEK_CUR ? s.at
                                              : static_cast<Sint64>(s.source->Size());
  if (offset < -base) return SDL_SetError("seek before the start");
  s.at = base + offset;
  return s.at;
}

size_t SDLCALL Read(SDL_RWops* ops, void* out, size_t size, size_t count) {
  Stream& s = Of(ops);
  const uint64_t total = s.source->Size();
  if (size == 0 || static_cast<uint64_t>(s.at) >= total) return 0;
  const size_t n = static_cast<size_t>(std::min<uint64_t>(count, (total - s.at) / size));
  try {
    s.source->ReadAt(static_cast<uint64_t>(s.at), {static_cast<uint8_t*>(out), n * size});
  } catch (const platform::ReadError& error) {
    SDL_SetError("%s", error.what());
    return 0;
  }
  s.at += static_cast<Sint64>(n * size);
  return n;
}

size_t SDLCALL Write(SDL_RWops*, const void*, size_t, size_t) { return 0; }

int SDLCALL Close(SDL_RWops* ops) {
  delete &Of(ops);
  SDL_FreeRW(ops);
  return 0;
}

}  // namespace

SDL_RWops* ByteSourceRWops(std::shared_ptr<const platform::ByteSource> source) {
  SDL_RWops* ops = SDL_AllocRW();
  if (!ops) return nullptr;
  ops->type = SDL_RWOPS_UNKNOWN;
  ops->size = Size;
  ops->seek = Seek;
  ops->read = Read;
  ops->write = Write;
  ops->close = Close;
  ops->hidden.unknown.data1 = new Stream{std::move(source)};
  return ops;
}

}  // namespace slidesaver::linux_platform
