#pragma once
// The program's entry procedure: refuses a second instance, reads the Package from the .scr of
// the program's base name and the settings from its .set, then runs the mode the command line
// names (/S show, /C settings, /A password change; /P and anything else do nothing); or, given
// a folder, refuses a second instance and plays the folder's pictures. Failing steps are skipped
// and told in the program's log; running out of memory and ProcessExit leave it early.
#include <optional>
#include <string>

#include "platform/platform.h"
#include "settings/settings.h"
#include "slides/folder_slides.h"
#include "startup/app_state.h"

namespace slidesaver {

// A show of a folder's pictures (the Linux player's --folder): its choices and what it reads
// the folder with.
struct FolderStart {
  FolderShowOptions options;
  FolderServices services;
};

// What the Linux player's options choose beside the mode.
struct StartOptions {
  // The show's file and its settings file, instead of the program's own .scr and .set.
  std::optional<std::string> show_file;
  std::string settings_file;
  // The show plays in a window the platform was given, whatever the mode argument says.
  bool play_show = false;
  // The folder's pictures play instead of a Package, without a settings file.
  std::optional<FolderStart> folder;
};

// With a show file or play_show, a file without a readable Package is an error
// (std::runtime_error naming the file) before anything is extracted; so is a folder that can't
// be read.
void StartUp(platform::Platform& platform, AppState& app, const StartOptions& options = {});

}  // namespace slidesaver
