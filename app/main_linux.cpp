// Entry point on Linux: builds the platform and runs the start-up procedure.
#include <cstdio>
#include <exception>

#include "common/run_time_error.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/close_signals.h"
#include "startup/app_state.h"
#include "startup/start_up.h"

int main(int argc, char** argv) {
  using namespace slidesaver;
  linux_platform::RouteCloseSignals();  // before anything is written
  try {
    auto process = linux_platform::MakeLinuxProcess(argc, argv);
    auto files = linux_platform::MakePosixFileSystem();
    auto system = linux_platform::MakeLinuxSystem();
    auto dialogs = linux_platform::MakeLinuxDialogs();
    linux_platform::SdlServices show = linux_platform::MakeSdlServices();
    platform::Platform platform{*process,     *files,      *system,        *show.events,
                                *show.window, *show.audio, *show.pictures, *dialogs};
    AppState app;
    StartUp(platform, app);
    return 0;
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
