#pragma once
// Prepared pictures kept on disk rather than in memory until the show is written: an unnamed
// temporary file beside the output (so it goes away with the process, whatever ends it), filled
// from many threads at once and then mapped to hand out each piece as Package bytes.
#include <atomic>
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
  // After the last Add: the bytes of a piece, valid as long as any Bytes from here lives.
  slidesaver::Bytes Get(Piece piece);

 private:
  std::filesystem::path folder_;
  int fd_ = -1;
  std::atomic<uint64_t> end_{0};
  std::shared_ptr<const void> mapping_;
  const uint8_t* base_ = nullptr;
};

}  // namespace slidepack
