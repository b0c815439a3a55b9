// A small Windows program the Wine tests use to look at and drive the player's windows:
//   wine_driver find <window class> <timeout ms>    prints "<hwnd> <visible title as UTF-8>"
//   wine_driver children <hwnd>                     prints "<id>\t<class>\t<text>" per child
//   wine_driver checked <hwnd> <control id>         prints 1 when the button is checked
//   wine_driver click <hwnd> <control id>           clicks a button of the window
//   wine_driver wait-gone <hwnd> <timeout ms>       waits until the window is destroyed
//   wine_driver centre <hwnd>                       prints the screen point "x y" of its middle
//   wine_driver close <hwnd>                        asks the window to close (WM_CLOSE)
//   wine_driver rect <hwnd> <control id>            prints the control's screen rectangle
//                                                   "left top width height"
// Exit status 0 on success, 1 when the window was not found in time, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
  std::string utf8;
  if (!text.empty()) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n,
                        nullptr, nullptr);
  }
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[1024] = {};
  // WM_GETTEXT works across processes for the system's controls.
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return buffer;
}

HWND ParseWindow(const wchar_t* text) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(text, nullptr, 10)));
}

int Find(const std::wstring& window_class, DWORD timeout) {
  const DWORD start = GetTickCount();
  do {
    for (HWND window = FindWindowExW(nullptr, nullptr, window_class.c_str(), nullptr); window;
         window = FindWindowExW(nullptr, window, window_class.c_str(), nullptr)) {
      if (!IsWindowVisible(window)) continue;
      std::printf("%lu ", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
      std::fflush(stdout);
      Print(TextOf(window) + L"\n");
      return 0;
    }
    Sleep(100);
  } while (GetTickCount() - start < timeout);
  return 1;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t line[64];
  std::swprintf(line, 64, L"%d\t", GetDlgCtrlID(child));
  Print(line + ClassOf(child) + L"\t" + TextOf(child) + L"\n");
  return TRUE;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring command = argv[1];
  int status = 2;
  if (command == L"find" && argc == 4) {
    status = Find(argv[2], static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
  } else if (command == L"children" && argc == 3) {
    EnumChildWindows(ParseWindow(argv[2]), PrintChild, 0);
    status = 0;
  } else if (command == L"checked" && argc == 4) {
    const HWND button = GetDlgItem(ParseWindow(argv[2]), std::wcstol(argv[3], nullptr, 10));
    std::printf("%d\n", button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED);
    status = button ? 0 : 1;
  } else if (command == L"click" && argc == 4) {
    const HWND button = GetDlgItem(ParseWindow(argv[2]), std::wcstol(argv[3], nullptr, 10));
    if (button) PostMessageW(button, BM_CLICK, 0, 0);
    status = button ? 0 : 1;
  } else if (command == L"centre" && argc == 3) {
    RECT rect{};
    status = GetWindowRect(ParseWindow(argv[2]), &rect) ? 0 : 1;
    std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  } else if (command == L"rect" && argc == 4) {
    const HWND control = GetDlgItem(ParseWindow(argv[2]), std::wcstol(argv[3], nullptr, 10));
    RECT rect{};
    status = control && GetWindowRect(control, &rect) ? 0 : 1;
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
  } else if (command == L"close" && argc == 3) {
    status = PostMessageW(ParseWindow(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
  } else if (command == L"wait-gone" && argc == 4) {
    const HWND window = ParseWindow(argv[2]);
    const DWORD timeout = static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10));
    const DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < timeout) Sleep(100);
    status = IsWindow(window) ? 1 : 0;
  }
  std::fflush(stdout);
  LocalFree(argv);
  return status;
}
