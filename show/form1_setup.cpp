// The show window's set-up: geometry, colours, the first picture, the window, the music.
#include "common/arith.h"
#include "show/form1.h"

namespace slidesaver {

void Form1::SetUp() {
  const PackageHeader& package = package_;
  const platform::ScreenSize screen = platform_.window.GetScreenSize();

  // The show area centred on the screen; halves are truncated.
  const int32_t left = Sub32(Div32(screen.width, 2), Div32(package.ShowWidth, 2));
  const int32_t top = Sub32(Div32(screen.height, 2), Div32(package.ShowHeight, 2));
  Picture1.Move(left, top, package.ShowWidth, package.ShowHeight);
  Picture1.SetBackColor(static_cast<gdi::ColorRef>(package.BackgroundColor));

  NowPicture.Move(0, 0, Picture1.Width(), Picture1.Height());
  NowPicture.SetBackColor(Picture1.BackColor());
  NextPicture.Move(0, 0, Picture1.Width(), Picture1.Height());
  NextPicture.SetBackColor(Picture1.BackColor());
  MemPicture.SetBackColor(Picture1.BackColor());

  LoadPicture(0);

  platform_.window.Show();
  platform_.events.Yield();
  platform_.window.SetTopMost();
  platform_.system.SetScreenSaverRunning(true);
  music_.Open();
}

}  // namespace slidesaver
