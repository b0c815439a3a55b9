// The from-picture and the to-picture of the coming transition.
#include "common/arith.h"
#include "gdi/draw_transparent.h"
#include "show/show_form.h"

namespace slidesaver {

// The outgoing slide as it stands: a copy of the screen for an Overlay slide (it may lie
// over earlier ones), else its picture alone on the background.
void ShowForm::ComposeFromPicture(const SlideEntry& outgoing) {
  from_picture.Clear();
  if (outgoing.Overlay != 0) {
    from_picture.DrawPicture(visible_area.Image(), 0, 0);
  } else {
    from_picture.DrawPicture(slide_picture.Image(), outgoing.PictureX, outgoing.PictureY);
  }
}

// The incoming slide's picture at its place, over the background or, with Overlay, over
// the from-picture; Transparent lets the from-picture show through the background colour.
void ShowForm::ComposeToPicture(const SlideEntry& incoming) {
  to_picture.Clear();
  if (incoming.Overlay != 0 && incoming.Transparent != 0) {
    to_picture.DrawPicture(from_picture.Image(), 0, 0);
    gdi::DrawTransparent(painter_, to_picture.Context(), incoming.PictureX, incoming.PictureY,
                         R(slide_picture.ScaleWidth()), R(slide_picture.ScaleHeight()),
                         slide_picture.Context(), 0, 0, to_picture.BackColor());
  } else if (incoming.Overlay != 0) {
    to_picture.DrawPicture(from_picture.Image(), 0, 0);
    to_picture.DrawPicture(slide_picture.Image(), incoming.PictureX, incoming.PictureY);
  } else {
    to_picture.DrawPicture(slide_picture.Image(), incoming.PictureX, incoming.PictureY);
  }
}

}  // namespace slidesaver
