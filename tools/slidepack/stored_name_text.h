#pragma once
// A stored name as text a person reads: names are bytes in the ANSI code page of the Windows
// that made the show, which for the shows this player knows is code page 932 (Shift-JIS).
#include <string>

namespace slidepack {

// UTF-8: the name itself when it is UTF-8 already, else decoded from code page 932 (iconv),
// else its bytes as Windows-1252, which decodes anything.
std::string StoredNameText(const std::string& name);

}  // namespace slidepack
