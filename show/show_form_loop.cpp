// The slide-show loop: each slide stays for its display time while the next one is prepared
// off-screen, then its sound starts and the outgoing slide's transition brings it in.
#include <cmath>

#include "common/arith.h"
#include "effects/deadline_wait.h"
#include "show/show_form.h"

namespace slidesaver {

void ShowForm::RunSlideShow() {
  DrawFirstPicture();
  while (!state_.stop_requested) RunPass();
}

// The first picture comes in plainly: no sound, no Overlay or Transparent handling.
void ShowForm::DrawFirstPicture() {
  const SlideEntry& first = Slide(state_.current_slide);
  visible_area.Clear();
  visible_area.DrawPicture(slide_picture.Image(), first.PictureX, first.PictureY);
  visible_area.Refresh();
}

void ShowForm::RunPass() {
  platform::EventLoop& events = platform_.events;

  // The preparation below counts toward the display time.
  const int64_t now = events.TickCount();
  const int32_t display_time = Slide(state_.current_slide).DisplayTime;
  // A DisplayTime too large for a 32-bit deadline from the tick of the show's first pass is an
  // overflow, at whichever pass it comes; the time the show has run since adds nothing to it.
  if (!first_pass_tick_) first_pass_tick_ = Int32(now);
  Add32(*first_pass_tick_, display_time);
  const int64_t deadline = now + display_time;
  ComposeFromPicture(Slide(state_.current_slide));

  const int32_t previous_slide = state_.current_slide;
  state_.current_slide =
      state_.current_slide == Sub32(package_.SlideCount, 1) ? 0 : Add32(state_.current_slide, 1);
  const SlideEntry& incoming = Slide(state_.current_slide);
  slide_picture.Clear();
  LoadSlidePicture(state_.current_slide, true);
  ComposeToPicture(incoming);

  WaitForDeadline(events, state_.stop_requested, deadline);

  PlaySlideSound(incoming);
  const SlideEntry& outgoing = Slide(previous_slide);
  state_.speed_factor = R(std::pow(2.0, static_cast<double>(outgoing.SpeedExponent)));
  RunTransition(outgoing.EffectNumber);
  visible_area.Refresh();
  music_.KeepAlive();
  events.Yield();
}

void ShowForm::PlaySlideSound(const SlideEntry& incoming) {
  const std::string& name = incoming.SoundFileName;
  if (name.empty() || settings_.SoundEnabled == 0) return;
  // A name the extraction refused to write is a missing file: silence.
  const std::optional<std::string> path = source_.PathOf(name);
  if (!path) return;
  platform_.audio.PlaySound(*path);
}

void ShowForm::RunTransition(int32_t effect_number) {
  if (effect_number == 0) {
    visible_area.DrawPicture(to_picture.Image(), 0, 0);
    return;
  }
  // Numbers outside the table draw nothing: the outgoing picture stays.
  if (const EffectEntry* effect = find_effect_(effect_number)) {
    FrameContext ctx{platform_.events, state_.stop_requested, state_.speed_factor, state_.random,
                     painter_,         effect->pace};
    effect->draw(visible_area, from_picture, to_picture, ctx);
  }
}

}  // namespace slidesaver
