#include <cstring>

#include "package/package.h"

namespace slidesaver {

Bytes Bytes::Copy(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return {};
  auto storage = std::make_shared<std::vector<uint8_t>>(bytes.begin(), bytes.end());
  const uint8_t* data = storage->data();
  return Bytes(std::move(storage), data, bytes.size());
}

}  // namespace slidesaver
