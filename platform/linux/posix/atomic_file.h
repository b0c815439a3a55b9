#pragma once
// Replacing a small file all at once: the bytes go into a temporary file beside it, which is
// then renamed over it, so a reader sees the old file or the new one and never half of one.
#include <cstdint>
#include <span>
#include <string>

namespace slidesaver::linux_platform {

enum class AtomicFileMode {
  kKeepOrUmask,  // an ordinary file in place keeps its mode; otherwise 0666 less the umask
  kPrivate,      // 0600
};

// Empty on success, otherwise what went wrong with the file's path (or its folder's, when no
// file can be made there); the previous file is then
// untouched. A symlink in the file's place is replaced, never followed, and lends the new file
// nothing. The temporary file is locked while it is written: temporary files of this path left
// by a writer that was killed are removed first.
// Writes all the bytes, again after an interruption; false with errno set when it can't (a
// write that makes no progress is ENOSPC).
bool WriteAll(int fd, std::span<const uint8_t> bytes);

std::string ReplaceFileAtomically(const std::string& path, std::span<const uint8_t> bytes,
                                  AtomicFileMode mode);

}  // namespace slidesaver::linux_platform
