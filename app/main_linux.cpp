// Entry point on Linux: reads the options, makes sure the display the mode needs is there,
// builds the platform for the place the show plays in and runs the start-up procedure.
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/folder_show.h"
#include "common/run_time_error.h"
#include "photos/vips_preparer.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/x11/foreign_window.h"
#include "startup/app_state.h"
#include "startup/command_line.h"
#include "startup/program_options.h"
#include "startup/start_up.h"

namespace {

using namespace slidesaver;

int CannotOpenDisplay() {
  std::fputs("slidesaver: cannot open display\n", stderr);
  return 1;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "slidesaver: %s\nTry 'slidesaver --help' for more information.\n",
               message.c_str());
  return 2;
}

// Becomes the idle watcher; nothing of the show is read before a show starts.
int StartIdleWatcher(const ProgramOptions& options) {
  if (options.show_file && !linux_platform::MakePosixFileSystem()->FileExists(*options.show_file)) {
    std::fprintf(stderr, "slidesaver: no show file %s\n", options.show_file->c_str());
    return 1;
  }
  const std::string failure =
      linux_platform::ExecIdleWatcher(*options.idle_seconds, IdleShowArguments(options));
  std::fprintf(stderr, "slidesaver: %s\n", failure.c_str());
  return 1;
}

int Run(int argc, char** argv) {
  std::vector<std::string> arguments;
  try {
    arguments = ConfigFileArguments();
  } catch (const std::invalid_argument& error) {
    return UsageError(error.what());
  }
  arguments.insert(arguments.end(), argv + (argc > 0 ? 1 : 0), argv + argc);
  ProgramOptions options = ParseProgramOptions(arguments);
  switch (options.action) {
    case ProgramOptions::Action::Help:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case ProgramOptions::Action::Version:
      std::printf("slidesaver %s\n", SLIDESAVER_VERSION);
      return 0;
    case ProgramOptions::Action::UsageError:
      return UsageError(options.error);
    case ProgramOptions::Action::Run:
      break;
  }
  if (options.idle_seconds) return StartIdleWatcher(options);

  // Every mode that shows something needs its display before anything is extracted.
  const bool play_show = options.target != ShowTarget::Mode;
  const std::string mode =
      CommandLineMode(linux_platform::WindowsCommandLine(options.mode_arguments));
  if (options.xscreensaver_images && !options.folder) {
    options.folder = XscreensaverImageFolder();
    if (!options.folder)
      return UsageError("--xscreensaver-images: no imageDirectory in ~/.xscreensaver");
  }
  std::optional<FolderShowOptions> folder;
  if (options.folder && (play_show || mode == "/S")) {
    try {
      folder = FolderShowOptionsOf(options);
    } catch (const std::invalid_argument& error) {
      return UsageError(error.what());
    }
  }
  if (!options.show_file && !folder) options.show_file = linux_platform::InstalledDemoShow();

  linux_platform::ShowPlace place;
  if (options.target == ShowTarget::OwnWindow)
    place.kind = linux_platform::ShowPlace::Kind::OwnWindow;
  if (options.target == ShowTarget::Root || options.target == ShowTarget::WindowId) {
    const linux_platform::ForeignWindowLookup found =
        linux_platform::FindForeignWindow(options.target == ShowTarget::Root, options.window_id);
    if (found.result == linux_platform::ForeignWindowLookup::Result::NoDisplay) {
      return CannotOpenDisplay();
    }
    if (found.result == linux_platform::ForeignWindowLookup::Result::NoWindow) {
      std::fprintf(stderr, "slidesaver: no window 0x%x on the display\n", found.window);
      return 1;
    }
    place = {linux_platform::ShowPlace::Kind::ForeignWindow, found.window};
  }
  place.fit = options.fit;
  // Another program's window is an X window.
  const bool wayland = place.kind != linux_platform::ShowPlace::Kind::ForeignWindow &&
                       linux_platform::WaylandWanted(options.wayland);
  linux_platform::SdlServices show =
      wayland ? linux_platform::MakeWaylandServices(place) : linux_platform::MakeSdlServices(place);
  if ((play_show || mode == "/S") && !show.open_display()) return CannotOpenDisplay();
  if (!play_show && (mode == "/C" || mode == "/A") && !linux_platform::OpenDialogDisplay()) {
    return CannotOpenDisplay();
  }

  linux_platform::ProcessSetup setup;
  setup.argv0 = argc > 0 ? argv[0] : nullptr;
  setup.arguments = options.mode_arguments;
  setup.show_file = options.show_file.value_or("");
  setup.instance_window = place.window;
  setup.single_instance = place.kind != linux_platform::ShowPlace::Kind::OwnWindow;
  auto process = linux_platform::MakeLinuxProcess(setup);
  auto files = linux_platform::MakePosixFileSystem();
  auto system = linux_platform::MakeLinuxSystem(place);
  auto dialogs = linux_platform::MakeLinuxDialogs(place);
  platform::Platform platform{*process,     *files,      *system,        *show.events,
                              *show.window, *show.audio, *show.pictures, *dialogs};
  StartOptions start;
  // The folder's show reads the folder through these, and prepares its pictures with libvips.
  std::unique_ptr<platform::FolderWatch> folders;
  photos::VipsPreparer preparer;
  if (folder) {
    folders = linux_platform::MakeFolderWatch();
    start.own_show = [&](platform::ScreenSize area,
                         std::function<void(const std::string&)> report) {
      return std::make_unique<FolderSlides>(FolderServices{*files, *folders, preparer}, *folder,
                                            area.width, area.height, std::move(report));
    };
  }
  if (options.show_file) {
    start.show_file = *options.show_file;
    start.settings_file = linux_platform::SettingsFileOfShow(*options.show_file);
  }
  start.play_show = play_show;
  AppState app;
  StartUp(platform, app, start);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  slidesaver::linux_platform::RouteCloseSignals();  // before anything is written
  try {
    return Run(argc, argv);
  } catch (const ProcessExit& exit) {
    return exit.status;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "slidesaver: %s\n", error.what());
    return 1;
  } catch (...) {
    std::fprintf(stderr, "slidesaver: unexpected failure\n");
    return 1;
  }
}
