#include "platform/win32/win_text.h"

#include "platform/win32/windows_api.h"

namespace slidesaver::win32 {

namespace {

// The length of the UTF-8 sequence at `at` (ASCII included), 0 when there is none.
size_t Utf8SequenceLength(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  const unsigned first = byte(at);
  const auto continuation = [&](size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    return byte(i) >= low && byte(i) <= high;
  };
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) return continuation(at + 1) ? 2 : 0;
  if (first >= 0xE0 && first <= 0xEF) {
    const unsigned low = first == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    const unsigned high = first == 0xED ? 0x9F : 0xBF;  // no surrogates
    return continuation(at + 1, low, high) && continuation(at + 2) ? 3 : 0;
  }
  if (first >= 0xF0 && first <= 0xF4) {
    const unsigned low = first == 0xF0 ? 0x90 : 0x80;
    const unsigned high = first == 0xF4 ? 0x8F : 0xBF;
    return continuation(at + 1, low, high) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
  }
  return 0;
}

void AppendConverted(std::wstring& out, const char* bytes, size_t size, unsigned code_page) {
  const int n = MultiByteToWideChar(code_page, 0, bytes, static_cast<int>(size), nullptr, 0);
  if (n <= 0) return;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(n));
  MultiByteToWideChar(code_page, 0, bytes, static_cast<int>(size), out.data() + at, n);
}

}  // namespace

std::wstring WideFromUtf8(const std::string& utf8, unsigned code_page) {
  std::wstring wide;
  size_t i = 0;
  while (i < utf8.size()) {
    size_t end = i;
    while (end < utf8.size() && Utf8SequenceLength(utf8, end) != 0)
      end += Utf8SequenceLength(utf8, end);
    AppendConverted(wide, utf8.data() + i, end - i, CP_UTF8);
    i = end;
    // Bytes that are not UTF-8: ANSI characters, double-byte ones kept whole.
    while (end < utf8.size() && Utf8SequenceLength(utf8, end) == 0) {
      const auto byte = static_cast<unsigned char>(utf8[end]);
      end += IsDBCSLeadByteEx(code_page, byte) && end + 1 < utf8.size() ? 2 : 1;
    }
    AppendConverted(wide, utf8.data() + i, end - i, code_page);
    i = end;
  }
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) return "error " + std::to_string(code);
  return Utf8FromWide(text);
}

size_t LastPathSeparator(const std::string& path, unsigned code_page) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte == '\\' || byte == '/') {
      last = i;
    } else if (IsDBCSLeadByteEx(code_page, byte) && i + 1 < path.size()) {
      ++i;  // the trail byte may be 0x5C and is part of this character
    }
  }
  return last;
}

std::string WithTrailingBackslash(std::string folder, unsigned code_page) {
  if (folder.empty() || LastPathSeparator(folder, code_page) != folder.size() - 1) folder += '\\';
  return folder;
}

}  // namespace slidesaver::win32
