#pragma once
// The players write every stored file into one folder under its stored name, so two files
// with one name (Windows does not tell upper from lower case) but different bytes would leave
// one of them shown or played in place of the other.
#include <string>
#include <vector>

#include "package/package.h"
#include "tools/slidepack/manifest.h"

namespace slidepack {

struct StoredFile {
  const char* role;  // "picture", "sound", "music"
  std::string name;
  slidesaver::Bytes data;
  int line;  // manifest line that names the file
};

// Throws SlidepackError naming the later line when a name is used for different bytes.
void CheckStoredNames(const Manifest& manifest, const std::vector<StoredFile>& files);

}  // namespace slidepack
