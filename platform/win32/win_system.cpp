// The desktop's state: the Windows directory, the password switch, the screen-saver flag.
#include "platform/win32/win_system.h"

#include "platform/win32/windows_api.h"

#include <cstdlib>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_text.h"

namespace slidesaver::win32 {

bool RegistrySwitchOn(unsigned long type, std::span<const uint8_t> data) {
  if (type == REG_DWORD || type == REG_BINARY) {
    if (data.size() > 4) return false;
    uint32_t value = 0;
    for (size_t i = 0; i < data.size(); ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value != 0;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    const std::string text(data.begin(), data.end());
    return std::strtol(text.c_str(), nullptr, 10) != 0;  // "1" on, "0" and "" off
  }
  return false;
}

std::optional<std::string> ChooseExtractionBase(const std::string& windows_directory,
                                                bool windows_directory_writable,
                                                const std::string& temp_directory) {
  if (windows_directory.empty()) return std::nullopt;
  if (windows_directory_writable || temp_directory.empty())
    return WithTrailingBackslash(windows_directory);
  return WithTrailingBackslash(temp_directory);
}

bool FolderWritable(const std::string& folder) {
  const std::string probe =
      WithTrailingBackslash(folder) + "slidesaver-probe-" + std::to_string(GetCurrentProcessId());
  const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

namespace {

// The Windows directory; empty, with the reason in `problem`, when it can't be had.
std::string WindowsDirectory(std::string& problem) {
  char buffer[512] = {};
  const UINT n = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (n == 0) problem = "GetWindowsDirectoryA: " + SystemErrorText(GetLastError());
  if (n >= sizeof buffer) problem = "the Windows directory's name is too long";
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

std::string TempDirectory() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(sizeof buffer, buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

class WinSystem : public platform::System {
 public:
  platform::BaseFolder ExtractionBaseFolder() override {
    platform::BaseFolder base;
    const std::string windows = WindowsDirectory(base.problem);
    // An ordinary user on NT-family Windows can't write into the Windows directory: every
    // show would then find none of its files. The user's temporary folder serves instead.
    base.path =
        ChooseExtractionBase(windows, !windows.empty() && FolderWritable(windows), TempDirectory())
            .value_or("");
    return base;
  }

  bool ScreenSaverPasswordOn() override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
      return false;
    uint8_t value[16] = {};
    DWORD type = 0;
    DWORD size = sizeof value;
    const LONG result =
        RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type, value, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return false;  // missing, or too long for the buffer
    return RegistrySwitchOn(type, std::span<const uint8_t>(value, size));
  }

  void SetScreenSaverRunning(bool running) override {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
  }

  platform::WindowHandle ForegroundWindow() override {
    return static_cast<platform::WindowHandle>(reinterpret_cast<uintptr_t>(GetForegroundWindow()));
  }
};

}  // namespace

std::unique_ptr<platform::System> MakeWinSystem() { return std::make_unique<WinSystem>(); }

}  // namespace slidesaver::win32
