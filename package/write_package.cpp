#include "package/write_package.h"

#include <limits>
#include <string>

namespace slidesaver {
namespace {

constexpr uint64_t kInt16Bytes = 2;
constexpr uint64_t kInt32Bytes = 4;
constexpr uint64_t kArrayHeaderBytes = 2 + 4 + 4;  // dimensions, element count, lower bound

void CheckString(const std::string& s, const char* field) {
  if (s.size() > std::numeric_limits<uint16_t>::max())
    throw PackageWriteError(std::string(field) + " is longer than 65,535 bytes");
}
void CheckCount(uint64_t n, const char* field) {
  if (n > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
    throw PackageWriteError(std::string(field) + " has too many elements");
}

uint64_t StringBytes(const std::string& s, const char* field) {
  CheckString(s, field);
  return kInt16Bytes + s.size();
}
uint64_t ByteArrayBytes(const Bytes& b, const char* field) {
  CheckCount(b.size(), field);
  return b.empty() ? kInt16Bytes : kArrayHeaderBytes + b.size();
}

// Collects small fields into a buffer and hands it to the sink before each large byte array.
class FieldWriter {
 public:
  explicit FieldWriter(const std::function<void(std::span<const uint8_t>)>& sink) : sink_(sink) {}
  ~FieldWriter() = default;

  void Int16(int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    buffer_.push_back(static_cast<uint8_t>(u));
    buffer_.push_back(static_cast<uint8_t>(u >> 8));
  }
  void Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) buffer_.push_back(static_cast<uint8_t>(u >> shift));
  }
  void String(const std::string& s) {
    Int16(static_cast<int16_t>(static_cast<uint16_t>(s.size())));
    buffer_.insert(buffer_.end(), s.begin(), s.end());
  }
  void ArrayHeader(size_t count) {
    Int16(1);
    Int32(static_cast<int32_t>(count));
    Int32(0);
  }
  void ByteArray(const Bytes& b) {
    if (b.empty()) {
      Int16(0);
      return;
    }
    ArrayHeader(b.size());
    Flush();
    b.ForEachPiece(sink_);
  }
  void Flush() {
    if (buffer_.empty()) return;
    sink_(buffer_);
    buffer_.clear();
  }

 private:
  const std::function<void(std::span<const uint8_t>)>& sink_;
  std::vector<uint8_t> buffer_;
};

}  // namespace

uint64_t PackageByteCount(const PackageHeader& header) {
  uint64_t n = 3 * kInt32Bytes + kInt16Bytes + kInt32Bytes;
  n += StringBytes(header.BgmFileName, "BgmFileName");
  n += ByteArrayBytes(header.BgmData, "BgmData");
  CheckCount(header.Slides.size(), "Slides");
  if (header.Slides.size() > kMaxSlides)
    throw PackageWriteError("the show has more than " + std::to_string(kMaxSlides) + " slides");
  n += header.Slides.empty() ? kInt16Bytes : kArrayHeaderBytes;
  for (const SlideEntry& slide : header.Slides) {
    n += StringBytes(slide.PictureFileName, "PictureFileName");
    n += StringBytes(slide.SoundFileName, "SoundFileName");
    n += 5 * kInt32Bytes + 2 * kInt16Bytes;
    n += ByteArrayBytes(slide.PictureData, "PictureData");
    n += ByteArrayBytes(slide.SoundData, "SoundData");
  }
  n += kInt32Bytes;
  if (n > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
    throw PackageWriteError("the Package would be " + std::to_string(n) +
                            " bytes, more than PackageSize can hold");
  return n;
}

void WritePackage(const PackageHeader& header,
                  const std::function<void(std::span<const uint8_t>)>& sink) {
  const uint64_t size = PackageByteCount(header);  // validates everything before the first byte
  FieldWriter out(sink);
  out.Int32(header.ShowWidth);
  out.Int32(header.ShowHeight);
  out.Int32(header.BackgroundColor);
  out.Int16(header.HasSettings);
  out.Int32(header.SlideCount);
  out.String(header.BgmFileName);
  out.ByteArray(header.BgmData);
  if (header.Slides.empty()) {
    out.Int16(0);
  } else {
    out.ArrayHeader(header.Slides.size());
  }
  for (const SlideEntry& slide : header.Slides) {
    out.String(slide.PictureFileName);
    out.String(slide.SoundFileName);
    out.Int32(slide.DisplayTime);
    out.Int32(slide.PictureX);
    out.Int32(slide.PictureY);
    out.Int32(slide.EffectNumber);
    out.Int32(slide.SpeedExponent);
    out.Int16(slide.Overlay);
    out.Int16(slide.Transparent);
    out.ByteArray(slide.PictureData);
    out.ByteArray(slide.SoundData);
  }
  out.Int32(static_cast<int32_t>(size));
  out.Flush();
}

std::vector<uint8_t> WritePackage(const PackageHeader& header) {
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(PackageByteCount(header)));
  WritePackage(header, [&bytes](std::span<const uint8_t> piece) {
    bytes.insert(bytes.end(), piece.begin(), piece.end());
  });
  return bytes;
}

}  // namespace slidesaver
