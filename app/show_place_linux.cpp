#include "app/show_place_linux.h"

#include <cstdio>
#include <string_view>

#include "platform/linux/posix/close_signals.h"
#include "platform/linux/x11/foreign_window.h"

namespace slidesaver {
namespace {

using linux_platform::ShowPlace;

ShowPlaceChoice OwnPlace(ShowPlace::Kind kind, const ProgramOptions& options) {
  ShowPlace place;
  place.kind = kind;
  place.fit = options.fit;
  return {place};
}

// An X screen saver's window (--root) or any X window (--window-id).
ShowPlaceChoice ForeignPlace(const ProgramOptions& options) {
  const linux_platform::ForeignWindowLookup found =
      linux_platform::FindForeignWindow(options.target == ShowTarget::Root, options.window_id);
  switch (found.result) {
    case linux_platform::ForeignWindowLookup::Result::NoDisplay:
      if (linux_platform::CloseSignalReceived()) return {std::nullopt, 0};  // asked to end
      std::fputs("slidesaver: cannot open display\n", stderr);
      return {std::nullopt, 1};
    case linux_platform::ForeignWindowLookup::Result::NoWindow:
      std::fprintf(stderr, "slidesaver: no window 0x%x on the display\n", found.window);
      return {std::nullopt, 1};
    case linux_platform::ForeignWindowLookup::Result::Found:
      break;
  }
  return {ShowPlace{ShowPlace::Kind::ForeignWindow, found.window, options.fit}};
}

struct PlaceRow {
  ShowTarget target;
  ShowPlaceChoice (*choose)(const ProgramOptions&);
};

constexpr PlaceRow kPlaces[] = {
    {ShowTarget::Mode,
     [](const ProgramOptions& o) { return OwnPlace(ShowPlace::Kind::Screen, o); }},
    {ShowTarget::OwnWindow,
     [](const ProgramOptions& o) { return OwnPlace(ShowPlace::Kind::OwnWindow, o); }},
    {ShowTarget::Root, ForeignPlace},
    {ShowTarget::WindowId, ForeignPlace},
};

struct ServicesRow {
  const char* name;
  bool (*takes)(const ShowPlace&, const ProgramOptions&);
  linux_platform::SdlServices (*make)(ShowPlace);
};

// Tried in order. Another program's window is an X window.
constexpr ServicesRow kServices[] = {
    {"wayland",
     [](const ShowPlace& place, const ProgramOptions& options) {
       return place.kind != ShowPlace::Kind::ForeignWindow &&
              linux_platform::WaylandWanted(options.wayland);
     },
     linux_platform::MakeWaylandServices},
    {"x11", [](const ShowPlace&, const ProgramOptions&) { return true; },
     linux_platform::MakeSdlServices},
};

const ServicesRow& ServicesFor(const ShowPlace& place, const ProgramOptions& options) {
  for (const ServicesRow& row : kServices) {
    if (row.takes(place, options)) return row;
  }
  return kServices[std::size(kServices) - 1];
}

}  // namespace

ShowPlaceChoice ChooseShowPlace(const ProgramOptions& options) {
  for (const PlaceRow& row : kPlaces) {
    if (row.target == options.target) return row.choose(options);
  }
  return OwnPlace(ShowPlace::Kind::Screen, options);
}

const char* ShowServicesName(const ShowPlace& place, const ProgramOptions& options) {
  return ServicesFor(place, options).name;
}

linux_platform::SdlServices MakeShowServices(const ShowPlace& place,
                                             const ProgramOptions& options) {
  return ServicesFor(place, options).make(place);
}

}  // namespace slidesaver
