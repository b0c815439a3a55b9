#pragma once
// The pieces of the Linux platform, each made once for the process by main().
#include <memory>

#include "platform/platform.h"

namespace slidesaver::linux_platform {

std::unique_ptr<platform::Process> MakeLinuxProcess(int argc, char** argv);
std::unique_ptr<platform::FileSystem> MakePosixFileSystem();
std::unique_ptr<platform::System> MakeLinuxSystem();
std::unique_ptr<platform::Dialogs> MakeLinuxDialogs();

// The show's services: SDL2 window and events, SDL2_mixer audio, SDL2_image pictures.
// SDL is started only when one of them is first used, so /C and /A never touch it.
struct SdlServices {
  std::unique_ptr<platform::EventLoop> events;
  std::unique_ptr<platform::ShowWindow> window;
  std::unique_ptr<platform::Audio> audio;
  std::unique_ptr<platform::PictureLoader> pictures;
};
SdlServices MakeSdlServices();

}  // namespace slidesaver::linux_platform
