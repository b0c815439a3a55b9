#pragma once
// The Linux player's options, beside the screen-saver modes: an argument that begins with '-' is
// an option, written with one dash or two (X screen-saver programs are started with both),
// unless a digit follows the dash; "--" ends the options. The other arguments are the mode's (/S,
// /C, /A, /P …) and are passed on as they are.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gdi/area_scale.h"

namespace slidesaver {

// Where the show plays.
enum class ShowTarget {
  Mode,       // as the mode argument says (/S: the player's own full-screen window)
  Root,       // --root: the window XSCREENSAVER_WINDOW names, else the root window
  WindowId,   // --window-id ID: that window
  OwnWindow,  // --window: an ordinary window of the player's own
};

struct ProgramOptions {
  enum class Action { Run, Help, Version, UsageError };
  Action action = Action::Run;
  std::string error;                         // what is wrong, for UsageError
  std::optional<std::string> show_file;      // --show FILE
  ShowTarget target = ShowTarget::Mode;      // the last of --root, --window-id, --window
  uint32_t window_id = 0;                    // --window-id
  bool wayland = false;                      // --wayland: the show goes to the Wayland compositor
  gdi::AreaFit fit = gdi::AreaFit::OwnSize;  // --fit none|fill|sharp
  // --folder DIR: the pictures in DIR are the show. The choices for such a show as given, by
  // option name (kFolderShowOptions), checked when the show is made; without --folder they
  // are defaults that go unused.
  std::optional<std::string> folder;
  bool xscreensaver_images = false;  // --xscreensaver-images: the folder is xscreensaver's
  std::map<std::string, std::string> folder_choices;
  std::vector<std::string> mode_arguments;
  // --idle SECONDS: watch the session and play the show full screen each time the user has
  // been idle this long.
  std::optional<int> idle_seconds;
};

// The longest idle time --idle takes: a day.
inline constexpr int kMaxIdleSeconds = 24 * 60 * 60;

// The options that choose how a folder's pictures are shown, each with a value.
inline constexpr const char* kFolderShowOptions[] = {"time",  "effects",    "speed",     "order",
                                                     "music", "background", "folder-fit"};

// Reads the arguments after the program's name. A value comes as the next argument or after
// '=' (--show=FILE). A window id is decimal or 0x-hexadecimal, 1 … 0xFFFFFFFF. With a target
// other than Mode the show plays whatever the mode, so a mode argument is an error too.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// The arguments of the show the idle watcher starts: the watcher's own choices of show, place
// and fit, and /S.
std::vector<std::string> IdleShowArguments(const ProgramOptions& options);

// The text of --help.
std::string UsageText();

}  // namespace slidesaver
