// Copies and fills that write only what changes and report it as damage.
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gdi/raster.h"

namespace slidesaver::gdi::detail {
namespace {

// Pixels compared at once: one 64-byte cache line.
constexpr int32_t kChunk = 16;

inline void Prefetch(const uint32_t* p) {
#if defined(__SSE2__)
  _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
#else
  static_cast<void>(p);
#endif
}

#if defined(__SSE2__)
inline __m128i Load(const uint32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline bool Differs(__m128i any_bits) {
  return _mm_movemask_epi8(_mm_cmpeq_epi32(any_bits, _mm_setzero_si128())) != 0xFFFF;
}
#endif

struct FromRow {
  const uint32_t* s;
  uint32_t At(int32_t i) const { return s[i]; }
  bool ChunkDiffers(const uint32_t* d) const {
#if defined(__SSE2__)
    const __m128i x0 = _mm_xor_si128(Load(d), Load(s));
    const __m128i x1 = _mm_xor_si128(Load(d + 4), Load(s + 4));
    const __m128i x2 = _mm_xor_si128(Load(d + 8), Load(s + 8));
    const __m128i x3 = _mm_xor_si128(Load(d + 12), Load(s + 12));
    return Differs(_mm_or_si128(_mm_or_si128(x0, x1), _mm_or_si128(x2, x3)));
#else
    uint32_t any = 0;
    for (int32_t i = 0; i < kChunk; ++i) any |= d[i] ^ s[i];
    return any != 0;
#endif
  }
  void CopyChunk(uint32_t* d) const { std::memcpy(d, s, kChunk * sizeof(uint32_t)); }
  void Advance(int32_t n) { s += n; }
  void Prefetch(ptrdiff_t ahead) const { gdi::detail::Prefetch(s + ahead); }
};

struct FromValue {
  uint32_t v;
  uint32_t At(int32_t) const { return v; }
  bool ChunkDiffers(const uint32_t* d) const {
#if defined(__SSE2__)
    const __m128i value = _mm_set1_epi32(static_cast<int>(v));
    const __m128i x0 = _mm_xor_si128(Load(d), value);
    const __m128i x1 = _mm_xor_si128(Load(d + 4), value);
    const __m128i x2 = _mm_xor_si128(Load(d + 8), value);
    const __m128i x3 = _mm_xor_si128(Load(d + 12), value);
    return Differs(_mm_or_si128(_mm_or_si128(x0, x1), _mm_or_si128(x2, x3)));
#else
    uint32_t any = 0;
    for (int32_t i = 0; i < kChunk; ++i) any |= d[i] ^ v;
    return any != 0;
#endif
  }
  void CopyChunk(uint32_t* d) const {
    for (int32_t i = 0; i < kChunk; ++i) d[i] = v;
  }
  void Advance(int32_t) {}
  void Prefetch(ptrdiff_t) const {}
};

// rows_ahead, rows_ahead_in_source: from a pixel to the pixel a few rows below (zero at the
// bottom).
template <class Source>
void WriteChanged(uint32_t* d, Source src, int32_t n, ptrdiff_t rows_ahead,
                  ptrdiff_t rows_ahead_in_source, Damage& damage, int32_t y, int32_t x) {
  int32_t run_begin = -1, run_end = 0;  // the changed stretch not yet reported
  auto changed = [&](int32_t first, int32_t end) {
    if (run_begin >= 0 && first - run_end < Damage::kJoinGap) {
      run_end = end;
      return;
    }
    if (run_begin >= 0) damage.Add(y, x + run_begin, x + run_end);
    run_begin = first;
    run_end = end;
  };
  int32_t i = 0;
  for (; i + kChunk <= n; i += kChunk, d += kChunk, src.Advance(kChunk)) {
    // The same columns a few rows down, read next: a band narrower than the row starts each
    // row cold, and its two streams would each wait for memory.
    Prefetch(d + rows_ahead);
    src.Prefetch(rows_ahead_in_source);
    if (!src.ChunkDiffers(d)) continue;
    int32_t first = 0, last = kChunk - 1;
    while (d[first] == src.At(first)) ++first;
    while (d[last] == src.At(last)) --last;
    changed(i + first, i + last + 1);
    src.CopyChunk(d);
  }
  for (int32_t k = 0; i < n; ++i, ++k) {
    if (d[k] == src.At(k)) continue;
    changed(i, i + 1);
    d[k] = src.At(k);
  }
  if (run_begin >= 0) damage.Add(y, x + run_begin, x + run_end);
}

}  // namespace

namespace {
constexpr int32_t kRowsAhead = 2;
ptrdiff_t RowsAhead(const Bitmap& b, int32_t y) {
  return y + kRowsAhead < b.Height() ? ptrdiff_t{kRowsAhead} * b.Width() : 0;
}
}  // namespace

void CopyChanged(Bitmap& dst, int32_t y, int32_t x, int32_t n, const Bitmap& src, int32_t sy,
                 int32_t sx, Damage& damage) {
  WriteChanged(dst.Row(y) + x, FromRow{src.Row(sy) + sx}, n, RowsAhead(dst, y), RowsAhead(src, sy),
               damage, y, x);
}

void FillChanged(Bitmap& dst, int32_t y, int32_t x, int32_t n, uint32_t value, Damage& damage) {
  WriteChanged(dst.Row(y) + x, FromValue{value}, n, RowsAhead(dst, y), 0, damage, y, x);
}

}  // namespace slidesaver::gdi::detail
