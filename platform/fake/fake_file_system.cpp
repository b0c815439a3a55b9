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

template <class T = platform::Done>
platform::FileResult<T> Failed(std::string reason) {
  return platform::FileResult<T>::Failed(std::move(reason));
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

platform::FileStatus FakeFileSystem::CreateFolder(const std::string& path) {
  log.push_back("CreateFolder " + path);
  if (Matches(fail_create_folders, path)) return Failed("Permission denied");
  std::error_code ec;
  if (fs::create_directory(path, ec)) return platform::Done{};
  if (ec == std::errc::file_exists || fs::exists(fs::symlink_status(path, ec)))
    return platform::FileStatus::Taken("File exists");
  return Failed(ec.message());
}

platform::FileStatus FakeFileSystem::RemoveFolder(const std::string& path) {
  log.push_back("RemoveFolder " + path);
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(path, ec))) return Failed("Not a directory");
  if (fs::remove(path, ec)) return platform::Done{};
  return Failed(ec ? ec.message() : "No such file or directory");
}

platform::FileStatus FakeFileSystem::DeleteFile(const std::string& path) {
  log.push_back("DeleteFile " + path);
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(path, ec))) return Failed("Is a directory");
  if (fs::remove(path, ec)) return platform::Done{};
  return Failed(ec ? ec.message() : "No such file or directory");
}

platform::FileResult<std::vector<std::string>> FakeFileSystem::FolderEntries(
    const std::string& folder) {
  log.push_back("FolderEntries " + folder);
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    names.push_back(entry.path().filename().string());
  if (ec) return Failed<std::vector<std::string>>(ec.message());
  return names;
}

platform::FileStatus FakeFileSystem::WriteFileFrom(const std::string& path,
                                                   const media::ByteSource& source, uint64_t offset,
                                                   uint64_t size) {
  log.push_back("WriteFile " + path);
  if (Matches(fail_writes, path)) return Failed(write_failure);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  try {
    source.ReadAt(offset, bytes);
  } catch (const media::ReadError& error) {
    return Failed(error.what());
  }
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(path, ec)))
    return Failed("Too many levels of symbolic links");
  if (WriteWhole(path, bytes)) return platform::Done{};
  fs::remove(path, ec);
  return Failed("cannot write");
}

platform::FileStatus FakeFileSystem::WriteFileAtomic(const std::string& path,
                                                     std::span<const uint8_t> bytes) {
  log.push_back("WriteFileAtomic " + path);
  if (Matches(fail_writes, path)) return Failed("cannot write " + path + ": refused by the test");
  const std::string temp = path + ".saving";
  if (!WriteWhole(temp, bytes)) {
    std::error_code ec;
    fs::remove(temp, ec);
    return Failed("cannot write " + temp);
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    const std::string reason = "cannot replace " + path + ": " + ec.message();
    fs::remove(temp, ec);
    return Failed(reason);
  }
  return platform::Done{};
}

platform::FileResult<std::shared_ptr<const media::ByteSource>> FakeFileSystem::OpenForReading(
    const std::string& path) {
  using Source = std::shared_ptr<const media::ByteSource>;
  log.push_back("OpenForReading " + path);
  if (Matches(fail_reads, path)) return Failed<Source>("Permission denied");
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return Failed<Source>("not an ordinary file");
  std::ifstream in(path, std::ios::binary);
  if (!in) return Failed<Source>("cannot open");
  auto bytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(fs::file_size(path, ec)));
  if (ec) return Failed<Source>(ec.message());
  in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes->size()))
    return Failed<Source>("the file is shorter than it was");
  return Source(std::make_shared<ReadFile>(std::move(bytes), path));
}

platform::FileResult<std::unique_ptr<platform::OwnerLock>> FakeFileSystem::TakeOwnerLock(
    const std::string& path) {
  using Lock = std::unique_ptr<platform::OwnerLock>;
  log.push_back("TakeOwnerLock " + path);
  if (locks_held_elsewhere.contains(path) || held_locks_.contains(path))
    return platform::FileResult<Lock>::Taken("held by another process");
  if (Matches(fail_writes, path) || Matches(fail_create_folders, path))
    return Failed<Lock>("Permission denied");
  std::ofstream(path, std::ios::binary | std::ios::app);
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return Failed<Lock>("cannot create the lock file");
  held_locks_.insert(path);
  return Lock(std::make_unique<FakeOwnerLock>(held_locks_, path));
}

}  // namespace slidesaver::fake
