// Joining folders and names, also in a double-byte code page whose trail bytes may be 0x5C.
#include "platform/path_rules.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_file_system.h"

namespace slidesaver::platform {
namespace {

PathRules Cp932() {
  fake::FakeFileSystem files;
  files.UseCodePage932();
  return files.GetPathRules();
}

TEST(PathRules, OneSeparatorBetweenFolderAndName) {
  const PathRules posix, windows{'\\', {}};
  EXPECT_EQ(posix.Join("/opt/shows", "a.scr"), "/opt/shows/a.scr");
  EXPECT_EQ(posix.Join("/", "a.scr"), "/a.scr");
  EXPECT_EQ(windows.Join("C:\\", "a.scr"), "C:\\a.scr");
  EXPECT_EQ(windows.Join("C:\\Shows", "a.scr"), "C:\\Shows\\a.scr");
  EXPECT_EQ(posix.Join("", "a.scr"), "/a.scr");
}

TEST(PathRules, ATrailByteThatLooksLikeABackslashIsNoSeparator) {
  const PathRules cp932 = Cp932();
  const std::string folder = "C:\\\x95\x5c";  // C:\表: the kanji's trail byte is 0x5C
  EXPECT_EQ(cp932.Join(folder, "jp.scr"), folder + "\\jp.scr");
  EXPECT_EQ(cp932.Join(folder + "\\", "jp.scr"), folder + "\\jp.scr");
  // "\x95\x5c\x5c": the kanji, then a real separator.
  EXPECT_TRUE(cp932.EndsWithSeparator("\x95\x5c\x5c"));
  EXPECT_FALSE(cp932.EndsWithSeparator("a\x95\x5c"));
  // A lead byte as the very last byte stands alone.
  EXPECT_FALSE(cp932.EndsWithSeparator("a\x95"));
  // Without lead-byte knowledge the last byte decides.
  EXPECT_TRUE(PathRules({'\\', {}}).EndsWithSeparator(folder));
}

}  // namespace
}  // namespace slidesaver::platform
