// The names unpack gives stored files: plain names are kept, anything that could reach outside
// the folder, clash, or not survive on another system is replaced.
#include <gtest/gtest.h>

#include "slidepack_test_support.h"
#include "tools/slidepack/unpack_names.h"

namespace slidepack {
namespace {

using slidepack_test::SmallJpeg;
using slidepack_test::ToBytes;

TEST(PlainFileNames, RejectPathsAndNamesOtherSystemsRefuse) {
  EXPECT_TRUE(IsPlainFileName("0"));
  EXPECT_TRUE(IsPlainFileName("photo 1.JPG"));
  EXPECT_TRUE(IsPlainFileName(".hidden"));
  EXPECT_TRUE(IsPlainFileName("\xE5\x86\x99\xE7\x9C\x9F.jpg"));
  for (const std::string& name : std::vector<std::string>{
           "", ".", "..", "../x", "/etc/x", "a/b", "a\\b", "C:x", "a*b", "what?", "x\ny",
           std::string("nul\0x", 5), "trailing.", "trailing ", "CON", "nul.txt", "Lpt1.jpg",
           std::string(256, 'n'), std::string("\x83\x41")}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  }
}

TEST(UnpackNameChoice, KeepsPlainNamesAndRenamesTheRest) {
  UnpackNames names;
  const auto jpeg = ToBytes(SmallJpeg(1));
  EXPECT_EQ(names.Choose("a.jpg", jpeg, "picture-001").file, "a.jpg");
  EXPECT_EQ(names.Choose("../x", jpeg, "picture-002").file, "picture-002.jpg");
  EXPECT_EQ(names.Choose("", ToBytes({1, 2}), "sound-003").file, "sound-003.bin");
}

TEST(UnpackNameChoice, NeverGivesTwoFilesOneName) {
  UnpackNames names;
  const auto first = ToBytes(SmallJpeg(1)), second = ToBytes(SmallJpeg(2));
  EXPECT_EQ(names.Choose("show.toml", first, "picture-001").file, "picture-001.jpg");
  EXPECT_EQ(names.Choose("A.jpg", first, "picture-002").file, "A.jpg");
  // The same name with other bytes, and a name that differs in case only.
  EXPECT_EQ(names.Choose("A.jpg", second, "picture-003").file, "picture-003.jpg");
  EXPECT_EQ(names.Choose("a.JPG", second, "picture-004").file, "picture-004.jpg");
  // A stored name that looks like one of our own names.
  EXPECT_EQ(names.Choose("picture-005.jpg", first, "x").file, "picture-005.jpg");
  EXPECT_EQ(names.Choose("..", first, "picture-005").file, "picture-005-2.jpg");
}

TEST(UnpackNameChoice, ReusesAFileForTheSameNameAndBytes) {
  UnpackNames names;
  const auto jpeg = ToBytes(SmallJpeg(1));
  const auto first = names.Choose("same.jpg", jpeg, "picture-001");
  const auto again = names.Choose("same.jpg", ToBytes(SmallJpeg(1)), "picture-002");
  EXPECT_TRUE(first.write);
  EXPECT_FALSE(again.write);
  EXPECT_EQ(again.file, "same.jpg");
  const auto unsafe = names.Choose("../same", jpeg, "picture-003");
  EXPECT_TRUE(names.Choose("../same", jpeg, "picture-004").file == unsafe.file);
}

}  // namespace
}  // namespace slidepack
