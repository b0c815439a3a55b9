#include "platform/show_window.h"

#include "common/arith.h"

namespace slidesaver::platform {

Point CentredOrigin(ScreenSize screen, int32_t area_width, int32_t area_height) {
  return {Sub32(Div32(screen.width, 2), Div32(area_width, 2)),
          Sub32(Div32(screen.height, 2), Div32(area_height, 2))};
}

}  // namespace slidesaver::platform
