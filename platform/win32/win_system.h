#pragma once
// Pieces of the System service that tests check on their own.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace slidesaver::win32 {

// A registry value read as an on/off switch: a non-zero REG_DWORD (or a REG_BINARY of at most
// 4 bytes), or a string holding a non-zero number, as Windows 9x stored "ScreenSaveUsePassword".
// Anything else, longer values included, is off.
bool RegistrySwitchOn(unsigned long type, std::span<const uint8_t> data);

// The extraction base: the Windows directory when files can be made in it, else the user's
// temporary folder, ending with a backslash; empty when the Windows directory can't be had.
std::optional<std::string> ChooseExtractionBase(const std::string& windows_directory,
                                                bool windows_directory_writable,
                                                const std::string& temp_directory);

// Whether a file can be created in `folder` (a probe file, deleted at once).
bool FolderWritable(const std::string& folder);

}  // namespace slidesaver::win32
