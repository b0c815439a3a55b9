#pragma once
// Byte-stream file access. Paths are byte strings (the ANSI code page on Windows).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/byte_source.h"
#include "platform/path_rules.h"

namespace slidesaver::platform {

enum class CreateFolderResult { Created, AlreadyExists, Failed };

// A lock file taken by this process: other processes can't take it while the process lives,
// and take it over once the process is gone, however it ended. When the lock goes, so does
// its file.
class OwnerLock {
 public:
  virtual ~OwnerLock() = default;
};

struct OwnerLockResult {
  std::unique_ptr<OwnerLock> lock;  // null when it was not taken
  bool held_elsewhere = false;      // why not: another live process holds it, or a failure
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;      // anything: file or folder
  virtual bool FileExists(const std::string& path) = 0;  // an ordinary file
  // Atomic: a folder that exists, or appears meanwhile, is AlreadyExists.
  virtual CreateFolderResult CreateFolder(const std::string& path) = 0;
  virtual bool RemoveFolder(const std::string& path) = 0;  // fails when not empty
  virtual bool DeleteFile(const std::string& path) = 0;
  // The names in a folder, "." and ".." left out; none when it can't be read.
  virtual std::vector<std::string> FolderEntries(const std::string& folder) = 0;
  // Creates or truncates the file and writes `size` bytes of `source` from `offset` into it,
  // the system copying between files where it can. Empty on success, otherwise the system's
  // reason ("No space left on device"); a write that fails leaves no file behind.
  virtual std::string WriteFileFrom(const std::string& path, const media::ByteSource& source,
                                    uint64_t offset, uint64_t size) = 0;
  std::string WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    return WriteFileFrom(path, media::MemorySource(bytes), 0, bytes.size());
  }
  // Writes a temporary file beside path, then renames it over path. Empty on success,
  // otherwise a description of the failure; the previous file is then untouched, and no
  // temporary file stays behind.
  virtual std::string WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes) = 0;
  // The file, to be read as it is needed; null when it is not an ordinary file or can't be
  // opened. Never waits (a FIFO in the file's place is no file).
  virtual std::shared_ptr<const media::ByteSource> OpenForReading(const std::string& path) = 0;
  // Takes the lock file at `path`, creating it; not while another live process holds it.
  virtual OwnerLockResult TakeOwnerLock(const std::string& path) = 0;
  // How paths are spelled here; by default '/' and no double-byte characters.
  virtual PathRules GetPathRules() { return {}; }
};

}  // namespace slidesaver::platform
