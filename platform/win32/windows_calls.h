#pragma once
// The Windows calls by which the show plays its music and sounds, hides the pointer and asks for
// the screen-saver password, written once: the MCI command strings of the music (under the
// alias bgm), the PlaySound flags, ShowCursor called until its count says hidden or shown, and
// the password functions' arguments and answers. They go through a WindowsCalls: the system's
// own in the program, one that records them in the tests under Wine.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio.h"

namespace slidesaver::win32 {

class WindowsCalls {
 public:
  virtual ~WindowsCalls() = default;
  // mciSendStringA(command, reply, 256, 0): the reply, as the show reads it from its buffer of
  // 256 characters; failures are silent.
  virtual std::string SendMciString(const std::string& command) = 0;
  // PlaySoundA(path, 0, flags); `path` is null with SND_PURGE.
  virtual void PlaySound(const char* path, uint32_t flags) = 0;
  // ShowCursor: the new display count.
  virtual int ShowCursor(bool show) = 0;
  // VerifyScreenSavePwd of password.cpl, which only Windows 9x has: none without it.
  virtual std::optional<int32_t> VerifyScreenSavePwd(HWND over) = 0;
  // PwdChangePasswordA of mpr.dll, where there is one.
  virtual void PwdChangePassword(const char* provider, HWND owner, uint32_t reserved1,
                                 uint32_t reserved2) = 0;
};

// The system's functions.
WindowsCalls& SystemWindowsCalls();

// The music and the slides' sounds: MCI and PlaySound.
std::unique_ptr<platform::Audio> MakeWinAudio(WindowsCalls& calls = SystemWindowsCalls());

// ShowCursor keeps a display count: called until the pointer is hidden (count < 0) or shown
// (count >= 0), whatever the count was.
void ShowCursorUntil(bool visible, WindowsCalls& calls);

// The screen-saver password asked for over `over`: accepted when VerifyScreenSavePwd's BOOL,
// read as the show's 16-bit integer, is not 0 in its low word. NT-family Windows has no
// password.cpl (it locks the session when the screen saver is secure): there the show simply
// ends instead of failing in the middle of its shutdown.
bool CheckScreenSaverPassword(WindowsCalls& calls, HWND over);

// The system's dialog that changes the screen-saver password: PwdChangePasswordA's provider
// "SCRSAVE", both reserved words 0.
void ChangeScreenSaverPassword(WindowsCalls& calls, HWND owner);

}  // namespace slidesaver::win32
