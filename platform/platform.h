#pragma once
// Everything the system asks of its platform. The start-up procedure receives one.
#include "platform/audio.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/picture_loader.h"
#include "platform/process.h"
#include "platform/show_window.h"
#include "platform/system.h"

namespace slidesaver::platform {

struct Platform {
  Process& process;
  FileSystem& files;
  System& system;
  EventLoop& events;
  ShowWindow& window;
  Audio& audio;
  PictureLoader& pictures;
  Dialogs& dialogs;
};

}  // namespace slidesaver::platform
