#include "platform/linux/sdl/sdl_posted_calls.h"

#include <unistd.h>

namespace slidesaver::linux_platform {

std::atomic<int> PostedCalls::wake_fd_{-1};

void PostedCalls::WakeAlso(int event_fd) { wake_fd_ = event_fd; }

uint32_t PostedCalls::EventType() {
  static const uint32_t type = SDL_RegisterEvents(1);
  return type;
}

int32_t PostedCalls::Add(std::function<void()> call) {
  const int32_t id = next_id_++;
  calls_[id] = std::move(call);
  return id;
}

void PostedCalls::Remove(int32_t id) { calls_.erase(id); }

void PostedCalls::Post(int32_t id) {
  const uint32_t type = EventType();
  if (type == static_cast<uint32_t>(-1) || !SDL_WasInit(SDL_INIT_EVENTS)) return;
  SDL_Event event{};
  event.type = type;
  event.user.code = id;
  SDL_PushEvent(&event);
  if (const int fd = wake_fd_; fd >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
  }
}

bool PostedCalls::Run(const SDL_Event& event) {
  if (event.type != EventType()) return false;
  const auto it = calls_.find(event.user.code);
  if (it != calls_.end()) it->second();
  return true;
}

}  // namespace slidesaver::linux_platform
