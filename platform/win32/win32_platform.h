#pragma once
// The pieces of the Win32 platform, each made once for the process by WinMain.
#include <memory>

#include "platform/platform.h"

namespace slidesaver::win32 {

class WinShowWindow;
class WindowsCalls;

std::unique_ptr<platform::Process> MakeWinProcess();
std::unique_ptr<platform::FileSystem> MakeWinFileSystem();
std::unique_ptr<platform::System> MakeWinSystem();
std::unique_ptr<WinShowWindow> MakeWinShowWindow();
// WM_QUIT in the message pump ends the show like a close request to the window.
std::unique_ptr<platform::EventLoop> MakeWinEventLoop(WinShowWindow& window);
std::unique_ptr<platform::PictureLoader> MakeWinPictureLoader();
// Message boxes are owned by the show window while it is on the screen. The password dialogs
// go through `calls` (windows_calls.h); the audio is made there too.
std::unique_ptr<platform::Dialogs> MakeWinDialogs(WinShowWindow& show_window, WindowsCalls& calls);

}  // namespace slidesaver::win32
