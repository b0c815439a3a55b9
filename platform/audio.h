#pragma once
#include <cstdint>
#include <string>

namespace slidesaver::platform {

constexpr uint32_t SND_ASYNC = 0x1;
constexpr uint32_t SND_NODEFAULT = 0x2;
constexpr uint32_t SND_PURGE = 0x40;
constexpr uint32_t SND_FILENAME = 0x20000;

class Audio {
 public:
  virtual ~Audio() = default;
  // An MCI-style command string ("open \"path\" alias bgm", "play bgm", "status bgm mode",
  // "seek bgm to start", "close bgm"); returns the reply text. Failures are silent.
  virtual std::string MciSendString(const std::string& command) = 0;
  // PlaySound semantics: a file path (null = no sound) played with the flags above.
  virtual void PlaySound(const std::string* path, uint32_t flags) = 0;
};

}  // namespace slidesaver::platform
