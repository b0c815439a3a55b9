#include "package/read_package.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace slidesaver {
namespace {

// The smallest encoding of one SlideEntry: two empty strings, five 32-bit integers, two 16-bit
// booleans and two empty arrays. An element count is believed only when this many bytes remain
// for every element.
constexpr size_t kMinSlideEntryBytes = 2 + 2 + 5 * 4 + 2 + 2 + 2 + 2;

// Reads little-endian fields from a bounded range of a source; every read first checks that the
// bytes remain. A file is read through a window of its bytes, so only the fields are read: the
// byte arrays stay where they are and become ranges of the source. The first read that doesn't
// fit, or can't be read, records why and fails; later reads fail too.
class FieldReader {
 public:
  FieldReader(std::shared_ptr<const media::ByteSource> source, uint64_t begin, uint64_t end)
      : source_(std::move(source)), memory_(source_->Memory()), pos_(begin), end_(end) {}

  uint64_t remaining() const { return end_ - pos_; }
  bool failed() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }

  std::optional<int16_t> Int16(std::string_view field) {
    const uint8_t* p = Take(2, field);
    if (!p) return std::nullopt;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
  }

  std::optional<int32_t> Int32(std::string_view field) {
    const uint8_t* p = Take(4, field);
    if (!p) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
  }

  std::optional<std::string> String(std::string_view field) {
    const auto count = Int16(field);
    if (!count) return std::nullopt;
    const size_t n = static_cast<uint16_t>(*count);  // the count is unsigned on disk
    const uint8_t* p = Take(n, field);
    if (!p) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(p), n);
  }

  // The dimension header of a dynamic array: its element count, 0 for an empty array.
  // The count is accepted only when `min_element_bytes` per element remain, and it is at most
  // `max_count`.
  std::optional<size_t> ArrayCount(std::string_view field, size_t min_element_bytes,
                                   size_t max_count = SIZE_MAX) {
    const auto dims = Int16(field);
    if (!dims) return std::nullopt;
    if (*dims == 0) return 0;
    if (*dims != 1) return Fail(field, "has " + std::to_string(*dims) + " dimensions");
    const auto count = Int32(field);
    if (!count) return std::nullopt;
    const auto lower_bound = Int32(field);
    if (!lower_bound) return std::nullopt;
    if (*count < 0) return Fail(field, "has a negative element count");
    const size_t n = static_cast<size_t>(*count);
    if (min_element_bytes != 0 && n > remaining() / min_element_bytes)
      return Fail(field, "claims " + std::to_string(n) + " elements, more than the data holds");
    if (n > max_count) {
      return Fail(field, "claims " + std::to_string(n) + " elements, more than the " +
                             std::to_string(max_count) + " a Package may hold");
    }
    return n;
  }

  // A byte array is not read: it becomes the range of the source it occupies.
  std::optional<Bytes> ByteArray(std::string_view field) {
    const auto count = ArrayCount(field, 1);
    if (!count) return std::nullopt;
    if (*count == 0) return Bytes();
    Bytes bytes(source_, pos_, *count);
    pos_ += *count;
    return bytes;
  }

 private:
  static constexpr size_t kWindowBytes = size_t{1} << 17;  // more than the longest string

  // The next n bytes, or null when they don't remain or can't be read.
  const uint8_t* Take(size_t n, std::string_view field) {
    if (failed()) return nullptr;
    if (n > remaining()) {
      Fail(field,
           "needs " + std::to_string(n) + " bytes, " + std::to_string(remaining()) + " remain");
      return nullptr;
    }
    const uint64_t at = pos_;
    pos_ += n;
    if (memory_) return memory_ + at;
    if (at < window_start_ || at + n > window_start_ + window_.size()) {
      try {
        window_.resize(static_cast<size_t>(std::min<uint64_t>(kWindowBytes, end_ - at)));
        source_->ReadAt(at, window_);
      } catch (const media::ReadError& error) {
        window_.clear();
        Fail(field, std::string("cannot be read: ") + error.what());
        return nullptr;
      }
      window_start_ = at;
    }
    return window_.data() + (at - window_start_);
  }

  std::nullopt_t Fail(std::string_view field, const std::string& why) {
    if (!failed()) problem_ = std::string(field) + " " + why;
    return std::nullopt;
  }

  std::shared_ptr<const media::ByteSource> source_;
  const uint8_t* memory_;  // the source's bytes when it lies in memory
  uint64_t pos_;
  uint64_t end_;
  std::vector<uint8_t> window_;
  uint64_t window_start_ = 0;
  std::string problem_;
};

// Each Assign stores a field only when it was read, so an early stop leaves the rest untouched.
template <typename T, typename U>
bool Assign(T& target, std::optional<U>&& value) {
  if (!value) return false;
  target = std::move(*value);
  return true;
}

bool ReadSlide(FieldReader& in, SlideEntry& slide) {
  return Assign(slide.PictureFileName, in.String("PictureFileName")) &&
         Assign(slide.SoundFileName, in.String("SoundFileName")) &&
         Assign(slide.DisplayTime, in.Int32("DisplayTime")) &&
         Assign(slide.PictureX, in.Int32("PictureX")) &&
         Assign(slide.PictureY, in.Int32("PictureY")) &&
         Assign(slide.EffectNumber, in.Int32("EffectNumber")) &&
         Assign(slide.SpeedExponent, in.Int32("SpeedExponent")) &&
         Assign(slide.Overlay, in.Int16("Overlay")) &&
         Assign(slide.Transparent, in.Int16("Transparent")) &&
         Assign(slide.PictureData, in.ByteArray("PictureData")) &&
         Assign(slide.SoundData, in.ByteArray("SoundData"));
}

bool ReadHeader(FieldReader& in, PackageHeader& header) {
  if (!(Assign(header.ShowWidth, in.Int32("ShowWidth")) &&
        Assign(header.ShowHeight, in.Int32("ShowHeight")) &&
        Assign(header.BackgroundColor, in.Int32("BackgroundColor")) &&
        Assign(header.HasSettings, in.Int16("HasSettings")) &&
        Assign(header.SlideCount, in.Int32("SlideCount")) &&
        Assign(header.BgmFileName, in.String("BgmFileName")) &&
        Assign(header.BgmData, in.ByteArray("BgmData"))))
    return false;
  const auto count = in.ArrayCount("Slides", kMinSlideEntryBytes, kMaxSlides);
  if (!count) return false;
  // Grown as the slides are read, so that memory follows the bytes actually there.
  for (size_t i = 0; i < *count; ++i) {
    header.Slides.emplace_back();
    if (!ReadSlide(in, header.Slides.back())) return false;
  }
  return Assign(header.PackageSize, in.Int32("PackageSize"));
}

}  // namespace

PackageReadResult ReadPackage(std::shared_ptr<const media::ByteSource> file,
                              PackageHeader& header) {
  header = PackageHeader();
  PackageReadResult result;
  const uint64_t length = file->Size();
  if (length < 4) {
    result.problem =
        "the file is too short to hold a Package (" + std::to_string(length) + " bytes)";
    return result;
  }
  uint8_t tail[4];
  try {
    file->ReadAt(length - 4, tail);
  } catch (const media::ReadError& error) {
    result.problem = std::string("PackageSize cannot be read: ") + error.what();
    return result;
  }
  const int32_t size = static_cast<int32_t>(
      static_cast<uint32_t>(tail[0]) | (static_cast<uint32_t>(tail[1]) << 8) |
      (static_cast<uint32_t>(tail[2]) << 16) | (static_cast<uint32_t>(tail[3]) << 24));
  if (size <= 0 || static_cast<uint64_t>(size) > length) {
    result.problem = "PackageSize " + std::to_string(size) + " does not fit a file of " +
                     std::to_string(length) + " bytes";
    return result;
  }
  result.package_offset = length - static_cast<uint64_t>(size);
  FieldReader in(std::move(file), result.package_offset, length);
  result.complete = ReadHeader(in, header);
  result.problem = in.problem();
  return result;
}

PackageReadResult ReadPackage(std::span<const uint8_t> file, std::shared_ptr<const void> owner,
                              PackageHeader& header) {
  return ReadPackage(std::make_shared<media::MemorySource>(file, std::move(owner)), header);
}

PackageReadResult ReadPackageFile(platform::FileSystem& files, const std::string& path,
                                  PackageHeader& header) {
  header = PackageHeader();
  auto file = files.OpenForReading(path);
  if (!file) {
    PackageReadResult result;
    result.problem = "cannot open " + path + ": " + file.reason();
    return result;
  }
  return ReadPackage(std::move(file).value(), header);
}

}  // namespace slidesaver
