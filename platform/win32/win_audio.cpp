// Music through MCI and slide sounds through PlaySound, as Windows provides them.
#include "platform/win32/windows_api.h"

#include "platform/win32/win32_platform.h"
#include "platform/windows_calls.h"

namespace slidesaver::win32 {
namespace {

namespace calls = platform::windows_calls;

class WinAudio : public platform::Audio {
 public:
  void StartMusic(const std::string& path) override {
    Send(calls::OpenMusic(path));
    Send(calls::kPlayMusic);
  }
  bool MusicEnded() override { return calls::MusicModeIsStopped(Send(calls::kAskMusicMode)); }
  void RestartMusic() override {
    Send(calls::kSeekMusicToStart);
    Send(calls::kPlayMusic);
  }
  void CloseMusic() override { Send(calls::kCloseMusic); }

  void PlaySound(const std::string& path) override {
    PlaySoundA(path.c_str(), nullptr, calls::kSoundFileFlags);
  }
  void StopSound() override { PlaySoundA(nullptr, nullptr, calls::kPurgeFlags); }

 private:
  // The reply in the show's buffer of 256 characters; failures are silent.
  static std::string Send(const std::string& command) {
    char reply[256] = {};
    mciSendStringA(command.c_str(), reply, sizeof reply, nullptr);
    reply[sizeof reply - 1] = '\0';
    return reply;
  }
};

static_assert(calls::kSoundFileFlags == (SND_FILENAME | SND_NODEFAULT | SND_ASYNC));
static_assert(calls::kPurgeFlags == SND_PURGE);

}  // namespace

std::unique_ptr<platform::Audio> MakeWinAudio() { return std::make_unique<WinAudio>(); }

}  // namespace slidesaver::win32
