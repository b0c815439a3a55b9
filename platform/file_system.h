#pragma once
// Byte-stream file access. Paths are byte strings (the ANSI code page on Windows).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/path_rules.h"

namespace slidesaver::platform {

class MappedFile {
 public:
  virtual ~MappedFile() = default;
  virtual const uint8_t* data() const = 0;
  virtual size_t size() const = 0;
};

enum class CreateFolderResult { Created, AlreadyExists, Failed };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;      // anything: file or folder
  virtual bool FileExists(const std::string& path) = 0;  // an ordinary file
  // Atomic: a folder that exists, or appears meanwhile, is AlreadyExists.
  virtual CreateFolderResult CreateFolder(const std::string& path) = 0;
  virtual bool RemoveFolder(const std::string& path) = 0;  // fails when not empty
  virtual bool DeleteFile(const std::string& path) = 0;
  // Creates or truncates the file and writes all bytes from its start.
  virtual bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) = 0;
  // Writes a temporary file beside path, then renames it over path. Empty on success,
  // otherwise a description of the failure; the previous file is then untouched.
  virtual std::string WriteFileAtomic(const std::string& path, std::span<const uint8_t> bytes) = 0;
  // The whole file, read-only; null when it can't be opened.
  virtual std::shared_ptr<const MappedFile> MapFile(const std::string& path) = 0;
  // How paths are spelled here; by default '/' and no double-byte characters.
  virtual PathRules GetPathRules() { return {}; }
};

}  // namespace slidesaver::platform
