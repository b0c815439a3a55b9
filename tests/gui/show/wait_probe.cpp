// Measures how late the show's display wait ends on the real platform: the SDL event loop with
// its window up, and the shared deadline wait, against the real clock. The same deadlines
// slept with plain sleep_until in the same run show what the machine itself allows.
//   show-wait-probe [waits]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "effects/deadline_wait.h"
#include "platform/linux/linux_platform.h"

int main(int argc, char** argv) {
  using namespace slidesaver;
  using Clock = std::chrono::steady_clock;
  const int waits = argc > 1 ? std::atoi(argv[1]) : 200;
  linux_platform::SdlServices sdl = linux_platform::MakeSdlServices();
  sdl.window->Move(0, 0, 64, 64);
  sdl.window->Show();
  sdl.events->Yield();

  std::mt19937 random(1);
  std::uniform_int_distribution<int32_t> display_time(5, 60);
  const bool stop_requested = false;
  std::vector<double> lateness, reference;
  for (int i = 0; i < waits; ++i) {
    // Start on a tick boundary, so that the moment the deadline passes is known exactly.
    const int64_t before = sdl.events->TickCount();
    int64_t t0;
    while ((t0 = sdl.events->TickCount()) == before) {
    }
    const Clock::time_point start = Clock::now();
    const int32_t d = display_time(random);
    WaitForDeadline(*sdl.events, stop_requested, t0 + d);
    const double late =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count() - (d + 1);
    lateness.push_back(late);

    const Clock::time_point due = Clock::now() + std::chrono::milliseconds(d + 1);
    std::this_thread::sleep_until(due);
    reference.push_back(std::chrono::duration<double, std::milli>(Clock::now() - due).count());
  }
  auto report = [&](const char* what, std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    auto at = [&](double p) { return v[static_cast<size_t>(p * (v.size() - 1))]; };
    std::printf("%s over %d waits (ms): p50 %.3f  p95 %.3f  max %.3f\n", what, waits, at(0.5),
                at(0.95), v.back());
  };
  report("display wait lateness      ", lateness);
  report("reference sleep_until      ", reference);
  return 0;
}
