#include "platform/gdi/raster.h"

#include <cstring>

#include "platform/gdi/dc.h"

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

namespace {

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

// Source pixel to destination pixel, for each pair of formats.
struct SameFormat {
  template <class T>
  static T Convert(const RowPainter&, T s) {
    return s;
  }
};
struct ColorToMono {
  static uint8_t Convert(const RowPainter& p, uint32_t s) {
    return (s & 0xFFFFFF) == p.key_rgb ? 1 : 0;
  }
};
struct MonoToColor {
  static uint32_t Convert(const RowPainter& p, uint8_t s) { return s ? p.one_rgb : p.zero_rgb; }
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
      for (int32_t i = 0; i < n; ++i) d[i] = Combine<Op, D>(d[i], Conv::Convert(p, s[i]));
    }
  }
  static void Mapped(const RowPainter& p, int32_t y, int32_t x, int32_t n, int32_t sy,
                     const int32_t* columns) {
    D* d = RowOf<D>(p.dst, y) + x;
    const S* s = RowOf<S>(p.src, sy);
    for (int32_t i = 0; i < n; ++i) d[i] = Combine<Op, D>(d[i], Conv::Convert(p, s[columns[i]]));
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
                       uint32_t zero)
    : dst(d), src(s), key_rgb(key & 0xFFFFFF), one_rgb(one & 0xFFFFFF), zero_rgb(zero & 0xFFFFFF) {
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
