#include "gdi/area_upscale.h"

#include <algorithm>
#include <cstring>

#include "common/run_time_error.h"

// The helpers below pass vectors by value among themselves only; on a target without SSE (the
// 32-bit Windows build) GCC warns that such an ABI differs from SSE's, which nothing here meets.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace slidesaver::gdi {
namespace {

typedef uint8_t U8x4 __attribute__((vector_size(4)));
typedef uint8_t U8x8 __attribute__((vector_size(8)));
typedef uint16_t U16x4 __attribute__((vector_size(8)));
typedef uint16_t U16x8 __attribute__((vector_size(16)));

// Two neighbouring pixels (8 bytes from `pair`) mixed by their weights (four lanes each).
uint32_t MixPair(const uint32_t* pair, const uint16_t* weights) {
  U8x8 bytes;
  std::memcpy(&bytes, pair, sizeof bytes);
  U16x8 lanes;
  std::memcpy(&lanes, weights, sizeof lanes);
  const U16x8 products = __builtin_convertvector(bytes, U16x8) * lanes;
  const U16x4 sum = (__builtin_shufflevector(products, products, 0, 1, 2, 3) +
                     __builtin_shufflevector(products, products, 4, 5, 6, 7) + 128) >>
                    8;
  const U8x4 pixel = __builtin_convertvector(sum, U8x4);
  uint32_t value;
  std::memcpy(&value, &pixel, sizeof value);
  return value;
}

// Row a and row b mixed byte by byte: a plain loop, so that the compiler makes it vector code,
// twice as wide where the processor has AVX2 (chosen as the program loads, on ELF systems).
#if defined(__x86_64__) && defined(__ELF__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void MixRows(uint8_t* __restrict out, const uint8_t* __restrict a, const uint8_t* __restrict b,
             uint16_t weight, size_t bytes) {
  const uint16_t keep = static_cast<uint16_t>(256 - weight);
  for (size_t k = 0; k < bytes; ++k) {
    out[k] =
        static_cast<uint8_t>(static_cast<uint16_t>(static_cast<uint16_t>(a[k] * keep) +
                                                   static_cast<uint16_t>(b[k] * weight) + 128u) >>
                             8);
  }
}

}  // namespace

AreaUpscale::Axis::Axis(int32_t source_size, int32_t target_size, Filter filter)
    : source(source_size), target(target_size) {
  if (source < 1 || target < source || target > kMaxSide ||
      (filter == Filter::Repeat && target % source != 0)) {
    throw InvalidProcedureCallError();
  }
  near.resize(static_cast<size_t>(target));
  far.resize(static_cast<size_t>(target));
  weight.resize(static_cast<size_t>(target));
  const int64_t s = source, t = target;
  for (int64_t i = 0; i < t; ++i) {
    const auto at = static_cast<size_t>(i);
    if (filter == Filter::Repeat) {
      near[at] = far[at] = static_cast<int32_t>(i * s / t);
      continue;
    }
    // The target pixel's centre in the source, in units of 1/(2t) source pixel from the first
    // source pixel's centre.
    const int64_t position = (2 * i + 1) * s - t;
    int64_t first = 0, share = 0;
    if (position > 0) {
      first = position / (2 * t);
      share = ((position % (2 * t)) * 256 + t) / (2 * t);
      if (share == 256) ++first, share = 0;
    }
    if (first >= s - 1) first = s - 1, share = 0;
    near[at] = static_cast<int32_t>(first);
    far[at] = static_cast<int32_t>(std::min(first + 1, s - 1));
    weight[at] = static_cast<uint16_t>(share);
  }
}

void AreaUpscale::Axis::TargetsOf(int32_t from, int32_t to, int32_t& first, int32_t& end) const {
  // near and far never decrease along the axis.
  first = static_cast<int32_t>(std::lower_bound(far.begin(), far.end(), from) - far.begin());
  end = static_cast<int32_t>(std::lower_bound(near.begin(), near.end(), to) - near.begin());
}

AreaUpscale::AreaUpscale(int32_t source_width, int32_t source_height, int32_t target_width,
                         int32_t target_height, Filter filter)
    : filter_(filter),
      columns_(source_width, target_width, filter),
      rows_(source_height, target_height, filter) {
  if (filter == Filter::Repeat && target_width / source_width != target_height / source_height) {
    throw InvalidProcedureCallError();  // blocks are square
  }
  if (filter == Filter::Repeat) return;
  paired_columns_ =
      static_cast<int32_t>(std::find(columns_.near.begin(), columns_.near.end(), source_width - 1) -
                           columns_.near.begin());
  pair_weights_.resize(static_cast<size_t>(paired_columns_) * 8);
  for (size_t tx = 0; tx < static_cast<size_t>(paired_columns_); ++tx) {
    const uint16_t far = columns_.weight[tx];
    for (size_t lane = 0; lane < 4; ++lane) {
      pair_weights_[8 * tx + lane] = static_cast<uint16_t>(256 - far);
      pair_weights_[8 * tx + 4 + lane] = far;
    }
  }
}

Rect AreaUpscale::TargetOf(const Rect& source_part) const {
  const Rect part = Intersect(source_part, {0, 0, columns_.source, rows_.source});
  if (part.Empty()) return {};
  Rect target;
  columns_.TargetsOf(part.left, part.right, target.left, target.right);
  rows_.TargetsOf(part.top, part.bottom, target.top, target.bottom);
  return target;
}

void AreaUpscale::Scale(const Bitmap& source, const Rect& target_part, Bitmap& target) const {
  if (target.GetFormat() != Bitmap::Format::Color32) throw InvalidProcedureCallError();
  Scale(source, target_part, PixelRows::Of(target));
}

void AreaUpscale::Scale(const Bitmap& source, const Rect& target_part,
                        const PixelRows& target) const {
  if (source.GetFormat() != Bitmap::Format::Color32 || source.Width() != columns_.source ||
      source.Height() != rows_.source || target.width != columns_.target ||
      target.height != rows_.target) {
    throw InvalidProcedureCallError();
  }
  const Rect part = Intersect(target_part, {0, 0, columns_.target, rows_.target});
  if (part.Empty()) return;
  if (filter_ == Filter::Repeat) {
    ScaleRepeat(source, part, target);
  } else {
    ScaleBilinear(source, part, target);
  }
}

void AreaUpscale::ScaleRepeat(const Bitmap& source, const Rect& part,
                              const PixelRows& target) const {
  const size_t bytes = static_cast<size_t>(part.Width()) * 4;
  for (int32_t ty = part.top; ty < part.bottom; ++ty) {
    uint32_t* out = target.Row(ty) + part.left;
    const int32_t sy = rows_.near[static_cast<size_t>(ty)];
    if (ty > part.top && rows_.near[static_cast<size_t>(ty - 1)] == sy) {
      std::memcpy(out, target.Row(ty - 1) + part.left, bytes);  // the block's row again
      continue;
    }
    const uint32_t* row = source.Row(sy);
    for (int32_t tx = part.left; tx < part.right; ++tx) {
      *out++ = row[columns_.near[static_cast<size_t>(tx)]];
    }
  }
}

void AreaUpscale::ScaleBilinear(const Bitmap& source, const Rect& part,
                                const PixelRows& target) const {
  // Source rows enlarged across, the part's columns only; two at a time are needed, and rows
  // go down, so each source row is enlarged across once.
  const auto width = static_cast<size_t>(part.Width());
  std::vector<uint32_t> across[2] = {std::vector<uint32_t>(width), std::vector<uint32_t>(width)};
  int32_t held[2] = {-1, -1};
  // The row `keep` is not evicted for row sy.
  const auto row_across = [&](int32_t sy, int32_t keep) -> const uint32_t* {
    for (int k = 0; k < 2; ++k) {
      if (held[k] == sy) return across[k].data();
    }
    const int slot = held[0] == keep ? 1 : 0;
    held[slot] = sy;
    const uint32_t* row = source.Row(sy);
    uint32_t* out = across[slot].data();
    // Where far is near + 1, both come in one load; at the last column they are one pixel.
    const int32_t paired_end = std::min(part.right, paired_columns_);
    int32_t tx = part.left;
    for (; tx < paired_end; ++tx) {
      const auto at = static_cast<size_t>(tx);
      *out++ = MixPair(row + columns_.near[at], pair_weights_.data() + 8 * at);
    }
    for (; tx < part.right; ++tx) *out++ = row[columns_.near[static_cast<size_t>(tx)]];
    return across[slot].data();
  };
  for (int32_t ty = part.top; ty < part.bottom; ++ty) {
    const auto at = static_cast<size_t>(ty);
    const int32_t sy = rows_.near[at];
    uint32_t* out = target.Row(ty) + part.left;
    const uint32_t* upper = row_across(sy, rows_.far[at]);
    if (rows_.weight[at] == 0) {
      std::memcpy(out, upper, width * 4);
      continue;
    }
    const uint32_t* lower = row_across(rows_.far[at], sy);
    MixRows(reinterpret_cast<uint8_t*>(out), reinterpret_cast<const uint8_t*>(upper),
            reinterpret_cast<const uint8_t*>(lower), rows_.weight[at], width * 4);
  }
}

}  // namespace slidesaver::gdi
