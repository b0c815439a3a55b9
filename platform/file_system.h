#pragma once
// Byte-stream file access. Paths are byte strings (the ANSI code page on Windows).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/byte_source.h"
#include "platform/file_result.h"
#include "platform/path_rules.h"

namespace slidesaver::platform {

// A lock file taken by this process: other processes can't take it while the process lives,
// and take it over once the process is gone, however it ended. When the lock goes, so does
// its file.
class OwnerLock {
 public:
  virtual ~OwnerLock() = default;
};

// Every operation that can fail says why (FileResult); a failed one leaves nothing behind.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;      // anything: file or folder
  virtual bool FileExists(const std::string& path) = 0;  // an ordinary file
  // Atomic: a folder that exists, or appears meanwhile, is taken().
  virtual FileStatus CreateFolder(const std::string& path) = 0;
  virtual FileStatus RemoveFolder(const std::string& path) = 0;  // fails when not empty
  virtual FileStatus DeleteFile(const std::string& path) = 0;
  // The names in a folder, "." and ".." left out.
  virtual FileResult<std::vector<std::string>> FolderEntries(const std::string& folder) = 0;
  // Creates or truncates the file and writes `size` bytes of `source` from `offset` into it,
  // the system copying between files where it can. A write that fails leaves no file behind.
  virtual FileStatus WriteFileFrom(const std::string& path, const media::ByteSource& source,
                                   uint64_t offset, uint64_t size) = 0;
  FileStatus WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    return WriteFileFrom(path, media::MemorySource(bytes), 0, bytes.size());
  }
  // Writes a temporary file beside path, then renames it over path. When it fails the
  // previous file is untouched, and no temporary file stays behind.
  virtual FileStatus WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes) = 0;
  // The file, to be read as it is needed. It fails when it is not an ordinary file; it never
  // waits (a FIFO in the file's place is no file).
  virtual FileResult<std::shared_ptr<const media::ByteSource>> OpenForReading(
      const std::string& path) = 0;
  // Takes the lock file at `path`, creating it; taken() while another live process holds it.
  virtual FileResult<std::unique_ptr<OwnerLock>> TakeOwnerLock(const std::string& path) = 0;
  // How paths are spelled here; by default '/' and no double-byte characters.
  virtual PathRules GetPathRules() { return {}; }
};

}  // namespace slidesaver::platform
