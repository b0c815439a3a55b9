// Files and folders through the ANSI functions: Package names are ANSI byte strings.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_text.h"

namespace slidesaver::win32 {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  HANDLE release() { return std::exchange(h_, nullptr); }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

// An ordinary file open for reading; read at an offset, so it is never held in memory.
class WinFile : public media::ByteSource {
 public:
  WinFile(HANDLE file, uint64_t size, std::string path)
      : file_(file), size_(size), path_(std::move(path)) {}
  ~WinFile() override { CloseHandle(file_); }
  WinFile(const WinFile&) = delete;
  WinFile& operator=(const WinFile&) = delete;

  uint64_t Size() const override { return size_; }
  std::string Name() const override { return path_; }

  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    while (!out.empty()) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(out.size(), size_t{1} << 30));
      DWORD read = 0;
      if (!ReadFile(file_, out.data(), chunk, &read, &at)) {
        throw media::ReadError(path_ + ": " + SystemErrorText(GetLastError()));
      }
      if (read == 0) throw media::ReadError(path_ + ": the file is shorter than it was");
      out = out.subspan(read);
      offset += read;
    }
  }

 private:
  HANDLE file_;
  uint64_t size_;
  std::string path_;
};

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), size_t{1} << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes = bytes.subspan(written);
  }
  return true;
}

// Writes `size` bytes of `source` from `offset` into a new or truncated file, a piece at a
// time; empty on success, otherwise the reason, and the file is gone.
std::string WriteWholeFile(const std::string& path, const media::ByteSource& source,
                           uint64_t offset, uint64_t size, DWORD flags) {
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | flags, nullptr));
  if (!file) return SystemErrorText(GetLastError());
  std::string problem;
  std::vector<uint8_t> buffer;
  for (uint64_t done = 0; done < size && problem.empty();) {
    const size_t piece =
        static_cast<size_t>(std::min<uint64_t>(media::kCopyPieceBytes, size - done));
    std::span<const uint8_t> bytes;
    if (const uint8_t* memory = source.Memory()) {
      bytes = {memory + offset + done, piece};
    } else {
      buffer.resize(piece);
      try {
        source.ReadAt(offset + done, buffer);
      } catch (const media::ReadError& error) {
        problem = error.what();
        break;
      }
      bytes = buffer;
    }
    if (!WriteAll(file.get(), bytes)) problem = SystemErrorText(GetLastError());
    done += piece;
  }
  if (problem.empty()) return {};
  CloseHandle(file.release());
  DeleteFileA(path.c_str());  // no partial file
  return problem;
}

// A lock file opened so that no other process can open it while this one lives; it may only
// be deleted, which is how the lock removes it.
class WinOwnerLock : public platform::OwnerLock {
 public:
  WinOwnerLock(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}
  ~WinOwnerLock() override {
    DeleteFileA(path_.c_str());  // pending until the handle closes
    CloseHandle(file_);
  }
  WinOwnerLock(const WinOwnerLock&) = delete;
  WinOwnerLock& operator=(const WinOwnerLock&) = delete;

 private:
  HANDLE file_;
  std::string path_;
};

class WinFileSystem : public platform::FileSystem {
 public:
  bool Exists(const std::string& path) override {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  // An ordinary file: no folder, and no hidden or system file.
  bool FileExists(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
  }

  platform::FileStatus CreateFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return platform::Done{};
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return platform::FileStatus::Taken(SystemErrorText(error));
    return platform::FileStatus::Failed(SystemErrorText(error));
  }

  platform::FileStatus RemoveFolder(const std::string& path) override {
    if (RemoveDirectoryA(path.c_str())) return platform::Done{};
    return Failure();
  }

  platform::FileStatus DeleteFile(const std::string& path) override {
    if (DeleteFileA(path.c_str())) return platform::Done{};
    return Failure();
  }

  platform::FileResult<std::vector<std::string>> FolderEntries(const std::string& folder) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    const HANDLE find = FindFirstFileA((WithTrailingBackslash(folder) + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return Failure<std::vector<std::string>>();
    do {
      const std::string name = entry.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
  }

  platform::FileStatus WriteFileFrom(const std::string& path, const media::ByteSource& source,
                                     uint64_t offset, uint64_t size) override {
    const std::string problem = WriteWholeFile(path, source, offset, size, 0);
    if (problem.empty()) return platform::Done{};
    return platform::FileStatus::Failed(problem);
  }

  platform::FileStatus WriteFileAtomic(const std::string& path,
                                       std::span<const uint8_t> bytes) override {
    RemoveAbandonedTemporaries(path);
    const std::string temporary = path + ".new" + std::to_string(GetCurrentProcessId());
    const std::string problem = WriteWholeFile(temporary, media::MemorySource(bytes), 0,
                                               bytes.size(), FILE_FLAG_WRITE_THROUGH);
    if (!problem.empty())
      return platform::FileStatus::Failed("cannot write " + temporary + ": " + problem);
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      DeleteFileA(temporary.c_str());
      return platform::FileStatus::Failed("cannot replace " + path + ": " + SystemErrorText(error));
    }
    return platform::Done{};
  }

  platform::FileResult<std::shared_ptr<const media::ByteSource>> OpenForReading(
      const std::string& path) override {
    using Result = platform::FileResult<std::shared_ptr<const media::ByteSource>>;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure<std::shared_ptr<const media::ByteSource>>();
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
      CloseHandle(file);
      return Result::Failed("not an ordinary file");
    }
    return std::shared_ptr<const media::ByteSource>(
        std::make_shared<WinFile>(file, static_cast<uint64_t>(size.QuadPart), path));
  }

  platform::FileResult<std::unique_ptr<platform::OwnerLock>> TakeOwnerLock(
      const std::string& path) override {
    using Result = platform::FileResult<std::unique_ptr<platform::OwnerLock>>;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_SHARING_VIOLATION) return Result::Taken(SystemErrorText(error));
      return Result::Failed(SystemErrorText(error));
    }
    return std::unique_ptr<platform::OwnerLock>(std::make_unique<WinOwnerLock>(file, path));
  }

  // The temporary files of earlier saves of `path` whose writer was killed. One still being
  // written is open without sharing, and can't be deleted.
  void RemoveAbandonedTemporaries(const std::string& path) {
    size_t name_at = 0;  // after the last separator, read character by character
    GetPathRules().ForEachCharacter(path, [&](size_t at, size_t length) {
      if (length == 1 && path[at] == '\\') name_at = at + 1;
      return true;
    });
    const std::string prefix = path.substr(name_at) + ".new";
    WIN32_FIND_DATAA entry{};
    const HANDLE find = FindFirstFileA((path + ".new*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      const std::string name = entry.cFileName;
      const bool ours = name.size() > prefix.size() &&
                        name.compare(0, prefix.size(), prefix) == 0 &&
                        name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
      if (ours) DeleteFileA((path.substr(0, name_at) + name).c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }

  // The failure GetLastError names.
  template <class T = platform::Done>
  static platform::FileResult<T> Failure() {
    return platform::FileResult<T>::Failed(SystemErrorText(GetLastError()));
  }

  platform::PathRules GetPathRules() override {
    platform::PathRules rules{'\\', {}};
    for (unsigned byte = 0; byte < 256; ++byte) rules.lead_bytes[byte] = IsDBCSLeadByte(byte) != 0;
    return rules;
  }
};

}  // namespace

std::unique_ptr<platform::FileSystem> MakeWinFileSystem() {
  return std::make_unique<WinFileSystem>();
}

}  // namespace slidesaver::win32
