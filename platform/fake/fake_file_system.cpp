#include "platform/fake/fake_file_system.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace slidesaver::fake {
namespace {

namespace fs = std::filesystem;

// A file's bytes, read whole when it was opened; Name() is the path.
class ReadFile : public media::MemorySource {
 public:
  ReadFile(std::shared_ptr<const std::vector<uint8_t>> bytes, std::string path)
      : MemorySource(*bytes, bytes), path_(std::move(path)) {}
  std::string Name() const override { return path_; }

 private:
  std::string path_;
};

// Marks its lock file held in `held` until it goes, then removes the file.
class FakeOwnerLock : public platform::OwnerLock {
 public:
  FakeOwnerLock(std::set<std::string>& held, std::string path)
      : held_(held), path_(std::move(path)) {}
  ~FakeOwnerLock() override {
    std::error_code ec;
    fs::remove(path_, ec);
    held_.erase(path_);
  }

 private:
  std::set<std::string>& held_;
  std::string path_;
};

bool WriteWhole(const std::string& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

void FakeFileSystem::UseCodePage932() {
  path_rules.separator = '\\';
  path_rules.lead_bytes.reset();
  for (int b = 0x81; b <= 0x9F; ++b) path_rules.lead_bytes.set(static_cast<size_t>(b));
  for (int b = 0xE0; b <= 0xFC; ++b) path_rules.lead_bytes.set(static_cast<size_t>(b));
}

bool FakeFileSystem::Matches(const std::vector<std::string>& parts, const std::string& path) {
  for (const std::string& part : parts) {
    if (path.find(part) != std::string::npos) return true;
  }
  return false;
}

std::vector<std::string> FakeFileSystem::LogFor(const std::string& part) const {
  std::vector<std::string> result;
  for (const std::string& entry : log) {
    if (entry.find(part) != std::string::npos) result.push_back(entry);
  }
  return result;
}

bool FakeFileSystem::Exists(const std::string& path) {
  log.push_back("Exists " + path);
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool FakeFileSystem::FileExists(const std::string& path) {
  log.push_back("FileExists " + path);
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

platform::CreateFolderResult FakeFileSystem::CreateFolder(const std::string& path) {
  log.push_back("CreateFolder " + path);
  if (Matches(fail_create_folders, path)) return platform::CreateFolderResult::Failed;
  std::error_code ec;
  if (fs::create_directory(path, ec)) return platform::CreateFolderResult::Created;
  if (ec == std::errc::file_exists || fs::exists(fs::symlink_status(path, ec)))
    return platform::CreateFolderResult::AlreadyExists;
  return platform::CreateFolderResult::Failed;
}

bool FakeFileSystem::RemoveFolder(const std::string& path) {
  log.push_back("RemoveFolder " + path);
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(path, ec))) return false;
  return fs::remove(path, ec);
}

bool FakeFileSystem::DeleteFile(const std::string& path) {
  log.push_back("DeleteFile " + path);
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(path, ec))) return false;
  return fs::remove(path, ec);
}

std::vector<std::string> FakeFileSystem::FolderEntries(const std::string& folder) {
  log.push_back("FolderEntries " + folder);
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    names.push_back(entry.path().filename().string());
  return names;
}

std::string FakeFileSystem::WriteFileFrom(const std::string& path, const media::ByteSource& source,
                                          uint64_t offset, uint64_t size) {
  log.push_back("WriteFile " + path);
  if (Matches(fail_writes, path)) return write_failure;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  try {
    source.ReadAt(offset, bytes);
  } catch (const media::ReadError& error) {
    return error.what();
  }
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec))) return "Too many levels of symbolic links";
  if (WriteWhole(path, bytes)) return {};
  fs::remove(path, ec);
  return "cannot write";
}

std::string FakeFileSystem::WriteFileAtomic(const std::string& path,
                                            std::span<const uint8_t> bytes) {
  log.push_back("WriteFileAtomic " + path);
  if (Matches(fail_writes, path)) return "cannot write " + path + ": refused by the test";
  const std::string temp = path + ".saving";
  if (!WriteWhole(temp, bytes)) {
    std::error_code ec;
    fs::remove(temp, ec);
    return "cannot write " + temp;
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    return "cannot replace " + path + ": " + ec.message();
  }
  return {};
}

std::shared_ptr<const media::ByteSource> FakeFileSystem::OpenForReading(const std::string& path) {
  log.push_back("OpenForReading " + path);
  if (Matches(fail_reads, path)) return nullptr;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return nullptr;
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  auto bytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(fs::file_size(path, ec)));
  if (ec) return nullptr;
  in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes->size())) return nullptr;
  return std::make_shared<ReadFile>(std::move(bytes), path);
}

platform::OwnerLockResult FakeFileSystem::TakeOwnerLock(const std::string& path) {
  log.push_back("TakeOwnerLock " + path);
  if (locks_held_elsewhere.contains(path) || held_locks_.contains(path)) return {nullptr, true};
  if (Matches(fail_writes, path) || Matches(fail_create_folders, path)) return {};
  std::ofstream(path, std::ios::binary | std::ios::app);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return {};
  held_locks_.insert(path);
  return {std::make_unique<FakeOwnerLock>(held_locks_, path)};
}

}  // namespace slidesaver::fake
