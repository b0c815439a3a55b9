#pragma once
// The names `unpack` gives the stored files inside its folder. A stored name is kept when it is
// a plain, portable file name; anything else (empty, ".", "..", a path, control characters,
// bytes that are not UTF-8, a name taken by another file) gets a name of our own, and the
// manifest records the stored name, so nothing is ever written outside the folder.
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "package/package.h"

namespace slidepack {

inline constexpr const char* kUnpackManifestName = "show.toml";

// A name that can be used as it is for a file directly inside a folder, on any system.
bool IsPlainFileName(const std::string& name);

class UnpackNames {
 public:
  UnpackNames();

  struct Choice {
    std::string file;  // name of the file inside the folder
    bool write;        // false when an earlier file with the same name and bytes is reused
  };

  // `fallback_stem` ("picture-003") plus the extension the bytes suggest names a file whose
  // stored name can't be used.
  Choice Choose(const std::string& stored_name, const slidesaver::Bytes& bytes,
                const std::string& fallback_stem);

 private:
  bool Taken(const std::string& file) const;
  void Take(const std::string& file);

  std::set<std::string> taken_;  // ASCII lower case: names differing in case only collide
  struct Written {
    std::string file;
    slidesaver::Bytes bytes;
  };
  std::multimap<std::string, Written> by_stored_name_;
};

}  // namespace slidepack
