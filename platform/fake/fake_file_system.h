#pragma once
// A file system for tests that works on real files (usually below a temporary folder) and can be
// told to fail: any operation on a path that contains one of the `fail_*` substrings fails as a
// refused file would. Every call is logged as "Operation path".
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace slidesaver::fake {

class FakeFileSystem : public platform::FileSystem {
 public:
  std::vector<std::string> fail_writes;  // WriteFileFrom and WriteFileAtomic, with this reason:
  std::string write_failure = "No space left on device";
  std::vector<std::string> fail_create_folders;  // CreateFolder fails
  std::vector<std::string> fail_reads;           // OpenForReading fails
  // Lock files another live process holds; TakeOwnerLock can't take them.
  std::set<std::string> locks_held_elsewhere;
  platform::PathRules path_rules;  // see UseCodePage932
  std::vector<std::string> log;

  // The path rules of the Windows build in code page 932 (Japanese): the backslash and the
  // lead bytes of its double-byte characters.
  void UseCodePage932();

  bool Exists(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  platform::FileStatus CreateFolder(const std::string& path) override;
  platform::FileStatus RemoveFolder(const std::string& path) override;
  platform::FileStatus DeleteFile(const std::string& path) override;
  platform::FileResult<std::vector<std::string>> FolderEntries(const std::string& folder) override;
  platform::FileStatus WriteFileFrom(const std::string& path, const media::ByteSource& source,
                                     uint64_t offset, uint64_t size) override;
  platform::FileStatus WriteFileAtomic(const std::string& path,
                                       std::span<const uint8_t> bytes) override;
  platform::FileResult<std::shared_ptr<const media::ByteSource>> OpenForReading(
      const std::string& path) override;
  // Fails for paths in fail_writes or fail_create_folders.
  platform::FileResult<std::unique_ptr<platform::OwnerLock>> TakeOwnerLock(
      const std::string& path) override;
  // The lock files this process holds.
  const std::set<std::string>& HeldLocks() const { return held_locks_; }
  platform::PathRules GetPathRules() override { return path_rules; }

  // The operations logged for paths that contain `part`, in order.
  std::vector<std::string> LogFor(const std::string& part) const;

 private:
  static bool Matches(const std::vector<std::string>& parts, const std::string& path);
  std::set<std::string> held_locks_;
};

}  // namespace slidesaver::fake
