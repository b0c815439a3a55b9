#include "gdi/area_downscale.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "common/run_time_error.h"

// The helpers below pass vectors by value among themselves only; on a target without SSE (the
// 32-bit Windows build) GCC warns that such an ABI differs from SSE's, which nothing here meets.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace slidesaver::gdi {
namespace {

// Lanes in memory order: one pixel's four bytes (blue, green, red, unused on x86), two pixels'
// in the 16-bit sums of whole rows.
typedef uint8_t U8x4 __attribute__((vector_size(4)));
typedef uint8_t U8x16 __attribute__((vector_size(16)));
typedef uint16_t U16x4 __attribute__((vector_size(8)));
typedef uint16_t U16x8 __attribute__((vector_size(16)));
typedef int32_t I32x4 __attribute__((vector_size(16)));
typedef uint32_t U32x4 __attribute__((vector_size(16)));
typedef float F32x4 __attribute__((vector_size(16)));

// Rows summed in 16-bit lanes before they could overflow: 257 · 255 = 65535.
constexpr int32_t kRowsPerNarrowSum = 257;

template <typename Vector, typename Lane>
Vector Load(const Lane* lanes) {
  Vector v;
  std::memcpy(&v, lanes, sizeof v);
  return v;
}

F32x4 AsFloat(U16x4 v) { return __builtin_convertvector(__builtin_convertvector(v, I32x4), F32x4); }
F32x4 AsFloat(U32x4 v) { return __builtin_convertvector(v, F32x4); }
F32x4 PixelAsFloat(const uint16_t* lanes) { return AsFloat(Load<U16x4>(lanes)); }
F32x4 PixelAsFloat(const uint32_t* lanes) { return AsFloat(Load<U32x4>(lanes)); }

// The sum of `count` pixels' lanes from `lanes` on, as floats; `chunk` pixels at most are summed
// as integers at a time. 16-bit lanes go two pixels to a vector.
F32x4 SumPixels(const uint16_t* lanes, int32_t count, int32_t chunk) {
  F32x4 total = {0, 0, 0, 0};
  while (count > 0) {
    const int32_t n = std::min(count, chunk);
    U16x8 pairs = {0, 0, 0, 0, 0, 0, 0, 0};
    int32_t k = 0;
    for (; k + 1 < n; k += 2) pairs += Load<U16x8>(lanes + 4 * k);
    U16x4 sum = __builtin_shufflevector(pairs, pairs, 0, 1, 2, 3) +
                __builtin_shufflevector(pairs, pairs, 4, 5, 6, 7);
    if (k < n) sum += Load<U16x4>(lanes + 4 * k);
    total += AsFloat(sum);
    lanes += 4 * n;
    count -= n;
  }
  return total;
}

F32x4 SumPixels(const uint32_t* lanes, int32_t count, int32_t chunk) {
  F32x4 total = {0, 0, 0, 0};
  while (count > 0) {
    const int32_t n = std::min(count, chunk);
    U32x4 sum = {0, 0, 0, 0};
    for (int32_t k = 0; k < n; ++k) sum += Load<U32x4>(lanes + 4 * k);
    total += AsFloat(sum);
    lanes += 4 * n;
    count -= n;
  }
  return total;
}

// Rounds lanes of 0 … 255 to a pixel, byte k from lane k.
uint32_t Pixel(F32x4 lanes) {
  const I32x4 rounded = __builtin_convertvector(lanes + 0.5f, I32x4);
  const U8x16 bytes = Load<U8x16>(reinterpret_cast<const uint8_t*>(&rounded));
  U8x4 pixel;
  if constexpr (std::endian::native == std::endian::little) {
    pixel = __builtin_shufflevector(bytes, bytes, 0, 4, 8, 12);
  } else {
    pixel = __builtin_shufflevector(bytes, bytes, 3, 7, 11, 15);
  }
  uint32_t value;
  std::memcpy(&value, &pixel, sizeof value);
  return value;
}

// Plain loops over bytes, so that the compiler turns them into vector instructions.
void SetRows(uint16_t* __restrict sums, const uint8_t* __restrict a, const uint8_t* __restrict b,
             size_t lanes) {
  for (size_t k = 0; k < lanes; ++k) sums[k] = static_cast<uint16_t>(a[k] + b[k]);
}
void SetRow(uint16_t* __restrict sums, const uint8_t* __restrict row, size_t lanes) {
  for (size_t k = 0; k < lanes; ++k) sums[k] = row[k];
}
void AddRows(uint16_t* __restrict sums, const uint8_t* __restrict a, const uint8_t* __restrict b,
             size_t lanes) {
  for (size_t k = 0; k < lanes; ++k) sums[k] = static_cast<uint16_t>(sums[k] + a[k] + b[k]);
}
void AddRow(uint16_t* __restrict sums, const uint8_t* __restrict row, size_t lanes) {
  for (size_t k = 0; k < lanes; ++k) sums[k] = static_cast<uint16_t>(sums[k] + row[k]);
}
// Weights fit 16 bits (no side is longer than kMaxSourceSide): 16 × 16-bit products.
void AddWeightedRow(uint32_t* __restrict sums, const uint8_t* __restrict row, uint16_t weight,
                    size_t lanes) {
  for (size_t k = 0; k < lanes; ++k) sums[k] += uint32_t{uint16_t{row[k]}} * weight;
}
void AddWeightedSums(uint32_t* __restrict sums, const uint16_t* __restrict whole_rows,
                     uint16_t weight, size_t lanes) {
  for (size_t k = 0; k < lanes; ++k) sums[k] += uint32_t{whole_rows[k]} * weight;
}

// Sums whole rows (at most kRowsPerNarrowSum) into 16-bit lanes, two rows at a pass.
void SumWholeRows(std::vector<uint16_t>& sums, const std::vector<const uint8_t*>& rows) {
  const size_t lanes = sums.size();
  size_t r = 0;
  if (rows.size() >= 2) {
    SetRows(sums.data(), rows[0], rows[1], lanes);
    r = 2;
  } else if (rows.size() == 1) {
    SetRow(sums.data(), rows[0], lanes);
    r = 1;
  } else {
    std::fill(sums.begin(), sums.end(), uint16_t{0});
  }
  for (; r + 1 < rows.size(); r += 2) AddRows(sums.data(), rows[r], rows[r + 1], lanes);
  if (r < rows.size()) AddRow(sums.data(), rows[r], lanes);
}

}  // namespace

AreaDownscale::Axis::Axis(int32_t source_size, int32_t target_size)
    : source(source_size), target(target_size) {
  if (target < 1 || target > source || source > kMaxSourceSide) throw InvalidProcedureCallError();
  covers.resize(static_cast<size_t>(target));
  const int64_t s = source, t = target;
  for (int64_t i = 0; i < t; ++i) {
    const int64_t begin = i * s, end = (i + 1) * s;  // in units of 1/target source pixel
    Cover& c = covers[static_cast<size_t>(i)];
    c.first = static_cast<int32_t>(begin / t);
    c.last = static_cast<int32_t>((end - 1) / t);
    c.first_weight = static_cast<uint32_t>(std::min((c.first + 1) * t, end) - begin);
    c.last_weight = c.last > c.first ? static_cast<uint32_t>(end - c.last * t) : 0;
  }
}

AreaDownscale::AreaDownscale(int32_t source_width, int32_t source_height, int32_t target_width,
                             int32_t target_height)
    : columns_(source_width, target_width), rows_(source_height, target_height) {}

Rect AreaDownscale::TargetOf(const Rect& source_part) const {
  const Rect part = Intersect(source_part, {0, 0, columns_.source, rows_.source});
  if (part.Empty()) return {};
  // Target pixel t meets source pixels [left, right) when t·source < right·target and
  // left·target < (t+1)·source.
  const auto first = [](int64_t from, int64_t target, int64_t source) {
    return static_cast<int32_t>(from * target / source);
  };
  const auto end = [](int64_t to, int64_t target, int64_t source) {
    return static_cast<int32_t>((to * target + source - 1) / source);
  };
  return {first(part.left, columns_.target, columns_.source),
          first(part.top, rows_.target, rows_.source),
          end(part.right, columns_.target, columns_.source),
          end(part.bottom, rows_.target, rows_.source)};
}

void AreaDownscale::Scale(const Bitmap& source, const Rect& target_part, Bitmap& target) const {
  if (target.GetFormat() != Bitmap::Format::Color32) throw InvalidProcedureCallError();
  Scale(source, target_part, PixelRows::Of(target));
}

void AreaDownscale::Scale(const Bitmap& source, const Rect& target_part,
                          const PixelRows& target) const {
  if (source.GetFormat() != Bitmap::Format::Color32 || source.Width() != columns_.source ||
      source.Height() != rows_.source || target.width != columns_.target ||
      target.height != rows_.target) {
    throw InvalidProcedureCallError();
  }
  const Rect part = Intersect(target_part, {0, 0, columns_.target, rows_.target});
  if (part.Empty()) return;

  // The source columns the part's target columns cover, as lanes of four bytes each.
  const int32_t from_column = columns_.covers[static_cast<size_t>(part.left)].first;
  const int32_t to_column = columns_.covers[static_cast<size_t>(part.right - 1)].last + 1;
  const size_t lanes = static_cast<size_t>(to_column - from_column) * 4;
  std::vector<uint16_t> whole_rows(lanes);  // unweighted sums of the rows covered whole
  std::vector<uint32_t> weighted(lanes);    // weighted sums, once a row is covered in part
  std::vector<const uint8_t*> rows_to_sum;

  const uint32_t whole_row = static_cast<uint32_t>(rows_.target);
  const uint32_t whole_column = static_cast<uint32_t>(columns_.target);
  const double area = static_cast<double>(columns_.source) * rows_.source;
  const auto row_bytes = [&](int32_t y) {
    return reinterpret_cast<const uint8_t*>(source.Row(y) + from_column);
  };

  for (int32_t ty = part.top; ty < part.bottom; ++ty) {
    // Down: the rows of this target row.
    const Axis::Cover& rows = rows_.covers[static_cast<size_t>(ty)];
    rows_to_sum.clear();
    bool any_weighted = false;
    for (int32_t y = rows.first; y <= rows.last; ++y) {
      const uint32_t weight = y == rows.first  ? rows.first_weight
                              : y == rows.last ? rows.last_weight
                                               : whole_row;
      if (weight == whole_row && rows_to_sum.size() < kRowsPerNarrowSum) {
        rows_to_sum.push_back(row_bytes(y));
        continue;
      }
      if (!any_weighted) std::fill(weighted.begin(), weighted.end(), 0u);
      any_weighted = true;
      AddWeightedRow(weighted.data(), row_bytes(y), static_cast<uint16_t>(weight), lanes);
    }
    SumWholeRows(whole_rows, rows_to_sum);
    if (any_weighted) {
      AddWeightedSums(weighted.data(), whole_rows.data(), static_cast<uint16_t>(whole_row), lanes);
    }

    // Across: each target pixel's columns, the whole ones summed as integers in chunks that
    // cannot overflow, the partly covered ones by their weights.
    const auto across = [&](const auto* sums, int32_t chunk, float scale) {
      uint32_t* out = target.Row(ty);
      for (int32_t tx = part.left; tx < part.right; ++tx) {
        const Axis::Cover& c = columns_.covers[static_cast<size_t>(tx)];
        const auto at = [&](int32_t x) { return sums + static_cast<size_t>(x - from_column) * 4; };
        F32x4 total = PixelAsFloat(at(c.first)) * static_cast<float>(c.first_weight);
        if (c.last > c.first) {
          total += PixelAsFloat(at(c.last)) * static_cast<float>(c.last_weight);
          total += SumPixels(at(c.first + 1), c.last - c.first - 1, chunk) *
                   static_cast<float>(whole_column);
        }
        out[tx] = Pixel(total * scale);
      }
    };
    if (any_weighted) {
      const uint32_t largest = 255u * static_cast<uint32_t>(rows_.source);
      across(weighted.data(), static_cast<int32_t>(std::numeric_limits<uint32_t>::max() / largest),
             static_cast<float>(1.0 / area));
    } else {
      const int32_t row_count = std::max<int32_t>(1, static_cast<int32_t>(rows_to_sum.size()));
      across(whole_rows.data(), kRowsPerNarrowSum / row_count,
             static_cast<float>(whole_row / area));
    }
  }
}

}  // namespace slidesaver::gdi
