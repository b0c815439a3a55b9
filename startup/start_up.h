#pragma once
// The program's entry procedure: refuses a second instance, reads the Package from the .scr of
// the program's base name and the settings from its .set, then runs the mode the command line
// names (/S show, /C settings, /A password change; /P and anything else do nothing).
// Failing steps are skipped and told in the program's log; running out of memory and
// ProcessExit leave it early.
#include <optional>
#include <string>

#include "package/slide_source.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "startup/app_state.h"

namespace slidesaver {

// What the Linux player's options choose beside the mode.
struct StartOptions {
  // The show's file and its settings file, instead of the program's own .scr and .set.
  std::optional<std::string> show_file;
  std::string settings_file;
  // Where the show file was named, when not on the command line ("<file>:<line>: "): its
  // error begins with it.
  std::string show_file_named_at;
  // The show plays in a window the platform was given, whatever the mode argument says.
  bool play_show = false;
};

// With a show file or play_show, a file without a readable Package is an error
// (std::runtime_error naming the file) before anything is extracted.
void StartUp(platform::Platform& platform, AppState& app, const StartOptions& options = {});

// The show of `show` with the slides of `source` (a folder's pictures), without a Package or a
// settings file: refuses a second instance as StartUp does, then plays until it is ended.
void PlaySlides(platform::Platform& platform, const PackageHeader& show, const Settings& settings,
                SlideSource& source);

}  // namespace slidesaver
