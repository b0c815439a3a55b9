#pragma once
// What must hold for any input to the Package reader: every byte array lies inside the input,
// nothing more is held than the input has, and a complete Package survives being written and
// read again. A violation aborts, so the fuzzer reports it.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "package/read_package.h"
#include "package/write_package.h"

namespace slidesaver {

inline void CheckReadPackage(std::span<const uint8_t> input) {
  PackageHeader header;
  const PackageReadResult result = ReadPackage(input, nullptr, header);
  const auto inside = [&](const Bytes& b) {
    return b.empty() ||
           (b.data() >= input.data() && b.size() <= input.size() &&
            b.data() - input.data() <= static_cast<ptrdiff_t>(input.size() - b.size()));
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
  if (!result.complete) return;

  // What the writer makes of a complete header reads back completely and writes again to the
  // same bytes (the input itself may use a non-canonical form, such as a lower bound of 7).
  const std::vector<uint8_t> rewritten = WritePackage(header);
  PackageHeader again;
  if (!ReadPackage(rewritten, nullptr, again).complete) std::abort();
  if (WritePackage(again) != rewritten) std::abort();
}

}  // namespace slidesaver
