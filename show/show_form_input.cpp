// The window's input. It arrives only inside the show's yields and does nothing but ask the
// show to stop: any key or button, on the form or on the show area, and a mouse that has left
// its resting place.
#include "show/show_form.h"

namespace slidesaver {

void ShowForm::KeyDown() { RequestStop(); }
void ShowForm::MouseDown() { RequestStop(); }
void ShowForm::MouseMove() { StopIfCursorMoved(); }

void ShowForm::CloseRequested() {
  state_.close_requested = true;
  RequestStop();
}

void ShowForm::RequestStop() { state_.stop_requested = true; }

// The cursor's position now, not the one the notification carries, decides: a single pixel
// away from the resting place ends the show.
void ShowForm::StopIfCursorMoved() {
  if (platform_.window.GetCursorPos() != state_.start_cursor_pos) RequestStop();
}

}  // namespace slidesaver
