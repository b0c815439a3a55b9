#pragma once
// The idle sources of Linux sessions tell their news through a descriptor, so that the
// watcher polls it beside the show's end and the close signals, and nothing wakes it while
// nothing happens.
#include <string>

#include "platform/idle_source.h"

namespace slidesaver::linux_platform {

using platform::IdleNews;

class PolledIdleSource : public platform::IdleSource {
 public:
  // Readable when news may have come. News may also wait already read: call Next() until it
  // says Nothing before polling.
  virtual int Descriptor() const = 0;
};

// A session's name fit for a file name: anything but letters, digits, ':', '.', '-' and '_'
// made '_'.
std::string SessionFileName(std::string name);

}  // namespace slidesaver::linux_platform
