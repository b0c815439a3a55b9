#pragma once
// An animation frame drawn through a clip region made for that frame alone.
#include <optional>

#include "effects/frame.h"
#include "gdi/region.h"

namespace slidesaver {

// make_region() builds the frame's region, which is selected as the target's clip; blit()
// then draws the to-picture through it (our regions always exist, so the blit is never
// skipped). After the refresh, after_refresh() runs while the clip is still selected; then
// the clip is reset and the region deleted, all before the wait, so no clip survives a wait.
template <class MakeRegion, class Blit, class AfterRefresh>
bool ClipRegionFrame(EffectFrame& frame, MakeRegion&& make_region, Blit&& blit,
                     AfterRefresh&& after_refresh) {
  std::optional<gdi::Region> region;
  return frame.Frame(
      [&] {
        region.emplace(make_region());
        frame.SelectClip(&*region);
        blit();
      },
      [&] {
        after_refresh();
        frame.SelectClip(nullptr);
        region.reset();
      });
}

}  // namespace slidesaver
