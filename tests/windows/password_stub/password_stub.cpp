// A stand-in for Windows 9x's password.cpl, put beside the player in the Wine tests. Each call
// of VerifyScreenSavePwd appends a line to password-calls.log beside this file ("window" when
// it was given a live window, "no window" otherwise) and refuses the password as many times as
// the environment variable PASSWORD_STUB_REFUSALS says, then accepts it.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

HMODULE self = nullptr;

std::string LogPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(self, path, MAX_PATH);
  std::string log = path;
  return log.substr(0, log.find_last_of('\\') + 1) + "password-calls.log";
}

int CallsSoFar(const std::string& log) {
  const HANDLE file =
      CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  char buffer[4096];
  DWORD read = 0;
  int lines = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    for (DWORD i = 0; i < read; ++i) lines += buffer[i] == '\n';
  }
  CloseHandle(file);
  return lines;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  const std::string log = LogPath();
  const int call = CallsSoFar(log) + 1;
  const HANDLE file =
      CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  const char* line = IsWindow(window) ? "window\n" : "no window\n";
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
  CloseHandle(file);
  char refusals[16] = {};
  GetEnvironmentVariableA("PASSWORD_STUB_REFUSALS", refusals, sizeof refusals);
  return call > std::atoi(refusals) ? TRUE : FALSE;
}
