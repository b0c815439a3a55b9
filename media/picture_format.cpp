#include "media/picture_format.h"

namespace slidesaver::media {

const char* FormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::kJpeg:
      return "JPEG";
    case PictureFormat::kPng:
      return "PNG";
    case PictureFormat::kGif:
      return "GIF";
    case PictureFormat::kBmp:
      return "BMP";
    case PictureFormat::kTiff:
      return "TIFF";
    case PictureFormat::kWebp:
      return "WebP";
    case PictureFormat::kHeif:
      break;
  }
  return "HEIF";
}

}  // namespace slidesaver::media
