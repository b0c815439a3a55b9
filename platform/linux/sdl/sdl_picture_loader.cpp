// Pictures on Linux: SDL2_image decodes JPEG, PNG, GIF, BMP, TIFF and WebP by their content,
// whatever the file is called, into 0x00RRGGBB bitmaps, once the header check has found the
// picture whole and within the players' budget.
#include "platform/linux/sdl/sdl_picture_loader.h"

#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "common/run_time_error.h"
#include "platform/picture_header.h"

namespace slidesaver::linux_platform {
namespace {

// The whole file, which must be an ordinary one of at most kMaxPictureFileBytes.
std::vector<uint8_t> ReadPictureFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FileNotFoundError(path);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    throw FileNotFoundError(path);
  }
  if (static_cast<uint64_t>(info.st_size) > platform::kMaxPictureFileBytes) {
    close(fd);
    throw InvalidPictureError(path, "the file is larger than the player reads");
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  if (done != bytes.size()) throw FileNotFoundError(path);
  return bytes;
}

// SDL_image's name of the decoder for each format: only that one is let near the bytes.
const char* DecoderOf(platform::PictureFormat format) {
  switch (format) {
    case platform::PictureFormat::kJpeg:
      return "JPG";
    case platform::PictureFormat::kPng:
      return "PNG";
    case platform::PictureFormat::kGif:
      return "GIF";
    case platform::PictureFormat::kBmp:
      return "BMP";
    case platform::PictureFormat::kTiff:
      return "TIF";
    case platform::PictureFormat::kWebp:
      break;
  }
  return "WEBP";
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

class SdlPictureLoader : public platform::PictureLoader {
 public:
  gdi::Bitmap Load(const std::string& path) override {
    return DecodeSdlPicture(ReadPictureFile(path), path);
  }
};

}  // namespace

gdi::Bitmap DecodeSdlPicture(std::span<const uint8_t> bytes, const std::string& name) {
  platform::PictureHeader header;
  const std::string problem = platform::CheckPictureBeforeDecoding(bytes, &header);
  if (!problem.empty()) throw InvalidPictureError(name, problem);
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!stream) throw InvalidPictureError(name);
  SurfacePtr decoded(IMG_LoadTyped_RW(stream, 1, DecoderOf(header.format)));
  if (!decoded || decoded->w <= 0 || decoded->h <= 0 ||
      int64_t{decoded->w} * decoded->h > platform::kMaxPicturePixels) {
    throw InvalidPictureError(name, decoded ? "" : SDL_GetError());
  }
  // Converted straight into the bitmap's rows: a plain copy, without blending or colour key.
  gdi::Bitmap bitmap = gdi::Bitmap::Color(decoded->w, decoded->h);
  SurfacePtr rows(SDL_CreateRGBSurfaceWithFormatFrom(bitmap.Row(0), decoded->w, decoded->h, 32,
                                                     decoded->w * 4, SDL_PIXELFORMAT_RGB888));
  if (!rows) throw InvalidPictureError(name, SDL_GetError());
  SDL_SetSurfaceBlendMode(decoded.get(), SDL_BLENDMODE_NONE);
  SDL_SetColorKey(decoded.get(), SDL_FALSE, 0);
  if (SDL_BlitSurface(decoded.get(), nullptr, rows.get(), nullptr) != 0)
    throw InvalidPictureError(name, SDL_GetError());
  for (int y = 0; y < decoded->h; ++y) {
    uint32_t* row = bitmap.Row(y);
    for (int x = 0; x < decoded->w; ++x) row[x] &= 0x00FFFFFFu;
  }
  return bitmap;
}

std::unique_ptr<platform::PictureLoader> MakeSdlPictureLoader() {
  return std::make_unique<SdlPictureLoader>();
}

}  // namespace slidesaver::linux_platform
