// Pictures on Linux, decoded by their content whatever the file is called into 0x00RRGGBB
// bitmaps, once the header check has found the picture whole and within the players' budget:
// JPEG with libjpeg-turbo; PNG, GIF, BMP, TIFF and WebP with SDL2_image, reading the file a
// piece at a time up to the picture's end. Both stop on a close request.
#include "platform/linux/sdl/sdl_picture_loader.h"

#include <SDL.h>
#include <SDL_image.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "common/run_time_error.h"
#include "media/picture_header.h"
#include "platform/linux/decoded_picture_cache.h"
#include "platform/linux/jpeg/jpeg_decoder.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl/byte_source_rwops.h"

namespace slidesaver::linux_platform {
namespace {

// SDL_image's name of the decoder for each format: only that one is let near the bytes.
const char* DecoderOf(media::PictureFormat format) {
  switch (format) {
    case media::PictureFormat::kJpeg:
      return "JPG";
    case media::PictureFormat::kPng:
      return "PNG";
    case media::PictureFormat::kGif:
      return "GIF";
    case media::PictureFormat::kBmp:
      return "BMP";
    case media::PictureFormat::kTiff:
      return "TIF";
    case media::PictureFormat::kWebp:
      return "WEBP";
    case media::PictureFormat::kHeif:
      break;  // the header check reports none: the players decode no HEIF
  }
  return "";
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The decoded surface and the bitmap are held together for the time of one conversion.
gdi::Bitmap DecodeWithSdl(const media::ByteSource& file, const media::PictureHeader& header,
                          const std::string& name, const std::function<bool()>& close_requested) {
  // The stream does not outlive this call (the loader closes it), so it need not own the file.
  SDL_RWops* stream =
      ByteSourceRWops(std::shared_ptr<const media::ByteSource>(std::shared_ptr<void>(), &file),
                      header.extent, close_requested);
  if (!stream) throw InvalidPictureError(name, SDL_GetError());
  SurfacePtr decoded(IMG_LoadTyped_RW(stream, 1, DecoderOf(header.format)));
  // A decoding cut short by a close request ends the show as the close signal does.
  if (close_requested && close_requested()) throw ProcessExit{0};
  if (!decoded || decoded->w <= 0 || decoded->h <= 0 ||
      int64_t{decoded->w} * decoded->h > media::kMaxDecodedPicturePixels) {
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

class SdlPictureLoader : public platform::PictureLoader {
 public:
  explicit SdlPictureLoader(std::function<bool()> close_requested)
      : close_requested_(std::move(close_requested)) {}

  gdi::Bitmap Load(const std::string& path) override {
    const std::shared_ptr<const media::ByteSource> file =
        files_->OpenForReading(path).value_or(nullptr);
    struct stat info {};
    if (!file || stat(path.c_str(), &info) != 0) throw FileNotFoundError(path);
    if (file->Size() > media::kMaxPictureFileBytes)
      throw InvalidPictureError(path, "the file is larger than the player reads");
    const PictureFileKey key{path, info.st_dev, info.st_ino, static_cast<uint64_t>(info.st_size),
                             int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec};
    if (const gdi::Bitmap* kept = cache_.Find(key)) return *kept;
    gdi::Bitmap picture = DecodePicture(*file, path, close_requested_);
    // A file replaced between the open and the stat is not kept under the other's key.
    if (key.size == file->Size()) cache_.Keep(key, picture);
    return picture;
  }

 private:
  std::function<bool()> close_requested_;
  std::unique_ptr<platform::FileSystem> files_ = MakePosixFileSystem();
  DecodedPictureCache cache_{media::kDecodedPictureCacheBytes};
};

}  // namespace

gdi::Bitmap DecodePicture(const media::ByteSource& file, const std::string& name,
                          const std::function<bool()>& close_requested) {
  media::PictureHeader header;
  const std::string problem = media::CheckPictureBeforeDecoding(file, &header);
  if (!problem.empty()) throw InvalidPictureError(name, problem);
  if (header.format == media::PictureFormat::kJpeg)
    return DecodeJpeg(file, header.extent, name, close_requested);
  return DecodeWithSdl(file, header, name, close_requested);
}

gdi::Bitmap DecodeSdlPicture(std::span<const uint8_t> bytes, const std::string& name) {
  return DecodePicture(media::MemorySource(bytes), name);
}

std::unique_ptr<platform::PictureLoader> MakeSdlPictureLoader(
    std::function<bool()> close_requested) {
  return std::make_unique<SdlPictureLoader>(std::move(close_requested));
}

}  // namespace slidesaver::linux_platform
