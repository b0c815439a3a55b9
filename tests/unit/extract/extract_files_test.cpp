// Extraction into temp<N> on the fake platform, with real files below a temporary folder,
// and the extracted show's removal.
#include <gtest/gtest.h>

#include <deque>
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

  // Extracts `package` and returns the folder; the extracted show stays until the test ends.
  std::string Extract(PackageHeader package) {
    packages.push_back(std::move(package));
    shows.push_back(ExtractFiles(fake.platform(), packages.back()));
    return shows.back().Folder();
  }
  std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The writes in the order they were made, as names inside the folder.
  std::vector<std::string> Writes() {
    std::vector<std::string> names;
    for (const std::string& entry : fake.files.log) {
      if (entry.rfind("WriteFile ", 0) == 0)
        names.push_back(entry.substr(10 + shows.back().Folder().size()));
    }
    return names;
  }

  testing::TempFolder base;
  fake::FakePlatform fake;
  std::deque<PackageHeader> packages;
  std::deque<ExtractedShow> shows;
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
  fake.files.path_rules.separator = '\\';
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
  // The text, then why.
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, "実行できません\r\nno folder for the test");
  EXPECT_EQ(fake.dialogs.message_boxes[0].title, "ポムレット");
  EXPECT_EQ(fake.process.logged,
            std::vector<std::string>{"実行できません: no folder for the test"});
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
  EXPECT_EQ(FilesIn(base.path()), (std::vector<std::string>{"temp1", "temp1.lock"}));
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

TEST_F(ExtractFilesTest, AFolderThatCannotBeCreatedIsStillTheShowsFolder) {
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

TEST_F(ExtractFilesTest, RemovalDeletesWhatWasWrittenOnceAndThenTheFolder) {
  PackageHeader p = testing::Show({Slide("p", "P", "s.wav", "S"), Slide("q", "Q"),
                                   Slide("p", "P", "s.wav", "S"), Slide("../outside", "O")});
  p.BgmFileName = "m.mid";
  const std::string dir = Extract(p);
  testing::WriteBytes(base / "outside", {1});
  fake.files.log.clear();
  shows.back().Remove();
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_TRUE(fs::exists(base / "outside"));  // a name that leaves the folder names no file
  EXPECT_EQ(fake.files.LogFor(dir + "p"),
            (std::vector<std::string>{"FileExists " + dir + "p", "DeleteFile " + dir + "p"}));
  EXPECT_EQ(fake.files.LogFor("DeleteFile").size(), 4u);
  shows.back().Remove();  // once only
  EXPECT_EQ(fake.files.LogFor("DeleteFile").size(), 4u);
}

TEST_F(ExtractFilesTest, RemovalLeavesFilesNotItsOwn) {
  const std::string dir = Extract(testing::Show({Slide("p", "P")}));
  testing::WriteBytes(dir + "stranger", {1});
  shows.back().Remove();
  EXPECT_FALSE(fs::exists(dir + "p"));
  EXPECT_TRUE(fs::exists(dir + "stranger"));  // not ours: the folder stays
}

TEST_F(ExtractFilesTest, TheExtractedShowGoesWithItsOwner) {
  std::string dir;
  {
    const ExtractedShow show = ExtractFiles(fake.platform(), testing::Show({Slide("a", "A")}));
    dir = show.Folder();
    EXPECT_TRUE(fs::exists(dir + "a"));
  }
  EXPECT_FALSE(fs::exists(dir));
  fake.files.log.clear();
  { const ExtractedShow nothing(fake.files); }  // nothing extracted: nothing touched
  EXPECT_TRUE(fake.files.log.empty());
}

TEST(ExtractedShow, NamesWithPathsNameNoFileHonouringDoubleByteCharacters) {
  fake::FakeFileSystem posix_files, cp932_files;
  cp932_files.UseCodePage932();
  const ExtractedShow posix(posix_files), cp932(cp932_files);
  auto names_file = [](const ExtractedShow& show, const std::string& name) {
    return show.PathOf(name).has_value();
  };
  EXPECT_TRUE(names_file(posix, "a\\b"));  // an ordinary character on Linux
  EXPECT_FALSE(names_file(cp932, "a\\b"));
  EXPECT_FALSE(names_file(cp932, "c:x"));
  EXPECT_FALSE(names_file(cp932, "a/b"));
  EXPECT_TRUE(names_file(cp932, "\x95\x5c.jpg"));  // a kanji whose trail byte is 0x5C
  EXPECT_TRUE(names_file(cp932, "x\x95"));         // a lone trailing lead byte is harmless
  EXPECT_FALSE(names_file(cp932, "\x95\\\\x"));    // the second '\' is a real one
  EXPECT_FALSE(names_file(cp932, "\x95/x"));       // '/' is no trail byte, and a separator
  cp932_files.path_rules.lead_bytes.reset();
  EXPECT_FALSE(names_file(ExtractedShow(cp932_files), "\x95\x5c.jpg"));
}

}  // namespace
}  // namespace slidesaver
