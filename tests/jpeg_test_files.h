#pragma once
// JPEG files the decoders must not trust, made byte by byte for the tests of the players and
// of slidepack: a grey progressive JPEG of many scans whose coefficients are all zero (a few
// hundred kilobytes that take a decoder a whole pass over the picture for each scan), and a
// JPEG cut inside its picture data with its end marker put back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace slidesaver::testing {

namespace jpeg_detail {

// Bits written most significant first, a 0xFF byte followed by a stuffed 0x00.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      byte_ = static_cast<uint8_t>(byte_ << 1 | ((value >> i) & 1));
      if (++held_ == 8) Flush();
    }
  }
  // The last byte is filled with 1 bits.
  void End() {
    while (held_ != 0) Put(1, 1);
  }

 private:
  void Flush() {
    out_.push_back(byte_);
    if (byte_ == 0xFF) out_.push_back(0);
    byte_ = 0;
    held_ = 0;
  }
  std::vector<uint8_t>& out_;
  uint8_t byte_ = 0;
  int held_ = 0;
};

inline void Segment(std::vector<uint8_t>& b, uint8_t marker, const std::vector<uint8_t>& data) {
  const size_t length = data.size() + 2;
  b.insert(b.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
  b.insert(b.end(), data.begin(), data.end());
}

}  // namespace jpeg_detail

// A grey progressive JPEG of `width` x `height` whose first scan holds the DC coefficients and
// whose `ac_scans` further scans each hold one AC coefficient by successive approximation, in
// an order a decoder accepts for up to 882 of them (beyond, the order repeats). Every block is
// zero: the picture is grey (128).
inline std::vector<uint8_t> ProgressiveGreyJpeg(int width, int height, int ac_scans) {
  using jpeg_detail::Segment;
  std::vector<uint8_t> b{0xFF, 0xD8};
  std::vector<uint8_t> quantization(65, 1);  // table 0: all ones
  quantization[0] = 0;
  Segment(b, 0xDB, quantization);
  Segment(b, 0xC2,
          {8, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), 1, 1,
           0x11, 0});
  // DC table 0: one code, "0", for a difference of 0. AC table 0: the end-of-band runs EOB0 to
  // EOB14, each a code of 4 bits equal to its run's order.
  Segment(b, 0xC4, {0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  std::vector<uint8_t> ac{0x10, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (uint8_t r = 0; r <= 14; ++r) ac.push_back(uint8_t(r << 4));
  Segment(b, 0xC4, ac);

  const int64_t blocks = int64_t{(width + 7) / 8} * ((height + 7) / 8);
  Segment(b, 0xDA, {1, 1, 0x00, 0, 0, 0x00});
  {
    jpeg_detail::BitWriter bits(b);
    for (int64_t i = 0; i < blocks; ++i) bits.Put(0, 1);
    bits.End();
  }
  for (int scan = 0; scan < ac_scans; ++scan) {
    // Coefficient k: first its bits from 13 down, then each lower bit in a refinement scan.
    const int k = 1 + (scan / 14) % 63, step = scan % 14;
    const int high = step == 0 ? 0 : 14 - step, low = 13 - step;
    Segment(b, 0xDA, {1, 1, 0x00, uint8_t(k), uint8_t(k), uint8_t(high << 4 | low)});
    jpeg_detail::BitWriter bits(b);
    for (int64_t left = blocks; left > 0;) {
      const int64_t run = std::min<int64_t>(left, 32767);
      int r = 0;
      while ((int64_t{2} << r) <= run) ++r;
      bits.Put(static_cast<uint32_t>(r), 4);
      if (r > 0) bits.Put(static_cast<uint32_t>(run - (int64_t{1} << r)), r);
      left -= run;
    }
    bits.End();
  }
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

// The JPEG cut in the middle of its first scan's data, with its end marker appended: its
// segments are whole, its picture data is not.
inline std::vector<uint8_t> CutInsideScanData(const std::vector<uint8_t>& jpeg) {
  size_t data = 0;
  for (size_t at = 2; at + 4 <= jpeg.size(); at += 2 + (size_t{jpeg[at + 2]} << 8 | jpeg[at + 3])) {
    if (jpeg[at + 1] == 0xDA) {
      data = at + 2 + (size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
      break;
    }
  }
  std::vector<uint8_t> cut(
      jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(data + (jpeg.size() - data) / 2));
  if (cut.back() == 0xFF) cut.pop_back();
  cut.insert(cut.end(), {0xFF, 0xD9});
  return cut;
}

}  // namespace slidesaver::testing
