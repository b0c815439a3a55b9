// Extraction into temp<N> on the fake platform, with real files below a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/run_time_error.h"
#include "package/extract_files.h"
#include "platform/fake/fake_platform.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;
using testing::Slide;

class ExtractFilesTest : public ::testing::Test {
 protected:
  ExtractFilesTest() { fake.system.base_folder = base.path() + "/"; }

  // Extracts `package` and returns TempDir.
  std::string Extract(PackageHeader package) {
    app.Package = std::move(package);
    ExtractFiles(fake.platform(), app);
    return app.TempDir;
  }
  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The writes in the order they were made, as names inside TempDir.
  std::vector<std::string> Writes() {
    std::vector<std::string> names;
    for (const std::string& entry : fake.files.log) {
      if (entry.rfind("WriteFile ", 0) == 0) names.push_back(entry.substr(10 + app.TempDir.size()));
    }
    return names;
  }

  testing::TempFolder base;
  fake::FakePlatform fake;
  AppState app;
};

TEST_F(ExtractFilesTest, WritesMusicPicturesAndSoundsIntoTemp1) {
  PackageHeader p =
      testing::Show({Slide("0.jpg", "pic0", "0.wav", "snd0"), Slide("1.jpg", "pic1")});
  p.BgmFileName = "bgm.mid";
  p.BgmData = testing::BytesOf("music");
  const std::string dir = Extract(p);
  EXPECT_EQ(dir, base.path() + "/temp1/");
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"0.jpg", "0.wav", "1.jpg", "bgm.mid"}));
  EXPECT_EQ(ReadText(dir + "bgm.mid"), "music");
  EXPECT_EQ(ReadText(dir + "0.jpg"), "pic0");
  EXPECT_EQ(ReadText(dir + "0.wav"), "snd0");
  EXPECT_EQ(ReadText(dir + "1.jpg"), "pic1");
  EXPECT_EQ(Writes(), (std::vector<std::string>{"bgm.mid", "0.jpg", "1.jpg", "0.wav"}));
}

TEST_F(ExtractFilesTest, TakesTheFirstFreeNumber) {
  fs::create_directory(base / "temp1");
  testing::WriteBytes(base / "temp2", {1});  // a file counts as taken too
  fs::create_directory(base / "temp4");
  EXPECT_EQ(Extract(testing::Show({})), base.path() + "/temp3/");
  EXPECT_EQ(Extract(testing::Show({})), base.path() + "/temp5/");
  EXPECT_TRUE(fs::is_empty(base / "temp1"));  // taken folders are left alone
}

TEST_F(ExtractFilesTest, BaseFolderWithoutSeparatorGetsExactlyOne) {
  fake.system.base_folder = base.path();
  EXPECT_EQ(Extract(testing::Show({})), base.path() + "/temp1/");
  fake.process.separator = '\\';
  fake.system.base_folder = "C:\\";
  fake.files.fail_create_folders = {"C:"};  // no such drive here: the name is what matters
  EXPECT_EQ(Extract(testing::Show({})), "C:\\temp1\\");
  fake.files.UseCodePage932();
  fake.system.base_folder = "C:\\\x95\x5c";  // C:\表, whose last byte is a trail byte
  EXPECT_EQ(Extract(testing::Show({})), "C:\\\x95\x5c\\temp1\\");
}

TEST_F(ExtractFilesTest, NoBaseFolderEndsTheProcessWithAMessage) {
  fake.system.base_folder.reset();
  try {
    Extract(testing::Show({Slide("a", "A")}));
    FAIL() << "the process should end";
  } catch (const ProcessExit& exit) {
    EXPECT_NE(exit.status, 0);
  }
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, "実行できません");
  EXPECT_EQ(fake.dialogs.message_boxes[0].title, "ポムレット");
  EXPECT_EQ(fake.dialogs.message_boxes[0].icon, platform::MessageIcon::Information);
  EXPECT_TRUE(fake.files.log.empty());
  EXPECT_TRUE(FilesIn(base.path()).empty());
}

TEST_F(ExtractFilesTest, RepeatedNamesKeepTheFirstSlidesBytes) {
  const std::string dir =
      Extract(testing::Show({Slide("a", "first", "s", "sound-1"),
                             Slide("b", "second", "s", "sound-2"), Slide("a", "third", "", "")}));
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"a", "b", "s"}));
  EXPECT_EQ(ReadText(dir + "a"), "first");
  EXPECT_EQ(ReadText(dir + "s"), "sound-1");
  EXPECT_EQ(Writes(), (std::vector<std::string>{"a", "b", "s"}));
}

TEST_F(ExtractFilesTest, LaterKindsReplaceEarlierFilesOfTheSameName) {
  // Music first, then pictures, then sounds: each replaces the whole older file.
  PackageHeader p = testing::Show({Slide("x", "pic"), Slide("y", "picture-y", "x", "snd")});
  p.BgmFileName = "y";
  p.BgmData = testing::BytesOf("a longer music file");
  const std::string dir = Extract(p);
  EXPECT_EQ(ReadText(dir + "x"), "snd");
  EXPECT_EQ(ReadText(dir + "y"), "picture-y");
  EXPECT_EQ(fake.files.LogFor("DeleteFile").size(), 2u);
}

TEST_F(ExtractFilesTest, NamesDifferingInCaseAreNotDuplicates) {
  const std::string dir =
      Extract(testing::Show({Slide("A.jpg", "upper"), Slide("a.jpg", "lower")}));
  EXPECT_EQ(Writes(), (std::vector<std::string>{"A.jpg", "a.jpg"}));
  EXPECT_EQ(ReadText(dir + "a.jpg"), "lower");  // on a case-folding file system, one file
}

TEST_F(ExtractFilesTest, UnsafeNamesAreNeverWritten) {
  PackageHeader p = testing::Show({Slide("../escape", "E"), Slide("sub/x", "S"), Slide(".", "D"),
                                   Slide("..", "DD"), Slide("", "empty"),
                                   Slide(std::string("nul\0x", 5), "N"), Slide("ok", "fine")});
  p.BgmFileName = "/etc/passwd-copy";
  p.BgmData = testing::BytesOf("m");
  const std::string dir = Extract(p);
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"ok"});
  EXPECT_EQ(FilesIn(base.path()), std::vector<std::string>{"temp1"});
  EXPECT_EQ(Writes(), std::vector<std::string>{"ok"});
}

TEST_F(ExtractFilesTest, MusicNameStartingWithNulWritesNothing) {
  PackageHeader p = testing::Show({});
  p.BgmFileName = std::string("\0m", 2);
  p.BgmData = testing::BytesOf("music");
  EXPECT_TRUE(FilesIn(Extract(p)).empty());
}

TEST_F(ExtractFilesTest, EmptyShowCreatesOnlyTheFolder) {
  const std::string dir = Extract(testing::Show({}));
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_TRUE(FilesIn(dir).empty());
  EXPECT_TRUE(Writes().empty());
}

TEST_F(ExtractFilesTest, SlidesWithoutSoundsWriteNoSoundFile) {
  const std::string dir = Extract(testing::Show({Slide("a", "A"), Slide("b", "B")}));
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ExtractFilesTest, AFailedWriteIsSkippedAndTheRestGoesOn) {
  fake.files.fail_writes = {"/b"};
  const std::string dir =
      Extract(testing::Show({Slide("a", "A"), Slide("b", "B", "b.wav", "W"), Slide("c", "C")}));
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"a", "c"}));
  EXPECT_TRUE(fake.dialogs.message_boxes.empty());
}

TEST_F(ExtractFilesTest, AFolderThatCannotBeCreatedStillSetsTempDir) {
  fake.files.fail_create_folders = {"temp1"};
  EXPECT_EQ(Extract(testing::Show({Slide("a", "A")})), base.path() + "/temp1/");
  EXPECT_TRUE(FilesIn(base.path()).empty());  // every write failed quietly
  EXPECT_TRUE(fake.dialogs.message_boxes.empty());
}

TEST_F(ExtractFilesTest, SlideCountIsBoundedByTheSlidesHeld) {
  PackageHeader lying = testing::Show({Slide("a", "A")});
  lying.SlideCount = 1000;
  EXPECT_EQ(FilesIn(Extract(lying)), std::vector<std::string>{"a"});
  PackageHeader fewer = testing::Show({Slide("a", "A"), Slide("b", "B")});
  fewer.SlideCount = 1;
  EXPECT_EQ(FilesIn(Extract(fewer)), std::vector<std::string>{"a"});
  PackageHeader negative = testing::Show({Slide("a", "A")});
  negative.SlideCount = -3;
  EXPECT_TRUE(FilesIn(Extract(negative)).empty());
}

TEST(IsSafeFileName, BackslashSeparatorRulesHonourDoubleByteCharacters) {
  fake::FakeFileSystem cp932;
  cp932.UseCodePage932();
  EXPECT_TRUE(IsSafeFileName("a\\b", '/', &cp932));  // an ordinary character on Linux
  EXPECT_FALSE(IsSafeFileName("a\\b", '\\', &cp932));
  EXPECT_FALSE(IsSafeFileName("c:x", '\\', &cp932));
  EXPECT_FALSE(IsSafeFileName("a/b", '\\', &cp932));
  EXPECT_TRUE(IsSafeFileName("\x95\x5c.jpg", '\\', &cp932));  // a kanji whose trail byte is 0x5C
  EXPECT_FALSE(IsSafeFileName("\x95\x5c.jpg", '\\', nullptr));
  EXPECT_TRUE(IsSafeFileName("x\x95", '\\', &cp932));       // a lone trailing lead byte is harmless
  EXPECT_FALSE(IsSafeFileName("\x95\\\\x", '\\', &cp932));  // the second '\' is a real one
}

}  // namespace
}  // namespace slidesaver
