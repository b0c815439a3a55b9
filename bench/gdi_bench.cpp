// The drawing layer's hot paths on a full frame, to compare with Memcpy of the same size.
#include <benchmark/benchmark.h>

#include "gdi/dc.h"
#include "gdi/draw_transparent.h"
#include "gdi/painter.h"
#include "gdi/region.h"

namespace {

using namespace slidesaver::gdi;

struct Frame {
  Frame(int32_t w, int32_t h) : bitmap(Bitmap::Color(w, h)) {
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x)
        bitmap.Row(y)[x] = static_cast<uint32_t>(x * 7 + y * 13) & 0xFFFFFF;
    }
    dc.SelectBitmap(&bitmap);
    dc.SetStretchBltMode(COLORONCOLOR);
  }
  Bitmap bitmap;
  Dc dc;
};

void Count(benchmark::State& state) {
  const int64_t bytes = state.range(0) * state.range(1) * 4;
  state.SetBytesProcessed(state.iterations() * bytes);
}

void BitBltCopy(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  Frame from(w, h), to(w, h);
  for (auto _ : state) {
    BitBlt(to.dc, 0, 0, w, h, from.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  Count(state);
}
BENCHMARK(BitBltCopy)->Args({1920, 1080})->Args({3840, 2160});

// The whole frame into a centred box of 90 % of its size.
void StretchBltBench(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  Frame from(w, h), to(w, h);
  const int32_t bw = w * 9 / 10, bh = h * 9 / 10;
  for (auto _ : state) {
    StretchBlt(to.dc, (w - bw) / 2, (h - bh) / 2, bw, bh, from.dc, 0, 0, w, h, SRCCOPY);
    benchmark::ClobberMemory();
  }
  Count(state);
}
BENCHMARK(StretchBltBench)->Name("StretchBlt")->Args({1920, 1080})->Args({3840, 2160});

// The whole frame through an ellipse of the frame's size.
void ClippedBlt(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  Frame from(w, h), to(w, h);
  for (auto _ : state) {
    const Region ellipse = Region::Ellipse(0, 0, w, h);
    to.dc.SelectClipRgn(&ellipse);
    BitBlt(to.dc, 0, 0, w, h, from.dc, 0, 0, SRCCOPY);
    to.dc.SelectClipRgn(nullptr);
    benchmark::ClobberMemory();
  }
  Count(state);
}
BENCHMARK(ClippedBlt)->Args({1920, 1080})->Args({3840, 2160});

void DrawTransparentBench(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  Frame from(w, h), to(w, h);
  const ColorRef key = ColorRefFromRgb(from.bitmap.Row(0)[0]);
  Painter painter;
  for (auto _ : state) {
    slidesaver::gdi::DrawTransparent(painter, to.dc, 0, 0, w, h, from.dc, 0, 0, key);
    benchmark::ClobberMemory();
  }
  Count(state);
}
BENCHMARK(DrawTransparentBench)->Name("DrawTransparent")->Args({1920, 1080})->Args({3840, 2160});

}  // namespace
