#pragma once
// libvips as slidepack and the player's folder use it: started once per process, with the
// operation cache off (each picture is read once, so caching only costs memory) and its warnings
// kept off the terminal (a picture that fails is reported by the caller, naming the file).
#include <vips/vips8>

#include <atomic>
#include <cstdint>
#include <span>
#include <string>

namespace slidesaver::photos {

// Starts libvips on first use; later calls do nothing. Throws PhotoError if it can't start.
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

// A libvips source over bytes kept alive by the caller whose reads fail once `abandon` is set:
// a decoder in the middle of a picture (a progressive JPEG's hundreds of scans) stops at its
// next read instead of going on for seconds. A read gives at most `piece` bytes: small for a
// JPEG, whose decoder reads on as it needs (a scan may be a few bytes that take many
// milliseconds), whole for decoders that take a short read for an error (libtiff). It must
// outlive every image made from it.
class AbandonableSource {
 public:
  AbandonableSource(std::span<const uint8_t> bytes, const std::atomic<bool>& abandon,
                    uint64_t piece = UINT64_MAX);
  ~AbandonableSource();
  AbandonableSource(const AbandonableSource&) = delete;
  AbandonableSource& operator=(const AbandonableSource&) = delete;
  const vips::VSource& source() const { return source_; }

 private:
  static gint64 Read(VipsSourceCustom*, void* buffer, gint64 length, AbandonableSource* self);
  static gint64 Seek(VipsSourceCustom*, gint64 offset, int whence, AbandonableSource* self);

  std::span<const uint8_t> bytes_;
  const std::atomic<bool>& abandon_;
  uint64_t piece_;
  uint64_t at_ = 0;
  vips::VSource source_;
};

// The loader's options for a picture's decoding: a JPEG fails on any warning (libjpeg only
// warns of corrupt or missing data, a premature end or extraneous bytes, and makes the rest
// grey). A thumbnail's own "fail_on" does not reach the JPEG loader's warnings.
const char* LoaderOptions(bool jpeg);

// Makes the computations that StopOnRequest follows stop with an error within a band of pixels
// once `requested` returns true (slidepack: a signal has come). Safe from any thread.
void SetVipsStopRequest(bool (*requested)());
// Follows a computation of `image` (or of an image made from it) so that the stop request reaches
// it: a large picture takes seconds.
void StopOnRequest(const vips::VImage& image);

// Makes the computation of `image` stop with an error within a band of pixels once `abandon`
// is set.
void StopWhenAbandoned(const vips::VImage& image, const std::atomic<bool>& abandon);

// The first line of a libvips error, for a message of our own.
std::string VipsReason(const vips::VError& error);

}  // namespace slidesaver::photos
