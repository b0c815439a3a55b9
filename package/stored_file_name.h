#pragma once
// Whether a name stored in the Package may name a file directly inside the extraction folder.
// The players decide it here (ExtractedShow::PathOf), and slidepack refuses at build what they
// would not write.
#include <string_view>

#include "platform/path_rules.h"

namespace slidesaver {

// Why `name` names no file directly inside a folder with these path rules, or nullptr when it
// does: empty, "." or "..", a NUL or '/' byte; with the '\' separator also a ':' or a '\'
// outside a double-byte character; and, on every system, a Windows device name
// (IsWindowsDeviceName), so that a show plays the same on Linux as on Windows.
const char* WhyNotAFileName(std::string_view name, const platform::PathRules& paths);

}  // namespace slidesaver
