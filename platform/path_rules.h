#pragma once
// How the platform spells a path: its separator, and the lead bytes of the double-byte
// characters of the ANSI code page. Paths are byte strings in that code page, where the trail
// byte of a character may be 0x5C without being a '\': a path is read character by character
// from its start, never backwards from a byte.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace slidesaver::platform {

struct PathRules {
  char separator = '/';
  // Single-byte code pages and UTF-8 file systems have none.
  std::bitset<256> lead_bytes;

  bool IsLeadByte(uint8_t byte) const { return lead_bytes[byte]; }

  // Calls visit(position, length) for each character of `text` in order, and stops early when
  // visit returns false. A lead byte and the byte after it are one character of length 2; a
  // lead byte at the very end stands alone. Returns false when visit stopped it.
  template <class Visit>
  bool ForEachCharacter(std::string_view text, Visit&& visit) const {
    for (size_t i = 0; i < text.size();) {
      const size_t length =
          IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
      if (!visit(i, length)) return false;
      i += length;
    }
    return true;
  }

  // True when the last character of `path` is the separator.
  bool EndsWithSeparator(std::string_view path) const;
  // `folder` followed by the separator, unless it already ends with one (a root such as "/"
  // or "C:\").
  std::string WithTrailingSeparator(std::string folder) const;
  // The folder, the separator unless the folder already ends with it, then `name`.
  std::string Join(const std::string& folder, const std::string& name) const;
};

}  // namespace slidesaver::platform
