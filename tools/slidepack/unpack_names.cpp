#include "tools/slidepack/unpack_names.h"

#include <algorithm>
#include <cstring>

#include "package/device_names.h"
#include "photos/media_kind.h"
#include "tools/slidepack/manifest_text.h"

namespace slidepack {

using namespace slidesaver::photos;  // the photo pieces shared with the player

namespace {

constexpr size_t kMaxFileNameBytes = 255;

std::string Lower(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return name;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxFileNameBytes) return false;
  if (!IsUtf8(name)) return false;
  for (const char c : name) {
    const auto byte = static_cast<uint8_t>(c);
    // Separators of any system, characters Windows refuses, and control characters.
    if (byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr) return false;
  }
  // Windows drops trailing dots and blanks, which would merge names.
  if (name.back() == '.' || name.back() == ' ') return false;
  return !slidesaver::IsWindowsDeviceName(name);
}

UnpackNames::UnpackNames() { Take(kUnpackManifestName); }

bool UnpackNames::Taken(const std::string& file) const { return taken_.contains(Lower(file)); }

void UnpackNames::Take(const std::string& file) { taken_.insert(Lower(file)); }

UnpackNames::Choice UnpackNames::Choose(const std::string& stored_name,
                                        const slidesaver::Bytes& bytes,
                                        const std::string& fallback_stem) {
  const auto [first, last] = by_stored_name_.equal_range(stored_name);
  for (auto it = first; it != last; ++it) {
    if (slidesaver::SameContent(it->second.bytes, bytes)) return {it->second.file, false};
  }
  std::string file = stored_name;
  if (!IsPlainFileName(file) || Taken(file)) {
    const std::string extension = IdentifyMedia(bytes.Head(kIdentifyBytes)).extension;
    file = fallback_stem + extension;
    for (int n = 2; Taken(file); ++n) file = fallback_stem + "-" + std::to_string(n) + extension;
  }
  Take(file);
  by_stored_name_.emplace(stored_name, Written{file, bytes});
  return {file, true};
}

}  // namespace slidepack
