#include "tools/slidepack/stored_name_text.h"

#include <iconv.h>

#include <vector>

#include "tools/slidepack/manifest_text.h"

namespace slidepack {

namespace {

// The whole text converted, or false when a byte doesn't belong to the code page.
bool Convert(const char* from, const std::string& text, std::string& out) {
  iconv_t converter = iconv_open("UTF-8", from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<char> buffer(text.size() * 4 + 4);
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char* at = buffer.data();
  size_t out_left = buffer.size();
  const bool whole =
      iconv(converter, &in, &in_left, &at, &out_left) != static_cast<size_t>(-1) && in_left == 0;
  iconv_close(converter);
  if (whole) out.assign(buffer.data(), at);
  return whole;
}

}  // namespace

std::string StoredNameText(const std::string& name) {
  if (IsUtf8(name)) return name;
  std::string text;
  if (Convert("CP932", name, text) || Convert("WINDOWS-1252", name, text)) return text;
  // Windows-1252 leaves five bytes undefined: those become '?'.
  for (char c : name) text += static_cast<unsigned char>(c) < 0x80 ? c : '?';
  return text;
}

}  // namespace slidepack
