#include "gdi/raster.h"

#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gdi/dc.h"

namespace slidesaver::gdi::detail {

std::optional<RasterOp> RasterOpFrom(uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
      return RasterOp::kCopy;
    case SRCAND:
      return RasterOp::kAnd;
    case SRCINVERT:
      return RasterOp::kInvert;
    case DSna:
      return RasterOp::kAndNot;
    default:
      return std::nullopt;
  }
}

void FinishStores() {
#if defined(__SSE2__)
  _mm_sfence();
#endif
}

namespace {

// d[i] = pixel(i) for i < n, with stores that bypass the cache.
template <class Pixel>
void StreamRow(uint32_t* d, int32_t n, const Pixel& pixel) {
  int32_t i = 0;
#if defined(__SSE2__)
  for (; i < n && (reinterpret_cast<uintptr_t>(d + i) & 15) != 0; ++i) d[i] = pixel(i);
  for (; i + 4 <= n; i += 4) {
    const __m128i v = _mm_set_epi32(static_cast<int>(pixel(i + 3)), static_cast<int>(pixel(i + 2)),
                                    static_cast<int>(pixel(i + 1)), static_cast<int>(pixel(i)));
    _mm_stream_si128(reinterpret_cast<__m128i*>(d + i), v);
  }
#endif
  for (; i < n; ++i) d[i] = pixel(i);
}

template <RasterOp Op, class T>
inline T Combine(T d, T s) {
  if constexpr (Op == RasterOp::kCopy) {
    return s;
  } else if constexpr (Op == RasterOp::kAnd) {
    return static_cast<T>(d & s);
  } else if constexpr (Op == RasterOp::kInvert) {
    return static_cast<T>(d ^ s);
  } else {
    return static_cast<T>(d & ~s);  // monochrome values are 0 or 1, so this stays 0 or 1
  }
}

// Source pixel to destination pixel, for each pair of formats. The colours are copied out
// of the painter so that the loops keep them in registers (stores to the rows could
// otherwise alias them).
struct SameFormat {
  explicit SameFormat(const RowPainter&) {}
  template <class T>
  T operator()(T s) const {
    return s;
  }
};
struct ColorToMono {
  explicit ColorToMono(const RowPainter& p) : key(p.key_rgb) {}
  uint8_t operator()(uint32_t s) const { return (s & 0xFFFFFF) == key ? 1 : 0; }
  uint32_t key;
};
struct MonoToColor {
  explicit MonoToColor(const RowPainter& p) : one(p.one_rgb), zero(p.zero_rgb) {}
  uint32_t operator()(uint8_t s) const { return s ? one : zero; }
  uint32_t one, zero;
};

template <class T>
T* RowOf(Bitmap& b, int32_t y);
template <>
uint32_t* RowOf<uint32_t>(Bitmap& b, int32_t y) {
  return b.Row(y);
}
template <>
uint8_t* RowOf<uint8_t>(Bitmap& b, int32_t y) {
  return b.MonoRow(y);
}
template <class T>
const T* RowOf(const Bitmap& b, int32_t y);
template <>
const uint32_t* RowOf<uint32_t>(const Bitmap& b, int32_t y) {
  return b.Row(y);
}
template <>
const uint8_t* RowOf<uint8_t>(const Bitmap& b, int32_t y) {
  return b.MonoRow(y);
}

template <RasterOp Op, class D, class S, class Conv>
struct Kernel {
  static void Straight(const RowPainter& p, int32_t y, int32_t x, int32_t n, int32_t sy,
                       int32_t sx) {
    D* d = RowOf<D>(p.dst, y) + x;
    const S* s = RowOf<S>(p.src, sy) + sx;
    if constexpr (Op == RasterOp::kCopy && std::is_same_v<Conv, SameFormat>) {
      std::memmove(d, s, static_cast<size_t>(n) * sizeof(D));
    } else {
      const Conv convert(p);
      for (int32_t i = 0; i < n; ++i) d[i] = Combine<Op, D>(d[i], convert(s[i]));
    }
  }
  static void Mapped(const RowPainter& p, int32_t y, int32_t x, int32_t n, int32_t sy,
                     const int32_t* columns) {
    D* d = RowOf<D>(p.dst, y) + x;
    const S* s = RowOf<S>(p.src, sy);
    const Conv convert(p);
    if constexpr (Op == RasterOp::kCopy && std::is_same_v<D, uint32_t>) {
      if (p.stream) return StreamRow(d, n, [&](int32_t i) { return convert(s[columns[i]]); });
    }
    for (int32_t i = 0; i < n; ++i) d[i] = Combine<Op, D>(d[i], convert(s[columns[i]]));
  }
};

template <class D, class S, class Conv, class Fn>
void Pick(RasterOp op, Fn&& set) {
  switch (op) {
    case RasterOp::kCopy:
      return set(Kernel<RasterOp::kCopy, D, S, Conv>{});
    case RasterOp::kAnd:
      return set(Kernel<RasterOp::kAnd, D, S, Conv>{});
    case RasterOp::kInvert:
      return set(Kernel<RasterOp::kInvert, D, S, Conv>{});
    case RasterOp::kAndNot:
      return set(Kernel<RasterOp::kAndNot, D, S, Conv>{});
  }
}

}  // namespace

RowPainter::RowPainter(RasterOp op, Bitmap& d, const Bitmap& s, uint32_t key, uint32_t one,
                       uint32_t zero, bool stream_stores)
    : dst(d),
      src(s),
      key_rgb(key & 0xFFFFFF),
      one_rgb(one & 0xFFFFFF),
      zero_rgb(zero & 0xFFFFFF),
      stream(stream_stores && &d != &s) {
  auto set = [this](auto kernel) {
    straight_ = &decltype(kernel)::Straight;
    mapped_ = &decltype(kernel)::Mapped;
  };
  const bool dst_mono = d.GetFormat() == Bitmap::Format::Mono1;
  const bool src_mono = s.GetFormat() == Bitmap::Format::Mono1;
  if (!dst_mono && !src_mono) {
    Pick<uint32_t, uint32_t, SameFormat>(op, set);
  } else if (dst_mono && src_mono) {
    Pick<uint8_t, uint8_t, SameFormat>(op, set);
  } else if (dst_mono) {
    Pick<uint8_t, uint32_t, ColorToMono>(op, set);
  } else {
    Pick<uint32_t, uint8_t, MonoToColor>(op, set);
  }
}

}  // namespace slidesaver::gdi::detail
