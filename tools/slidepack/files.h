#pragma once
// File access for slidepack: whole-file reads that name the file at fault, and output files
// that appear under their name only when complete.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "package/package.h"
#include "tools/slidepack/manifest.h"

namespace slidepack {

class SlidepackError;

// The whole file as Package bytes (a read-only mapping, or an empty Bytes for an empty file).
// Throws SlidepackError naming the file when it can't be read or is not an ordinary file.
slidesaver::Bytes ReadWholeFile(const std::filesystem::path& path);

// "<manifest>:<line>: <what>"
SlidepackError LineError(const Manifest& manifest, int line, const std::string& what);

// Reads a file the manifest names; a failure names the manifest line and the file's `role`
// ("picture", "sound", "music") as well as the file.
slidesaver::Bytes ReadManifestFile(const Manifest& manifest, const ManifestFile& file,
                                   const char* role);

// A file written under a temporary name beside its final path and renamed into place by
// Commit(). Destroyed without Commit(), it removes the temporary file, so a failed run leaves
// nothing behind and never harms a file that was already there.
class OutputFile {
 public:
  explicit OutputFile(std::filesystem::path path, unsigned mode = 0644);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::span<const uint8_t> bytes);
  void Commit();
  const std::filesystem::path& path() const { return path_; }
  // Where the file is written until Commit(), for a writer that opens it by name.
  const std::filesystem::path& temp_path() const { return temp_path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path temp_path_;
  int fd_ = -1;
};

// True when the two paths name the same existing file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace slidepack
