#pragma once
#include <functional>

namespace slidesaver::linux_platform {

// A dialog over the full-screen show (the password check) tells the show's window once it is
// there, so the window can leave it on top with the keyboard: on sway a Wayland overlay surface
// that came later stays below the show's own. One window listens at a time; an empty function
// ends the listening. Main thread only.
void ListenForDialogOverShow(std::function<void()> listener);
void DialogOverShowAppeared();

}  // namespace slidesaver::linux_platform
