#pragma once
// libvips as slidepack uses it: started once per process, with the operation cache off (each
// picture is read once, so caching only costs memory) and its warnings kept off the terminal
// (a picture that fails is reported as an error naming the manifest line instead).
#include <vips/vips8>

#include <cstdint>
#include <span>
#include <string>

namespace slidepack {

// Starts libvips on first use; later calls do nothing. Throws SlidepackError if it can't start.
void StartVips();

// A libvips blob over bytes kept alive by the caller, without a copy.
class BorrowedBlob {
 public:
  explicit BorrowedBlob(std::span<const uint8_t> bytes)
      : blob_(vips_blob_new(nullptr, bytes.data(), bytes.size())) {}
  ~BorrowedBlob() { vips_area_unref(VIPS_AREA(blob_)); }
  BorrowedBlob(const BorrowedBlob&) = delete;
  BorrowedBlob& operator=(const BorrowedBlob&) = delete;
  VipsBlob* get() const { return blob_; }

 private:
  VipsBlob* blob_;
};

// Makes a computation of `image` (or of an image made from it) stop with an error within a band
// of pixels once a signal has come (InterruptRequested): a large picture takes seconds.
void StopOnInterrupt(const vips::VImage& image);

// The first line of a libvips error, for a message of our own.
std::string VipsReason(const vips::VError& error);

}  // namespace slidepack
