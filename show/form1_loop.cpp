// The slide-show loop: each slide stays for its display time while the next one is prepared
// off-screen, then its sound starts and the outgoing slide's transition brings it in.
#include <cmath>

#include "common/arith.h"
#include "effects/deadline_wait.h"
#include "show/form1.h"

namespace slidesaver {

void Form1::RunSlideShow() {
  DrawFirstPicture();
  while (state_.StopRequested != -1) RunPass();
}

// The first picture comes in plainly: no sound, no Overlay or Transparent handling.
void Form1::DrawFirstPicture() {
  const SlideEntry& first = Slide(state_.CurrentSlide);
  Picture1.Cls();
  Picture1.PaintPicture(MemPicture.Image(), first.PictureX, first.PictureY);
  Picture1.Refresh();
}

void Form1::RunPass() {
  platform::EventLoop& events = platform_.events;

  // The preparation below counts toward the display time.
  const int32_t deadline = Add32(events.TickCount(), Slide(state_.CurrentSlide).DisplayTime);
  ComposeFromPicture(Slide(state_.CurrentSlide));

  const int32_t previous_slide = state_.CurrentSlide;
  state_.CurrentSlide =
      state_.CurrentSlide == Sub32(package_.SlideCount, 1) ? 0 : Add32(state_.CurrentSlide, 1);
  const SlideEntry& incoming = Slide(state_.CurrentSlide);
  MemPicture.Cls();
  LoadPicture(state_.CurrentSlide);
  ComposeToPicture(incoming);

  WaitForDeadline(events, state_.StopRequested, deadline);

  PlaySlideSound(incoming);
  const SlideEntry& outgoing = Slide(previous_slide);
  state_.SpeedFactor = R(std::pow(2.0, static_cast<double>(outgoing.SpeedExponent)));
  RunTransition(outgoing.EffectNumber);
  Picture1.Refresh();
  music_.KeepAlive();
  events.Yield();
}

void Form1::PlaySlideSound(const SlideEntry& incoming) {
  const std::string& name = incoming.SoundFileName;
  if (name.empty() || settings_.SoundEnabled == 0) return;
  // A name the extraction refused to write is a missing file: silence.
  const std::optional<std::string> path = extracted_.PathOf(name);
  if (!path) return;
  platform_.audio.PlaySound(&*path,
                            platform::SND_FILENAME | platform::SND_NODEFAULT | platform::SND_ASYNC);
}

void Form1::RunTransition(int32_t effect_number) {
  if (effect_number == 0) {
    Picture1.PaintPicture(NextPicture.Image(), 0, 0);
    return;
  }
  // Numbers outside 0 to 35 draw nothing: the outgoing picture stays.
  if (Effect effect = effect_for_(effect_number)) {
    FrameContext ctx{platform_.events, state_.StopRequested, state_.SpeedFactor, state_.random,
                     painter_};
    effect(Picture1, NowPicture, NextPicture, ctx);
  }
}

}  // namespace slidesaver
