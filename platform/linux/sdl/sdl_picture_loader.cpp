// Pictures on Linux: SDL2_image decodes JPEG, PNG, BMP and GIF by their content, whatever the
// file is called, into 0x00RRGGBB bitmaps.
#include <SDL.h>
#include <SDL_image.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "common/run_time_error.h"
#include "platform/linux/sdl/sdl_picture_loader.h"

namespace slidesaver::linux_platform {
namespace {

// Larger pictures are refused rather than risking the memory of the machine.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 27;

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) throw FileNotFoundError(path);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) throw FileNotFoundError(path);
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  if (std::ferror(file.get())) throw FileNotFoundError(path);
  return bytes;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

class SdlPictureLoader : public platform::PictureLoader {
 public:
  gdi::Bitmap Load(const std::string& path) override {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    if (bytes.empty() || bytes.size() > INT32_MAX) throw InvalidPictureError(path);
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream) throw InvalidPictureError(path);
    SurfacePtr decoded(IMG_Load_RW(stream, 1));
    if (!decoded || decoded->w <= 0 || decoded->h <= 0 ||
        int64_t{decoded->w} * decoded->h > kMaxPicturePixels) {
      throw InvalidPictureError(path);
    }
    SurfacePtr rgb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!rgb) throw InvalidPictureError(path);
    gdi::Bitmap bitmap = gdi::Bitmap::Color(rgb->w, rgb->h);
    if (SDL_MUSTLOCK(rgb.get())) SDL_LockSurface(rgb.get());
    for (int y = 0; y < rgb->h; ++y) {
      const auto* row =
          static_cast<const uint8_t*>(rgb->pixels) + static_cast<size_t>(y) * rgb->pitch;
      std::memcpy(bitmap.Row(y), row, static_cast<size_t>(rgb->w) * 4);
      for (int x = 0; x < rgb->w; ++x) bitmap.Row(y)[x] &= 0x00FFFFFFu;
    }
    if (SDL_MUSTLOCK(rgb.get())) SDL_UnlockSurface(rgb.get());
    return bitmap;
  }
};

}  // namespace

std::unique_ptr<platform::PictureLoader> MakeSdlPictureLoader() {
  return std::make_unique<SdlPictureLoader>();
}

}  // namespace slidesaver::linux_platform
