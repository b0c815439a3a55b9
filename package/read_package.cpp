#include "package/read_package.h"

#include <optional>
#include <string_view>

namespace slidesaver {
namespace {

// The smallest encoding of one SlideEntry: two empty strings, five 32-bit integers, two 16-bit
// booleans and two empty arrays. An element count is believed only when this many bytes remain
// for every element.
constexpr size_t kMinSlideEntryBytes = 2 + 2 + 5 * 4 + 2 + 2 + 2 + 2;

// Reads little-endian fields from a bounded span; every read first checks that the bytes remain.
// The first read that doesn't fit records why and fails; later reads fail too.
class FieldReader {
 public:
  FieldReader(std::span<const uint8_t> data, std::shared_ptr<const void> owner)
      : data_(data), owner_(std::move(owner)) {}

  size_t remaining() const { return data_.size() - pos_; }
  bool failed() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }

  std::optional<int16_t> Int16(std::string_view field) {
    if (!Need(2, field)) return std::nullopt;
    const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return static_cast<int16_t>(v);
  }

  std::optional<int32_t> Int32(std::string_view field) {
    if (!Need(4, field)) return std::nullopt;
    const uint32_t v = static_cast<uint32_t>(data_[pos_]) |
                       (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                       (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                       (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return static_cast<int32_t>(v);
  }

  std::optional<std::string> String(std::string_view field) {
    const auto count = Int16(field);
    if (!count) return std::nullopt;
    const size_t n = static_cast<uint16_t>(*count);  // the count is unsigned on disk
    if (!Need(n, field)) return std::nullopt;
    std::string s(reinterpret_cast<const char*>(data_.data() + pos_), n);
    pos_ += n;
    return s;
  }

  // The dimension header of a dynamic array: its element count, 0 for an empty array.
  // The count is accepted only when `min_element_bytes` per element remain.
  std::optional<size_t> ArrayCount(std::string_view field, size_t min_element_bytes) {
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
    return n;
  }

  std::optional<Bytes> ByteArray(std::string_view field) {
    const auto count = ArrayCount(field, 1);
    if (!count) return std::nullopt;
    Bytes bytes(owner_, data_.data() + pos_, *count);
    if (*count == 0) bytes = Bytes();
    pos_ += *count;
    return bytes;
  }

 private:
  bool Need(size_t n, std::string_view field) {
    if (failed()) return false;
    if (n > remaining()) {
      Fail(field,
           "needs " + std::to_string(n) + " bytes, " + std::to_string(remaining()) + " remain");
      return false;
    }
    return true;
  }
  std::nullopt_t Fail(std::string_view field, const std::string& why) {
    if (!failed()) problem_ = std::string(field) + " " + why;
    return std::nullopt;
  }

  std::span<const uint8_t> data_;
  std::shared_ptr<const void> owner_;
  size_t pos_ = 0;
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
  const auto count = in.ArrayCount("Slides", kMinSlideEntryBytes);
  if (!count) return false;
  header.Slides.resize(*count);
  for (size_t i = 0; i < *count; ++i) {
    if (!ReadSlide(in, header.Slides[i])) return false;
  }
  return Assign(header.PackageSize, in.Int32("PackageSize"));
}

}  // namespace

PackageReadResult ReadPackage(std::span<const uint8_t> file, std::shared_ptr<const void> owner,
                              PackageHeader& header) {
  header = PackageHeader();
  PackageReadResult result;
  const size_t length = file.size();
  if (length < 4) {
    result.problem =
        "the file is too short to hold a Package (" + std::to_string(length) + " bytes)";
    return result;
  }
  const uint8_t* tail = file.data() + length - 4;
  const int32_t size = static_cast<int32_t>(
      static_cast<uint32_t>(tail[0]) | (static_cast<uint32_t>(tail[1]) << 8) |
      (static_cast<uint32_t>(tail[2]) << 16) | (static_cast<uint32_t>(tail[3]) << 24));
  if (size <= 0 || static_cast<uint64_t>(size) > length) {
    result.problem = "PackageSize " + std::to_string(size) + " does not fit a file of " +
                     std::to_string(length) + " bytes";
    return result;
  }
  result.package_offset = length - static_cast<size_t>(size);
  FieldReader in(file.subspan(result.package_offset), std::move(owner));
  result.complete = ReadHeader(in, header);
  result.problem = in.problem();
  return result;
}

PackageReadResult ReadPackageFile(platform::FileSystem& files, const std::string& path,
                                  PackageHeader& header) {
  header = PackageHeader();
  std::shared_ptr<const platform::MappedFile> mapping = files.MapFile(path);
  if (!mapping) {
    PackageReadResult result;
    result.problem = "cannot open " + path;
    return result;
  }
  std::span<const uint8_t> bytes(mapping->data(), mapping->size());
  return ReadPackage(bytes, std::move(mapping), header);
}

}  // namespace slidesaver
