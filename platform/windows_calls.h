#pragma once
// The Windows calls by which the show plays its music and sounds and asks for the screen-saver
// password: the MCI command strings of the music (under the alias bgm), the PlaySound flags and
// the password functions' arguments and answers. The Win32 platform makes these calls; the test
// platform records them, so a test sees the Windows player's calls one by one.
#include <cstdint>
#include <string>

namespace slidesaver::platform::windows_calls {

inline std::string OpenMusic(const std::string& path) { return "open \"" + path + "\" alias bgm"; }
constexpr const char* kPlayMusic = "play bgm";
constexpr const char* kAskMusicMode = "status bgm mode";
constexpr const char* kSeekMusicToStart = "seek bgm to start";
constexpr const char* kCloseMusic = "close bgm";

// The reply to kAskMusicMode, as the show reads it from its 256-character buffer.
inline bool MusicModeIsStopped(const std::string& reply) { return reply.starts_with("stopped"); }

// PlaySound's flags: a slide's sound from its file, played asynchronously, silent when missing;
// and the purge that ends the sound playing.
constexpr uint32_t kSoundFileFlags =
    0x20000 | 0x2 | 0x1;                // SND_FILENAME | SND_NODEFAULT | SND_ASYNC
constexpr uint32_t kPurgeFlags = 0x40;  // SND_PURGE

// ShowCursor keeps a display count: the show calls it until the cursor is hidden (count < 0) or
// shown (count >= 0), whatever the count was.
template <class ShowCursorCall>
void ShowCursorUntil(bool visible, ShowCursorCall show_cursor) {
  if (visible) {
    while (show_cursor(true) < 0) {
    }
  } else {
    while (show_cursor(false) >= 0) {
    }
  }
}

// PwdChangePasswordA's provider of the screen saver's password; both reserved words are 0.
constexpr const char* kScreenSaverPasswordProvider = "SCRSAVE";

// VerifyScreenSavePwd's BOOL, read as the show's 16-bit integer: only its low word counts.
inline bool PasswordAccepted(int32_t verify_answer) { return (verify_answer & 0xFFFF) != 0; }

}  // namespace slidesaver::platform::windows_calls
