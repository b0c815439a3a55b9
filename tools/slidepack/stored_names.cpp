#include "tools/slidepack/stored_names.h"

#include <cstring>
#include <map>

#include "tools/slidepack/files.h"
#include "tools/slidepack/manifest_text.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

std::string AsciiLower(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

void CheckStoredNames(const Manifest& manifest, const std::vector<StoredFile>& files) {
  std::map<std::string, const StoredFile*> first_by_name;
  for (const StoredFile& file : files) {
    if (file.name.empty()) continue;
    const auto [it, inserted] = first_by_name.emplace(AsciiLower(file.name), &file);
    if (inserted || slidesaver::SameContent(it->second->data, file.data)) continue;
    const StoredFile& first = *it->second;
    throw LineError(manifest, file.line,
                    std::string(file.role) + " name " + TomlName(file.name) + " is taken by the " +
                        first.role + " of line " + std::to_string(first.line) +
                        ", which has other contents; the players would use one file for both. " +
                        "Give one of them another name");
  }
}

}  // namespace slidepack
