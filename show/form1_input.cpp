// The six input handlers and the window's input routed to them. They run only inside the
// show's yields and do nothing but ask the show to stop.
#include "show/form1.h"

namespace slidesaver {

void Form1::Form_KeyDown() { state_.StopRequested = -1; }
void Form1::Picture1_KeyDown() { state_.StopRequested = -1; }
void Form1::Form_MouseDown() { state_.StopRequested = -1; }
void Form1::Picture1_MouseDown() { state_.StopRequested = -1; }
void Form1::Form_MouseMove() { CheckMouseMoved(); }
void Form1::Picture1_MouseMove() { CheckMouseMoved(); }

// The cursor's position now, not the one the notification carries, decides: a single pixel
// away from the resting place ends the show.
void Form1::CheckMouseMoved() {
  const platform::Point p = platform_.window.GetCursorPos();
  if (p.x != state_.StartCursorPos.x || p.y != state_.StartCursorPos.y) state_.StopRequested = -1;
}

void Form1::KeyDown(platform::InputTarget target) {
  target == platform::InputTarget::Picture1 ? Picture1_KeyDown() : Form_KeyDown();
}
void Form1::MouseDown(platform::InputTarget target) {
  target == platform::InputTarget::Picture1 ? Picture1_MouseDown() : Form_MouseDown();
}
void Form1::MouseMove(platform::InputTarget target) {
  target == platform::InputTarget::Picture1 ? Picture1_MouseMove() : Form_MouseMove();
}

void Form1::CloseRequested() {
  state_.CloseRequested = true;
  state_.StopRequested = -1;
}

}  // namespace slidesaver
