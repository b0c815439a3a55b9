#pragma once
// The players write every stored file into one folder under its stored name. A name they
// cannot write there (a path, a Windows device, too long) leaves the show without the file, and
// two files whose names Windows takes for one (it does not tell upper from lower case and drops
// the dots and blanks at a name's end) but with different bytes would leave one of them shown or
// played in place of the other.
#include <string>
#include <vector>

#include "package/package.h"
#include "tools/slidepack/manifest.h"

namespace slidepack {

// The longest stored name a file can have: both systems' file names are at most 255 bytes
// (ext4) or characters (NTFS).
inline constexpr size_t kMaxFileNameBytes = 255;

struct StoredFile {
  const char* role;  // "picture", "sound", "music"
  std::string name;
  slidesaver::Bytes data;
  int line;  // manifest line that names the file
};

// Throws SlidepackError naming the line of the first name the players cannot write, or the
// later line when a name is used for different bytes.
void CheckStoredNames(const Manifest& manifest, const std::vector<StoredFile>& files);

}  // namespace slidepack
