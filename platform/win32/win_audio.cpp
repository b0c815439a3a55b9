// Music through MCI and slide sounds through PlaySound, as Windows provides them.
#include "platform/win32/windows_api.h"

#include "platform/win32/windows_calls.h"

namespace slidesaver::win32 {
namespace {

// PlaySound's flags: a slide's sound from its file, played asynchronously, silent when missing;
// and the purge that ends the sound playing.
constexpr uint32_t kSoundFileFlags = SND_FILENAME | SND_NODEFAULT | SND_ASYNC;
constexpr uint32_t kPurgeFlags = SND_PURGE;

class WinAudio : public platform::Audio {
 public:
  explicit WinAudio(WindowsCalls& calls) : calls_(calls) {}

  void StartMusic(const std::string& path) override {
    calls_.SendMciString("open \"" + path + "\" alias bgm");
    calls_.SendMciString("play bgm");
  }
  // The reply begins with "stopped", in this case, once the music has played to its end.
  bool MusicEnded() override {
    return calls_.SendMciString("status bgm mode").starts_with("stopped");
  }
  void RestartMusic() override {
    calls_.SendMciString("seek bgm to start");
    calls_.SendMciString("play bgm");
  }
  void CloseMusic() override { calls_.SendMciString("close bgm"); }

  void PlaySound(const std::string& path) override {
    calls_.PlaySound(path.c_str(), kSoundFileFlags);
  }
  void StopSound() override { calls_.PlaySound(nullptr, kPurgeFlags); }

 private:
  WindowsCalls& calls_;
};

}  // namespace

std::unique_ptr<platform::Audio> MakeWinAudio(WindowsCalls& calls) {
  return std::make_unique<WinAudio>(calls);
}

}  // namespace slidesaver::win32
