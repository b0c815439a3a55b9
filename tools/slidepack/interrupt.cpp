#include "tools/slidepack/interrupt.h"

#include <signal.h>

#include <iterator>

namespace slidepack {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t interrupted = 0;
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];

void Remember(int) { interrupted = 1; }

}  // namespace

Interruptible::Interruptible() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = Remember;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

Interruptible::~Interruptible() {
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
}

bool Interruptible::Interrupted() const { return interrupted != 0; }

}  // namespace slidepack
