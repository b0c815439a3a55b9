// The music commands the show sends, taken apart as the Linux platform and slidepack's render
// take them: the file of "open" whatever its name holds, a '"' included.
#include "platform/linux/mci_command.h"

#include <gtest/gtest.h>

namespace slidesaver::linux_platform {
namespace {

TEST(MciCommand, OpenTakesThePathBetweenTheFirstQuoteAndTheLastBeforeAlias) {
  struct Case {
    std::string command, path, alias, rest;
  };
  const Case cases[] = {
      {"open \"/run/temp1/music.mid\" alias bgm", "/run/temp1/music.mid", "bgm", ""},
      {"open \"/run/temp1/say \"hi\".mid\" alias bgm", "/run/temp1/say \"hi\".mid", "bgm", ""},
      {"open \"/run/a\"\" ALIAS Bgm", "/run/a\"", "bgm", ""},
      {"open \"/run/a b.wav\" alias bgm wait", "/run/a b.wav", "bgm", ""},
      {"open /run/plain.mid alias bgm", "/run/plain.mid", "bgm", ""},
      {"open \"/run/no alias.mid\"", "/run/no alias.mid", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const MciCommand mci = ParseMciCommand(c.command);
    EXPECT_EQ(mci.verb, "open");
    EXPECT_EQ(mci.path, c.path);
    EXPECT_EQ(mci.alias, c.alias);
    EXPECT_EQ(mci.device, c.alias.empty() ? c.path : c.alias);
  }
  const MciCommand status = ParseMciCommand("status BGM mode");
  EXPECT_EQ(status.device, "bgm");
  EXPECT_EQ(status.rest, "mode");
}

}  // namespace
}  // namespace slidesaver::linux_platform
