#pragma once
// The pieces of the Linux platform, each made once for the process by main().
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_watch.h"
#include "platform/linux/show_placement.h"
#include "platform/platform.h"

namespace slidesaver::linux_platform {

// The running program: its file, the arguments that are the mode's, and what its single-instance
// claim is keyed by.
struct ProcessSetup {
  const char* argv0 = nullptr;  // finds the program file when /proc/self/exe does not
  std::vector<std::string> arguments;
  // The show's file, when not the program's own: its folder and base name are the program's.
  std::string show_file;
  // One instance per this window (the program of an X screen saver runs once per window); 0:
  // one per file.
  uint32_t instance_window = 0;
  // Without a claim any number run (a show in a window of its own).
  bool single_instance = true;
};
std::unique_ptr<platform::Process> MakeLinuxProcess(const ProcessSetup& setup);
// The arguments after argv[0], one instance per program file.
std::unique_ptr<platform::Process> MakeLinuxProcess(int argc, char** argv);
// The arguments as the Windows command line carries them (what the modes read).
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

std::unique_ptr<platform::FileSystem> MakePosixFileSystem();
// Folders watched through inotify (for the folder show; a walk alone needs no instance).
std::unique_ptr<platform::FolderWatch> MakeFolderWatch();
std::unique_ptr<platform::System> MakeLinuxSystem(ShowPlace place = {});
// Outside the screen (in another program's window) messages go to stderr: a box there could
// not be seen or answered.
std::unique_ptr<platform::Dialogs> MakeLinuxDialogs(ShowPlace place = {});
// Opens GTK's display for the dialogs now; false when there is none.
bool OpenDialogDisplay();

// The show's services: SDL2 window and events, SDL2_mixer audio, SDL2_image pictures.
// SDL is started only when one of them is first used, so /C and /A never touch it.
struct SdlServices {
  std::unique_ptr<platform::EventLoop> events;
  std::unique_ptr<platform::ShowWindow> window;
  std::unique_ptr<platform::Audio> audio;
  std::unique_ptr<platform::PictureLoader> pictures;
  // Starts SDL's video now; false when there is no display.
  std::function<bool()> open_display;
};
SdlServices MakeSdlServices(ShowPlace place = {});
// The same on Wayland: the window and the event loop are the player's own Wayland client, with
// no GL; the audio and the pictures are SDL's.
SdlServices MakeWaylandServices(ShowPlace place = {});
// Whether the show goes to Wayland: when asked (--wayland), when SDL_VIDEODRIVER is "wayland",
// or when WAYLAND_DISPLAY is set and DISPLAY is not.
bool WaylandWanted(bool asked);

// The settings file of a show file of the user's choosing: beside it, with its base name and
// ".set", when its folder is writable; else in $XDG_CONFIG_HOME/slidesaver/ (~/.config), which
// is made when missing.
std::string SettingsFileOfShow(const std::string& show_file);

// The demo show installed with the player (../share/slidesaver/demo.scr from the program's
// folder), when the program's own show file (its base name with ".scr") does not exist: what
// the installed player plays without --show.
std::optional<std::string> InstalledDemoShow();

// Becomes the idle watcher (slidesaver-idle, beside the player or installed in
// ../libexec/slidesaver/): a small program of its own, so that while it waits it holds none of
// the player's libraries. It plays this program's file with `show_arguments` each time the
// session has been idle `idle_seconds`. Returns only when it can't, with what went wrong.
std::string ExecIdleWatcher(int idle_seconds, const std::vector<std::string>& show_arguments);

}  // namespace slidesaver::linux_platform
