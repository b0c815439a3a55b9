#pragma once
// A PNG written a band of rows at a time into an OutputFile, so that a sheet of any number of
// slides takes the memory of one row of slides.
#include <cstdint>
#include <span>

#include "tools/slidepack/files.h"

namespace slidepack {

class PngRowWriter {
 public:
  // An 8-bit RGB image of `width` x `height` pixels. Throws SlidepackError naming the file.
  PngRowWriter(OutputFile& file, int width, int height);
  ~PngRowWriter();
  PngRowWriter(const PngRowWriter&) = delete;
  PngRowWriter& operator=(const PngRowWriter&) = delete;

  // Whole rows, top to bottom: width * 3 bytes each.
  void WriteRows(std::span<const uint8_t> rgb);
  // After the last row.
  void Finish();

  struct State;  // public for libpng's callbacks

 private:
  State* state_;
  int width_;
};

}  // namespace slidepack
