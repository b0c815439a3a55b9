#include "media/byte_source.h"

#include <cstring>

namespace slidesaver::media {

void MemorySource::ReadAt(uint64_t offset, std::span<uint8_t> out) const {
  if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
    throw ReadError("reading " + std::to_string(out.size()) + " bytes at " +
                    std::to_string(offset) + " of " + std::to_string(bytes_.size()));
  }
  if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
}

}  // namespace slidesaver::media
