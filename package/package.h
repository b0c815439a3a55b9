#pragma once
// The Package appended to the player's file: the show's geometry, music and slides.
// Strings are byte strings in the ANSI code page, kept as they are stored.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace slidesaver {

// Bytes held by the Package: a view into storage shared by the whole Package
// (a read-only mapping of the program file, or an owned buffer).
class Bytes {
 public:
  Bytes() = default;
  Bytes(std::shared_ptr<const void> owner, const uint8_t* data, size_t size)
      : owner_(std::move(owner)), data_(data), size_(size) {}
  static Bytes Copy(std::span<const uint8_t> bytes);

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::span<const uint8_t> span() const { return {data_, size_}; }

 private:
  std::shared_ptr<const void> owner_;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

struct SlideEntry {
  std::string PictureFileName;
  std::string SoundFileName;
  int32_t DisplayTime = 0;
  int32_t PictureX = 0;
  int32_t PictureY = 0;
  int32_t EffectNumber = 0;
  int32_t SpeedExponent = 0;
  int16_t Overlay = 0;
  int16_t Transparent = 0;
  Bytes PictureData;
  Bytes SoundData;
};

struct PackageHeader {
  int32_t ShowWidth = 0;
  int32_t ShowHeight = 0;
  int32_t BackgroundColor = 0;  // 0x00BBGGRR
  int16_t HasSettings = 0;
  int32_t SlideCount = 0;
  std::string BgmFileName;
  Bytes BgmData;
  std::vector<SlideEntry> Slides;
  int32_t PackageSize = 0;
};

}  // namespace slidesaver
