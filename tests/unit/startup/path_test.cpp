// Joining folders and names, also in a double-byte code page whose trail bytes may be 0x5C.
#include <gtest/gtest.h>

#include "common/path.h"

namespace slidesaver {
namespace {

bool Cp932Lead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(JoinPath, OneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(JoinPath("/opt/shows", "a.scr", '/'), "/opt/shows/a.scr");
  EXPECT_EQ(JoinPath("/", "a.scr", '/'), "/a.scr");
  EXPECT_EQ(JoinPath("C:\\", "a.scr", '\\'), "C:\\a.scr");
  EXPECT_EQ(JoinPath("C:\\Shows", "a.scr", '\\'), "C:\\Shows\\a.scr");
  EXPECT_EQ(JoinPath("", "a.scr", '/'), "/a.scr");
}

TEST(JoinPath, ATrailByteThatLooksLikeABackslashIsNoSeparator) {
  const std::string folder = "C:\\\x95\x5c";  // C:\表: the kanji's trail byte is 0x5C
  EXPECT_EQ(JoinPath(folder, "jp.scr", '\\', Cp932Lead), folder + "\\jp.scr");
  EXPECT_EQ(JoinPath(folder + "\\", "jp.scr", '\\', Cp932Lead), folder + "\\jp.scr");
  // "\x95\x5c\x5c": the kanji, then a real separator.
  EXPECT_TRUE(EndsWithSeparator("\x95\x5c\x5c", '\\', Cp932Lead));
  EXPECT_FALSE(EndsWithSeparator("a\x95\x5c", '\\', Cp932Lead));
  // A lead byte as the very last byte stands alone.
  EXPECT_FALSE(EndsWithSeparator("a\x95", '\\', Cp932Lead));
  // Without lead-byte knowledge the last byte decides.
  EXPECT_TRUE(EndsWithSeparator(folder, '\\'));
}

}  // namespace
}  // namespace slidesaver
