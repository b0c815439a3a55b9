#pragma once
// Joining a folder and a file name with the platform's path separator. Paths are byte strings
// in the ANSI code page: in a double-byte code page the trail byte of a character may equal
// '\' (0x5C) without being one, so the last character, not the last byte, is looked at.
#include <cstdint>
#include <functional>
#include <string>

namespace slidesaver {

// Tells the lead bytes of double-byte characters (FileSystem::IsLeadByte); empty: none.
using LeadBytePredicate = std::function<bool(uint8_t)>;

// True when the last character of `path` is `separator`.
bool EndsWithSeparator(const std::string& path, char separator,
                       const LeadBytePredicate& is_lead_byte = {});

// `folder` followed by `separator`, unless it already ends with one (a root such as "/" or "C:\").
std::string WithTrailingSeparator(std::string folder, char separator,
                                  const LeadBytePredicate& is_lead_byte = {});

// The folder, the separator unless the folder already ends with it, then `name`.
std::string JoinPath(const std::string& folder, const std::string& name, char separator,
                     const LeadBytePredicate& is_lead_byte = {});

}  // namespace slidesaver
