// Music through MCI and slide sounds through PlaySound, as Windows provides them.
#include "platform/win32/windows_api.h"

#include "platform/win32/win32_platform.h"

namespace slidesaver::win32 {
namespace {

class WinAudio : public platform::Audio {
 public:
  std::string MciSendString(const std::string& command) override {
    char reply[256] = {};
    mciSendStringA(command.c_str(), reply, sizeof reply, nullptr);
    reply[sizeof reply - 1] = '\0';
    return reply;
  }

  void PlaySound(const std::string* path, uint32_t flags) override {
    PlaySoundA(path ? path->c_str() : nullptr, nullptr, flags);
  }
};

}  // namespace

std::unique_ptr<platform::Audio> MakeWinAudio() { return std::make_unique<WinAudio>(); }

}  // namespace slidesaver::win32
