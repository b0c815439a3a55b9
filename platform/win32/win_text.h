#pragma once
// Text conversions at the Win32 boundary. The user's texts are UTF-8 in the source and go to
// the W functions, so they read right on every locale; file names stay ANSI byte strings.
#include <string>

namespace slidesaver::win32 {

// UTF-8 to UTF-16. A run of bytes that is not UTF-8 is read in `code_page` (0: the ANSI code
// page): messages may quote a file name, which is an ANSI byte string.
std::wstring WideFromUtf8(const std::string& utf8, unsigned code_page = 0);
std::string Utf8FromWide(const std::wstring& wide);
// The system's text for an error code from GetLastError(), as UTF-8 without the line end.
std::string SystemErrorText(unsigned long code);

// Byte strings in a code page (0: the ANSI code page): the offset of the last '\' or '/' that
// is a separator, never the trail byte of a double-byte character; npos when there is none.
size_t LastPathSeparator(const std::string& path, unsigned code_page = 0);
// The folder with one real separator at its end (a trail byte 0x5C is not one).
std::string WithTrailingBackslash(std::string folder, unsigned code_page = 0);

}  // namespace slidesaver::win32
