// The idle watcher's lock is named for the display: one name per display, whatever screen.
#include <gtest/gtest.h>

#include "platform/linux/idle/x11_idle_source.h"

namespace slidesaver::linux_platform {
namespace {

TEST(X11SessionName, OneNamePerDisplayFitForAFileName) {
  const struct {
    const char* display;
    const char* name;
  } cases[] = {
      {":0", ":0"},
      {":0.1", ":0"},
      {"localhost:10.0", "localhost:10"},
      {"host.example.org:1", "host.example.org:1"},
      {"/tmp/launch-a b/org.x:0", "_tmp_launch-a_b_org.x:0"},
      {"[::1]:2.0", "_::1_:2"},
  };
  for (const auto& c : cases) EXPECT_EQ(X11SessionName(c.display), c.name) << c.display;
}

}  // namespace
}  // namespace slidesaver::linux_platform
