// Entry point on Windows: builds the Win32 platform and runs the start-up procedure.
#include "platform/win32/windows_api.h"

#include <exception>
#include <string>

#include "common/run_time_error.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win_show_window.h"
#include "platform/win32/win_text.h"
#include "platform/win32/windows_calls.h"
#include "startup/app_state.h"
#include "startup/start_up.h"

namespace {

// The manifest (platform/win32/resources) asks for version 6 of the common controls, the
// themed ones, and declares the program DPI aware. Windows XP registers the themed controls'
// window classes only once comctl32.dll is loaded, which nothing imports; it stays loaded.
void LoadThemedControls() { LoadLibraryW(L"comctl32.dll"); }

int Run() {
  using namespace slidesaver;
  auto process = win32::MakeWinProcess();
  auto files = win32::MakeWinFileSystem();
  auto system = win32::MakeWinSystem();
  win32::WindowsCalls& calls = win32::SystemWindowsCalls();
  auto window = win32::MakeWinShowWindow();
  auto events = win32::MakeWinEventLoop(*window);
  auto audio = win32::MakeWinAudio(calls);
  auto pictures = win32::MakeWinPictureLoader();
  auto dialogs = win32::MakeWinDialogs(*window, calls);
  platform::Platform platform{*process, *files, *system,   *events,
                              *window,  *audio, *pictures, *dialogs};
  AppState app;
  StartUp(platform, app);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadThemedControls();
  const bool com = SUCCEEDED(CoInitialize(nullptr));  // the picture loader is OLE
  timeBeginPeriod(1);                                 // waits end close to their deadline
  int status = 0;
  try {
    status = Run();
  } catch (const slidesaver::ProcessExit& exit) {
    status = exit.status;
  } catch (const std::exception& error) {
    MessageBoxW(nullptr, slidesaver::win32::WideFromUtf8(error.what()).c_str(), L"slidesaver",
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    status = 1;
  }
  timeEndPeriod(1);
  if (com) CoUninitialize();
  return status;
}
