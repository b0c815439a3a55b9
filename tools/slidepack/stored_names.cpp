#include "tools/slidepack/stored_names.h"

#include <map>
#include <string_view>

#include "package/stored_file_name.h"
#include "tools/slidepack/files.h"
#include "tools/slidepack/manifest_text.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

// The file Windows opens for a name: it drops the dots and blanks at the end and does not tell
// upper from lower case.
std::string WindowsFileKey(std::string name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

// The Windows player's rules for a name. A name that is not UTF-8 is read as Shift-JIS (code
// page 932), whose trail bytes may be 0x5C; UTF-8 has no double-byte characters.
slidesaver::platform::PathRules WindowsRules(const std::string& name) {
  slidesaver::platform::PathRules rules{'\\', {}};
  if (!IsUtf8(name)) {
    for (int byte = 0x81; byte <= 0xFC; ++byte) {
      if (byte <= 0x9F || byte >= 0xE0) rules.lead_bytes.set(static_cast<size_t>(byte));
    }
  }
  return rules;
}

// Why neither player can write the file, or empty.
std::string WhyUnwritable(const std::string& name) {
  const slidesaver::platform::PathRules linux_rules{'/', {}};
  for (const auto& rules : {linux_rules, WindowsRules(name)}) {
    if (const char* why = slidesaver::WhyNotAFileName(name, rules)) return why;
  }
  if (name.size() > kMaxFileNameBytes) {
    return "it is longer than " + std::to_string(kMaxFileNameBytes) + " bytes";
  }
  if (WindowsFileKey(name).empty()) return "Windows drops the dots and blanks it consists of";
  return "";
}

}  // namespace

void CheckStoredNames(const Manifest& manifest, const std::vector<StoredFile>& files) {
  std::map<std::string, const StoredFile*> first_by_name;
  for (const StoredFile& file : files) {
    // An empty sound or music name means none: nothing is written for it.
    if (file.name.empty() && std::string_view(file.role) != "picture") continue;
    const std::string why = WhyUnwritable(file.name);
    if (!why.empty()) {
      throw LineError(manifest, file.line,
                      std::string(file.role) + " name " + TomlName(file.name) +
                          " cannot name a file of the show: " + why + ". Give it another name");
    }
    const auto [it, inserted] = first_by_name.emplace(WindowsFileKey(file.name), &file);
    if (inserted || slidesaver::SameContent(it->second->data, file.data)) continue;
    const StoredFile& first = *it->second;
    throw LineError(manifest, file.line,
                    std::string(file.role) + " name " + TomlName(file.name) + " is taken by the " +
                        first.role + " of line " + std::to_string(first.line) +
                        ", which has other contents; the players would use one file for both (" +
                        "Windows takes " + TomlName(first.name) + " and " + TomlName(file.name) +
                        " for one name). Give one of them another name");
  }
}

}  // namespace slidepack
