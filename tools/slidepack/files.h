#pragma once
// File access for slidepack: input files read as they are needed, with errors that name the
// file at fault, and output files that appear under their name only when complete.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "package/package.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

class NamedUntilDone;

// An ordinary file as Package bytes, read a piece at a time when they are needed: any number of
// them costs neither memory nor open files. A FIFO, a device or a folder is an error (and is
// never waited for), and so is a file that changes before its bytes are read (a read then
// throws media::ReadError). Throws SlidepackError naming the file.
slidesaver::Bytes OpenInput(const std::filesystem::path& path);

// The whole of a file that is read at once (a manifest), at most `max_bytes` of it; a longer
// file is an error. Throws SlidepackError naming the file.
std::string ReadSmallFile(const std::filesystem::path& path, size_t max_bytes);

// "<manifest>:<line>: <what>"
SlidepackError LineError(const Manifest& manifest, int line, const std::string& what);

// Opens a file the manifest names; a failure names the manifest line and the file's `role`
// ("picture", "sound", "music") as well as the file.
slidesaver::Bytes ReadManifestFile(const Manifest& manifest, const ManifestFile& file,
                                   const char* role);

// A file that appears under its path only when complete: written as an unnamed file in the
// path's folder (or, where the file system has none, under a hidden temporary name) and renamed
// into place by Commit(). Destroyed without Commit(), it leaves nothing behind and never harms a
// file that was already there; a process that dies before Commit() leaves nothing either.
class OutputFile {
 public:
  explicit OutputFile(std::filesystem::path path, unsigned mode = 0644);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::span<const uint8_t> bytes);
  // Writes the bytes a piece at a time, calling `progress` with each piece's size.
  void Write(const slidesaver::Bytes& bytes, const std::function<void(size_t)>& progress);
  void Commit();
  const std::filesystem::path& path() const { return path_; }
  // A name that opens the file until Commit(), for a writer that opens it by name.
  const std::filesystem::path& temp_path() const { return temp_path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path temp_path_;
  std::string hidden_pattern_;  // ".<name>.XXXXXX" in the path's folder
  std::string named_;           // the file's temporary name, while it has one
  std::unique_ptr<NamedUntilDone> removed_on_crash_;
  int fd_ = -1;
};

// True when the two paths name the same existing file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace slidepack
