#pragma once
// Where the show plays on Linux and which services draw it there, each chosen from a small
// table, as SDL picks its video driver: the place by the option that names it, the services by
// the first row that the place and the session take.
#include <optional>

#include "platform/linux/linux_platform.h"
#include "startup/program_options.h"

namespace slidesaver {

struct ShowPlaceChoice {
  std::optional<linux_platform::ShowPlace> place;  // none: the program ends with `status`,
  int status = 0;                                  // having said why
};

ShowPlaceChoice ChooseShowPlace(const ProgramOptions& options);

// "wayland" (the player's own Wayland client) or "x11" (SDL's windows, an X window).
const char* ShowServicesName(const linux_platform::ShowPlace& place, const ProgramOptions& options);
linux_platform::SdlServices MakeShowServices(const linux_platform::ShowPlace& place,
                                             const ProgramOptions& options);

}  // namespace slidesaver
