// The place the show plays in, chosen by the option that names it, and the services that draw
// it there: on the test's own X display.
#include "app/show_place_linux.h"

#include <gtest/gtest.h>

#include "tests/unit/linux_platform/env_guard.h"

namespace slidesaver {
namespace {

using linux_platform::ShowPlace;
using testing::EnvGuard;

ProgramOptions Options(ShowTarget target, uint32_t window_id = 0, bool wayland = false) {
  ProgramOptions options;
  options.target = target;
  options.window_id = window_id;
  options.wayland = wayland;
  options.fit = gdi::AreaFit::Fill;
  return options;
}

TEST(ShowPlaceChoice, EachTargetHasItsPlaceOrSaysWhyNot) {
  EnvGuard no_saver_window("XSCREENSAVER_WINDOW", nullptr);
  const struct {
    ShowTarget target;
    uint32_t window_id;
    bool display;
    std::optional<ShowPlace::Kind> kind;  // none: status 1
  } cases[] = {
      {ShowTarget::Mode, 0, true, ShowPlace::Kind::Screen},
      {ShowTarget::OwnWindow, 0, true, ShowPlace::Kind::OwnWindow},
      {ShowTarget::Root, 0, true, ShowPlace::Kind::ForeignWindow},
      {ShowTarget::WindowId, 0x7FFFFFF, true, std::nullopt},  // no such window
      {ShowTarget::Root, 0, false, std::nullopt},             // no display
      {ShowTarget::Mode, 0, false, ShowPlace::Kind::Screen},  // its display is opened later
  };
  for (const auto& c : cases) {
    EnvGuard display("DISPLAY", c.display ? std::getenv("DISPLAY") : nullptr);
    const ShowPlaceChoice chosen = ChooseShowPlace(Options(c.target, c.window_id));
    const int target = static_cast<int>(c.target);
    ASSERT_EQ(chosen.place.has_value(), c.kind.has_value()) << target;
    if (!c.kind) {
      EXPECT_EQ(chosen.status, 1) << target;
      continue;
    }
    EXPECT_EQ(chosen.place->kind, *c.kind) << target;
    EXPECT_EQ(chosen.place->fit, gdi::AreaFit::Fill) << target;
    EXPECT_EQ(chosen.place->window != 0, *c.kind == ShowPlace::Kind::ForeignWindow) << target;
  }
}

TEST(ShowPlaceChoice, WaylandDrawsEveryPlaceButAnotherProgramsXWindow) {
  const struct {
    ShowPlace::Kind kind;
    bool asked;
    const char* display;
    const char* wayland_display;
    const char* services;
  } cases[] = {
      {ShowPlace::Kind::Screen, true, ":9", nullptr, "wayland"},
      {ShowPlace::Kind::OwnWindow, true, ":9", nullptr, "wayland"},
      {ShowPlace::Kind::ForeignWindow, true, ":9", "wayland-9", "x11"},
      {ShowPlace::Kind::Screen, false, nullptr, "wayland-9", "wayland"},
      {ShowPlace::Kind::Screen, false, ":9", "wayland-9", "x11"},  // Xwayland's display
      {ShowPlace::Kind::Screen, false, ":9", nullptr, "x11"},
  };
  EnvGuard driver("SDL_VIDEODRIVER", nullptr);
  for (const auto& c : cases) {
    EnvGuard display("DISPLAY", c.display);
    EnvGuard wayland_display("WAYLAND_DISPLAY", c.wayland_display);
    ShowPlace place;
    place.kind = c.kind;
    EXPECT_STREQ(ShowServicesName(place, Options(ShowTarget::Mode, 0, c.asked)), c.services)
        << static_cast<int>(c.kind) << " asked " << c.asked;
  }
}

}  // namespace
}  // namespace slidesaver
