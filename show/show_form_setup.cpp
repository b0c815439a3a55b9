// The show window's set-up: geometry, colours, the first picture, the window, the music.
#include "common/run_time_error.h"
#include "media/memory_bounds.h"
#include "show/show_form.h"

namespace slidesaver {

void ShowForm::SetUp() {
  const PackageHeader& package = package_;
  // The three surfaces of the show area must fit the players' memory: a larger area is an
  // error here, before any of them is made, not the end of the machine's memory.
  if (package.ShowWidth > 0 && package.ShowHeight > 0 &&
      int64_t{package.ShowWidth} * package.ShowHeight > media::kMaxShowAreaPixels) {
    throw RunTimeError("Show area too large: " + std::to_string(package.ShowWidth) + " x " +
                       std::to_string(package.ShowHeight) + " pixels, more than the " +
                       media::WithThousands(media::kMaxShowAreaPixels) + " the player shows");
  }
  const platform::ScreenSize screen = platform_.window.GetScreenSize();

  const platform::Point origin =
      platform::CentredOrigin(screen, package.ShowWidth, package.ShowHeight);
  visible_area.Move(origin.x, origin.y, package.ShowWidth, package.ShowHeight);
  visible_area.SetBackColor(static_cast<gdi::ColorRef>(package.BackgroundColor));

  from_picture.Move(0, 0, visible_area.Width(), visible_area.Height());
  from_picture.SetBackColor(visible_area.BackColor());
  to_picture.Move(0, 0, visible_area.Width(), visible_area.Height());
  to_picture.SetBackColor(visible_area.BackColor());
  slide_picture.SetBackColor(visible_area.BackColor());

  LoadSlidePicture(0, false);

  platform_.window.Show();
  platform_.events.Yield();
  platform_.window.SetTopMost();
  platform_.system.SetScreenSaverRunning(true);
  music_.Open();
}

}  // namespace slidesaver
