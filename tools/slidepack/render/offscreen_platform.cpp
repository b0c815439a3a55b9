#include "tools/slidepack/render/offscreen_platform.h"

#include <cstring>
#include <limits>
#include <stdexcept>


namespace slidepack::render {

void OffscreenShowWindow::Move(int32_t, int32_t, int32_t width, int32_t height) {
  if (width != Screen().Width() || height != Screen().Height()) {
    copy_ = gdi::Bitmap::Color(width, height, 0);
    screen_ = &copy_;
    changed_ = {0, 0, width, height};
  }
}

void OffscreenShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  // The encoders take one changed rectangle a frame.
  gdi::Rect dirty{};
  for (const gdi::Rect& rect : damage) dirty = gdi::Union(dirty, rect);
  const gdi::Rect area = {0, 0, Screen().Width(), Screen().Height()};
  const gdi::Rect part =
      gdi::Intersect(dirty, gdi::Intersect({0, 0, image.Width(), image.Height()}, area));
  if (image.Width() == area.Width() && image.Height() == area.Height()) {
    screen_ = &image;  // the show's own image, as large as the area: no copy
  } else if (!part.Empty()) {
    // An image of another size lands on the screen only where the two overlap.
    if (screen_ != &copy_) copy_ = *screen_;
    screen_ = &copy_;
    const size_t bytes = static_cast<size_t>(part.Width()) * sizeof(uint32_t);
    for (int32_t y = part.top; y < part.bottom; ++y) {
      std::memcpy(copy_.Row(y) + part.left, image.Row(y) + part.left, bytes);
    }
  }
  changed_ = gdi::Union(changed_, part);
  if (on_present) on_present();
}

void OffscreenEventLoop::YieldUntil(ShowTick deadline) {
  if (now_ <= deadline && !(close_requested_ && !close_delivered_)) {
    // The clock would pass the end of its type: the show can't run that long.
    if (deadline >= std::numeric_limits<ShowTick>::max()) {
      throw std::overflow_error("the show runs past the end of its clock");
    }
    const int64_t next = static_cast<int64_t>(deadline) + 1;
    if (before_time_moves) before_time_moves(now_, next);
    now_ = next;
  }
  Deliver();
}

void OffscreenEventLoop::Deliver() {
  if (!close_requested_ || close_delivered_ || !window_.Sink()) return;
  close_delivered_ = true;
  window_.Sink()->CloseRequested();
}

void OffscreenAudio::StartMusic(const std::string& path) {
  if (!music_) music_ = path;  // one at a time, as the player's audio
  Play();
}

void OffscreenAudio::Play() {
  if (!music_) return;
  const int64_t now = clock_.Now();
  if (!playing_ || !track_ || !track_->MusicPlaying(now)) {
    if (track_) track_->MusicStarts(*music_, now);
    playing_ = true;
  }
}

bool OffscreenAudio::MusicEnded() {
  return music_ && !(playing_ && (!track_ || track_->MusicPlaying(clock_.Now())));
}

void OffscreenAudio::RestartMusic() {
  if (music_ && playing_ && track_) track_->MusicStops(clock_.Now());
  Play();
}

void OffscreenAudio::CloseMusic() {
  if (!music_) return;
  if (playing_ && track_) track_->MusicStops(clock_.Now());
  playing_ = false;
  music_.reset();
}

void OffscreenAudio::PlaySound(const std::string& path) {
  if (!track_) return;
  const int64_t now = clock_.Now();
  // A new sound ends the one playing.
  track_->SoundStops(now);
  track_->SoundStarts(path, now);
}

void OffscreenAudio::StopSound() {
  if (track_) track_->SoundStops(clock_.Now());
}

}  // namespace slidepack::render
