#pragma once
// The picture formats the system tells apart, the same for the players' header check and for
// the photos slidepack and the folder show prepare.
namespace slidesaver::media {

// The players decode the first six; HEIF (HEIC, AVIF) is only ever read from a photo and
// prepared, so the players' header check never reports it.
enum class PictureFormat { kJpeg, kPng, kGif, kBmp, kTiff, kWebp, kHeif };

// "JPEG", "PNG", ... "HEIF"
const char* FormatName(PictureFormat format);

}  // namespace slidesaver::media
