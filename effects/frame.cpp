#include "effects/frame.h"

#include "effects/deadline_wait.h"

namespace slidesaver {

void EffectFrame::FirstFrame() { Blt(0, 0, R(W()), R(H()), from_, 0, 0); }

void EffectFrame::LastFrame() {
  Blt(0, 0, R(W()), R(H()), to_, 0, 0);
  if (ctx_.pace.refreshes_last_frame) target_.Refresh();
}

int64_t EffectFrame::Deadline() {
  // In double precision as ever; the tick's 64 bits keep the sum from ever leaving the range.
  const int64_t t0 = ctx_.events.TickCount();
  return R64(Checked(Div(ctx_.pace.interval_ms, ctx_.speed_factor) + static_cast<double>(t0)));
}

bool EffectFrame::Wait(int64_t deadline) {
  return WaitForDeadline(ctx_.events, ctx_.stop_requested, deadline);
}

void EffectFrame::Blt(int32_t x, int32_t y, int32_t w, int32_t h, const gdi::Surface& p, int32_t sx,
                      int32_t sy) {
  ctx_.painter.BitBlt(target_.Context(), x, y, w, h, p.Context(), sx, sy, gdi::SRCCOPY);
}

void EffectFrame::Stretch(int32_t x, int32_t y, int32_t w, int32_t h, const gdi::Surface& p,
                          int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  ctx_.painter.StretchBlt(target_.Context(), x, y, w, h, p.Context(), sx, sy, sw, sh, gdi::SRCCOPY);
}

void EffectFrame::ClearToBlack() {
  ctx_.painter.FillBox(target_.Context(), -1, -1, R(W()), R(H()), 0);
}

void EffectFrame::SelectClip(const gdi::Region* region) {
  ctx_.painter.SelectClipRgn(target_.Context(), region);
}

}  // namespace slidesaver
