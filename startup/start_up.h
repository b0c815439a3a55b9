#pragma once
// The program's entry procedure: refuses a second instance, reads the Package from the .scr of
// the program's base name and the settings from its .set, then runs the mode the command line
// names (/S show, /C settings, /A password change; /P and anything else do nothing); or, given
// a show of its own slides (a folder's), refuses a second instance and plays it. Failing steps are
// skipped and told in the program's log; running out of memory and ProcessExit leave it early.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "settings/settings.h"
#include "slides/slide_source.h"
#include "startup/app_state.h"

namespace slidesaver {

// Makes a show of its own slides for the size of the place it plays in; `report` takes the lines
// it has to say. May throw std::runtime_error (a folder that can't be read).
using ShowSourceMaker = std::function<std::unique_ptr<ShowSource>(
    platform::ScreenSize area, std::function<void(const std::string&)> report)>;

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
  // A show of its own slides (the Linux player's folder) instead of a Package, without a
  // settings file.
  ShowSourceMaker own_show;
};

// With a show file or play_show, a file without a readable Package is an error
// (std::runtime_error naming the file) before anything is extracted; so is a show of its own
// that can't be made.
void StartUp(platform::Platform& platform, AppState& app, const StartOptions& options = {});

}  // namespace slidesaver
