// Entry point on Linux: reads the options, makes sure the display the mode needs is there,
// builds the platform for the place the show plays in and runs the start-up procedure.
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/folder_show.h"
#include "app/show_place_linux.h"
#include "common/run_time_error.h"
#include "photos/vips_preparer.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/posix/session_bus.h"
#include "startup/app_state.h"
#include "startup/command_line.h"
#include "startup/program_options.h"
#include "startup/start_up.h"

namespace {

using namespace slidesaver;

int CannotOpenDisplay() {
  if (linux_platform::CloseSignalReceived()) return 0;  // it was asked to end while it tried
  std::fputs("slidesaver: cannot open display\n", stderr);
  return 1;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "slidesaver: %s\nTry 'slidesaver --help' for more information.\n",
               message.c_str());
  return 2;
}

// "<file>:<line>: " when the configuration file gave the option's value in effect.
std::string FileLineOf(const PlayerArguments& given, const std::string& option) {
  const auto line = given.file_lines.find(option);
  return line == given.file_lines.end() ? "" : line->second + ": ";
}

// Becomes the idle watcher; nothing of the show is read before a show starts.
int StartIdleWatcher(const ProgramOptions& options, const std::string& show_named_at) {
  if (options.show_file && !linux_platform::MakePosixFileSystem()->FileExists(*options.show_file)) {
    std::fprintf(stderr, "slidesaver: %sno show file %s\n", show_named_at.c_str(),
                 options.show_file->c_str());
    return 1;
  }
  const std::string failure =
      linux_platform::ExecIdleWatcher(*options.idle_seconds, IdleShowArguments(options));
  std::fprintf(stderr, "slidesaver: %s\n", failure.c_str());
  return 1;
}

int Run(int argc, char** argv) {
  PlayerArguments given;
  try {
    given = WithConfigDefaults(ReadConfigFile(),
                               std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  } catch (const std::invalid_argument& error) {
    return UsageError(error.what());
  }
  ProgramOptions options = ParseProgramOptions(given.arguments);
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
  if (options.idle_seconds) return StartIdleWatcher(options, FileLineOf(given, "show"));

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
    } catch (const FolderChoiceError& error) {
      return UsageError(FileLineOf(given, error.option) + error.what());
    }
  }
  if (!options.show_file && !folder) options.show_file = linux_platform::InstalledDemoShow();

  const ShowPlaceChoice chosen = ChooseShowPlace(options);
  if (!chosen.place) return chosen.status;
  const linux_platform::ShowPlace& place = *chosen.place;
  linux_platform::SdlServices show = MakeShowServices(place, options);
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
    start.show_file_named_at = FileLineOf(given, "show");
  }
  start.play_show = play_show;
  AppState app;
  StartUp(platform, app, start);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  slidesaver::linux_platform::RouteCloseSignals();  // before anything is written
  slidesaver::linux_platform::CutConnectionsAfterClose(std::chrono::milliseconds(400));
  slidesaver::linux_platform::NoSessionBusOfOurOwn();
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
