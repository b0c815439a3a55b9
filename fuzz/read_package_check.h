#pragma once
// What must hold for any input to the Package reader: every byte array lies inside the input,
// nothing more is held than the input has, the reader gives the same Package whether it reads
// from memory or a piece at a time as from a file, and a complete Package survives being
// written and read again. A violation aborts, so the fuzzer reports it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "package/read_package.h"
#include "package/write_package.h"

namespace slidesaver {

// The input as the player's file is read: through ReadAt only, never as memory.
class FileLikeSource : public media::ByteSource {
 public:
  explicit FileLikeSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) std::abort();
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
  }

 private:
  std::span<const uint8_t> bytes_;
};

inline bool SameRange(const Bytes& a, const Bytes& b) {
  return a.size() == b.size() && (a.empty() || a.Offset() == b.Offset());
}

inline void CheckReadPackage(std::span<const uint8_t> input) {
  PackageHeader header;
  const PackageReadResult result = ReadPackage(input, nullptr, header);
  const auto inside = [&](const Bytes& b) {
    return b.empty() || (b.Offset() <= input.size() && b.size() <= input.size() - b.Offset() &&
                         b.data() == input.data() + b.Offset());
  };
  uint64_t held = header.BgmData.size() + header.BgmFileName.size();
  if (!inside(header.BgmData)) std::abort();
  for (const SlideEntry& slide : header.Slides) {
    if (!inside(slide.PictureData) || !inside(slide.SoundData)) std::abort();
    held += slide.PictureData.size() + slide.SoundData.size() + slide.PictureFileName.size() +
            slide.SoundFileName.size();
  }
  if (held > input.size()) std::abort();
  if (header.Slides.size() > input.size() / 32) std::abort();
  if (result.complete != result.problem.empty()) std::abort();

  // Read a piece at a time, as from the program's file: the same Package, the same problem.
  PackageHeader windowed;
  const PackageReadResult read = ReadPackage(std::make_shared<FileLikeSource>(input), windowed);
  if (read.complete != result.complete || read.problem != result.problem) std::abort();
  if (windowed.SlideCount != header.SlideCount || windowed.Slides.size() != header.Slides.size() ||
      windowed.BgmFileName != header.BgmFileName || !SameRange(windowed.BgmData, header.BgmData))
    std::abort();
  for (size_t i = 0; i < header.Slides.size(); ++i) {
    const SlideEntry &a = header.Slides[i], &b = windowed.Slides[i];
    if (a.PictureFileName != b.PictureFileName || a.SoundFileName != b.SoundFileName ||
        a.DisplayTime != b.DisplayTime || !SameRange(a.PictureData, b.PictureData) ||
        !SameRange(a.SoundData, b.SoundData))
      std::abort();
  }
  if (!result.complete) return;

  // What the writer makes of a complete header reads back completely and writes again to the
  // same bytes (the input itself may use a non-canonical form, such as a lower bound of 7),
  // also from the Package read a piece at a time.
  const std::vector<uint8_t> rewritten = WritePackage(header);
  PackageHeader again;
  if (!ReadPackage(rewritten, nullptr, again).complete) std::abort();
  if (WritePackage(again) != rewritten) std::abort();
  if (WritePackage(windowed) != rewritten) std::abort();
}

}  // namespace slidesaver
