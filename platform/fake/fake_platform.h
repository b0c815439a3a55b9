#pragma once
// The deterministic platform for tests: one fake per service, owned here, and the Platform
// that hands them out. Tests set the fakes up through the public members, run the code under
// test with platform(), then look at the fakes' logs.
//
//   fake::FakePlatform fake;
//   fake.process.arguments = "/S";
//   fake.system.base_folder = temp_folder;
//   StartUp(fake.platform(), app);
//
// Each member's type lives in its own header (fake_<service>.h), so a richer fake can replace
// one without touching the others; the members keep their names.
#include "platform/fake/fake_audio.h"
#include "platform/fake/fake_dialogs.h"
#include "platform/fake/fake_event_loop.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_pictures.h"
#include "platform/fake/fake_process.h"
#include "platform/fake/fake_show_window.h"
#include "platform/fake/fake_system.h"
#include "platform/platform.h"

namespace slidesaver::fake {

struct FakePlatform {
  FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  FakeCallLog log;  // the show services' calls, in order, with their virtual ticks
  FakeProcess process;
  FakeFileSystem files;
  FakeSystem system;
  FakeEventLoop events;
  FakeShowWindow window;
  FakeAudio audio;
  FakePictures pictures;
  FakeDialogs dialogs;

  platform::Platform& platform() { return platform_; }

 private:
  platform::Platform platform_;
};

}  // namespace slidesaver::fake
