// Files and folders through the ANSI functions: Package names are ANSI byte strings.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_text.h"

namespace slidesaver::win32 {
namespace {

class EmptyFile : public platform::MappedFile {
 public:
  const uint8_t* data() const override { return nullptr; }
  size_t size() const override { return 0; }
};

class MappedView : public platform::MappedFile {
 public:
  MappedView(const void* view, size_t size) : view_(view), size_(size) {}
  ~MappedView() override { UnmapViewOfFile(view_); }
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;
  const uint8_t* data() const override { return static_cast<const uint8_t*>(view_); }
  size_t size() const override { return size_; }

 private:
  const void* view_;
  size_t size_;
};

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

// Writes all bytes to a new or truncated file; false with GetLastError() set on failure.
bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, DWORD flags) {
  Handle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | flags, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, size_t{1} << 30));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

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

  platform::CreateFolderResult CreateFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return platform::CreateFolderResult::Created;
    return GetLastError() == ERROR_ALREADY_EXISTS ? platform::CreateFolderResult::AlreadyExists
                                                  : platform::CreateFolderResult::Failed;
  }

  bool RemoveFolder(const std::string& path) override {
    return RemoveDirectoryA(path.c_str()) != 0;
  }

  bool DeleteFile(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }

  bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) override {
    return WriteWholeFile(path, bytes, 0);
  }

  std::string WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes) override {
    const std::string temporary = path + ".new" + std::to_string(GetCurrentProcessId());
    if (!WriteWholeFile(temporary, bytes, FILE_FLAG_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      DeleteFileA(temporary.c_str());
      return "cannot write " + temporary + ": " + SystemErrorText(error);
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      DeleteFileA(temporary.c_str());
      return "cannot replace " + path + ": " + SystemErrorText(error);
    }
    return {};
  }

  std::shared_ptr<const platform::MappedFile> MapFile(const std::string& path) override {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return nullptr;
    if (size.QuadPart == 0) return std::make_shared<EmptyFile>();  // nothing to map
    if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2) return nullptr;
    Handle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return nullptr;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) return nullptr;
    // The view keeps the file and the mapping alive after their handles are closed.
    return std::make_shared<MappedView>(view, static_cast<size_t>(size.QuadPart));
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
