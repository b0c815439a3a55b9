// The from-picture and the to-picture of the coming transition.
#include "common/arith.h"
#include "show/form1.h"
#include "show/transparent/draw_transparent.h"

namespace slidesaver {

// The outgoing slide as it stands: a copy of the screen for an Overlay slide (it may lie
// over earlier ones), else its picture alone on the background.
void Form1::ComposeFromPicture(const SlideEntry& outgoing) {
  NowPicture.Cls();
  if (outgoing.Overlay != 0) {
    NowPicture.PaintPicture(Picture1.Image(), 0, 0);
  } else {
    NowPicture.PaintPicture(MemPicture.Image(), outgoing.PictureX, outgoing.PictureY);
  }
}

// The incoming slide's picture at its place, over the background or, with Overlay, over
// the from-picture; Transparent lets the from-picture show through the background colour.
void Form1::ComposeToPicture(const SlideEntry& incoming) {
  NextPicture.Cls();
  if (incoming.Overlay != 0 && incoming.Transparent != 0) {
    NextPicture.PaintPicture(NowPicture.Image(), 0, 0);
    DrawTransparent(painter_, NextPicture.hDC(), incoming.PictureX, incoming.PictureY,
                    R(MemPicture.ScaleWidth()), R(MemPicture.ScaleHeight()), MemPicture.hDC(), 0, 0,
                    NextPicture.BackColor());
  } else if (incoming.Overlay != 0) {
    NextPicture.PaintPicture(NowPicture.Image(), 0, 0);
    NextPicture.PaintPicture(MemPicture.Image(), incoming.PictureX, incoming.PictureY);
  } else {
    NextPicture.PaintPicture(MemPicture.Image(), incoming.PictureX, incoming.PictureY);
  }
}

}  // namespace slidesaver
