#pragma once
// Prepared pictures kept on disk rather than in memory until the show is written: an unnamed
// temporary file beside the output (so it goes away with the process, whatever ends it), filled
// from many threads at once; each piece is then handed out as Package bytes, read from the file
// as the show is written.
#include <cstdint>
#include <filesystem>
#include <span>

#include "package/package.h"

namespace slidepack {

class SpillFile {
 public:
  explicit SpillFile(const std::filesystem::path& folder);
  ~SpillFile();
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  struct Piece {
    uint64_t offset = 0;
    size_t size = 0;
  };
  // Safe to call from several threads at once. Throws SlidepackError when the disk is full.
  Piece Add(std::span<const uint8_t> bytes);
  // The bytes of a piece; the file stays open as long as any Bytes from here lives.
  slidesaver::Bytes Get(Piece piece) const;

 private:
  class Source;
  std::filesystem::path folder_;
  std::shared_ptr<Source> source_;  // owns the file and its length
  int fd_ = -1;
};

}  // namespace slidepack
