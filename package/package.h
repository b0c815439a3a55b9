#pragma once
// The Package appended to the player's file: the show's geometry, music and slides.
// Strings are byte strings in the ANSI code page, kept as they are stored.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "media/byte_source.h"

namespace slidesaver {

// Bytes held by the Package: a range of a source shared by the whole Package (the program's
// file, read as it is needed, or a buffer in memory).
class Bytes {
 public:
  Bytes() = default;
  Bytes(std::shared_ptr<const media::ByteSource> source, uint64_t offset, size_t size)
      : source_(std::move(source)), offset_(offset), size_(size) {}
  // The whole source.
  explicit Bytes(std::shared_ptr<const media::ByteSource> source);
  static Bytes Copy(std::span<const uint8_t> bytes);

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const media::ByteSource* Source() const { return source_.get(); }
  const std::shared_ptr<const media::ByteSource>& SharedSource() const { return source_; }
  uint64_t Offset() const { return offset_; }

  // Bytes in memory have a span; bytes in a file are read with ReadAt, ForEachPiece or Load.
  bool InMemory() const { return size_ == 0 || source_->Memory() != nullptr; }
  // Throws std::logic_error for bytes that are not InMemory().
  std::span<const uint8_t> span() const;
  const uint8_t* data() const { return span().data(); }

  // These throw media::ReadError when the source can't be read.
  void ReadAt(uint64_t at, std::span<uint8_t> out) const;
  // Hands the bytes over in order, in pieces of at most `piece_bytes` (bytes in memory as they
  // are, without a copy).
  void ForEachPiece(const std::function<void(std::span<const uint8_t>)>& take,
                    size_t piece_bytes = media::kCopyPieceBytes) const;
  std::vector<uint8_t> Load() const;
  // The first min(n, size()) bytes.
  std::vector<uint8_t> Head(size_t n) const;

 private:
  std::shared_ptr<const media::ByteSource> source_;
  uint64_t offset_ = 0;
  size_t size_ = 0;
};

// True when both hold the same bytes; compared piece by piece.
bool SameContent(const Bytes& a, const Bytes& b);

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

// More slides than a Package may hold: each takes some 150 bytes in memory, and a file could
// otherwise claim tens of millions of empty ones.
inline constexpr size_t kMaxSlides = size_t{1} << 20;

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
