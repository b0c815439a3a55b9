// The POSIX file system on real files: folder creation as an atomic claim, writes that never
// follow a symlink, the atomic replace, and mappings of odd files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "platform/linux/linux_platform.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using platform::CreateFolderResult;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::FileSystem> files = linux_platform::MakePosixFileSystem();
  testing::TempFolder dir;
};

std::span<const uint8_t> Text(const char* s) {
  return {reinterpret_cast<const uint8_t*>(s), std::strlen(s)};
}

TEST_F(PosixFileSystemTest, CreateFolderClaimsANameOnce) {
  EXPECT_EQ(files->CreateFolder(dir / "t"), CreateFolderResult::Created);
  EXPECT_EQ(files->CreateFolder(dir / "t"), CreateFolderResult::AlreadyExists);
  testing::WriteBytes(dir / "f", {1});
  EXPECT_EQ(files->CreateFolder(dir / "f"), CreateFolderResult::AlreadyExists);
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_EQ(files->CreateFolder(dir / "dangling"), CreateFolderResult::AlreadyExists);
  EXPECT_EQ(files->CreateFolder(dir / "missing/t"), CreateFolderResult::Failed);
  EXPECT_EQ(fs::status(dir / "t").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(PosixFileSystemTest, ExistenceTests) {
  fs::create_directory(dir / "d");
  testing::WriteBytes(dir / "f", {});
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_TRUE(files->Exists(dir / "d"));
  EXPECT_TRUE(files->Exists(dir / "f"));
  EXPECT_TRUE(files->Exists(dir / "dangling"));  // a name that is taken
  EXPECT_FALSE(files->Exists(dir / "none"));
  EXPECT_FALSE(files->FileExists(dir / "d"));
  EXPECT_TRUE(files->FileExists(dir / "f"));
  EXPECT_FALSE(files->FileExists(dir / "dangling"));
}

TEST_F(PosixFileSystemTest, DeleteAndRemoveFolder) {
  fs::create_directory(dir / "d");
  testing::WriteBytes(dir / "d/f", {1});
  EXPECT_FALSE(files->RemoveFolder(dir / "d"));  // not empty
  EXPECT_FALSE(files->DeleteFile(dir / "d"));
  EXPECT_TRUE(files->DeleteFile(dir / "d/f"));
  EXPECT_FALSE(files->DeleteFile(dir / "d/f"));
  EXPECT_TRUE(files->RemoveFolder(dir / "d"));
  EXPECT_FALSE(fs::exists(dir / "d"));
}

TEST_F(PosixFileSystemTest, WriteFileTruncatesAndNeverFollowsASymlink) {
  testing::WriteBytes(dir / "f", testing::ToBytes("a much longer old content"));
  EXPECT_TRUE(files->WriteFile(dir / "f", Text("new")));
  EXPECT_EQ(testing::ReadText(dir / "f"), "new");

  testing::WriteBytes(dir / "victim", testing::ToBytes("keep"));
  fs::create_symlink(dir / "victim", dir / "link");
  EXPECT_FALSE(files->WriteFile(dir / "link", Text("evil")));
  EXPECT_EQ(testing::ReadText(dir / "victim"), "keep");

  EXPECT_FALSE(files->WriteFile(dir / "missing/f", Text("x")));
  EXPECT_TRUE(files->WriteFile(dir / "empty", {}));
  EXPECT_TRUE(fs::exists(dir / "empty"));
}

TEST_F(PosixFileSystemTest, AtomicWriteReplacesTheWholeFileAndKeepsItsMode) {
  testing::WriteBytes(dir / "s.set", testing::ToBytes("0123456789"));
  chmod((dir / "s.set").c_str(), 0640);
  EXPECT_EQ(files->WriteFileAtomic(dir / "s.set", Text("ABCD")), "");
  EXPECT_EQ(testing::ReadText(dir / "s.set"), "ABCD");
  EXPECT_EQ(fs::status(dir / "s.set").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  EXPECT_EQ(files->WriteFileAtomic(dir / "new.set", Text("NEW!")), "");
  EXPECT_EQ(testing::ReadText(dir / "new.set"), "NEW!");
}

TEST_F(PosixFileSystemTest, FailedAtomicWriteLeavesThePreviousFileAndNoLeftovers) {
  testing::WriteBytes(dir / "s.set", testing::ToBytes("OLD!"));
  // A write that fails half-way: the file size limit lets only 2 bytes through.
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 2;
  setrlimit(RLIMIT_FSIZE, &small);
  const std::string error = files->WriteFileAtomic(dir / "s.set", Text("NEW!"));
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_NE(error.find("s.set"), std::string::npos) << error;
  EXPECT_EQ(testing::ReadText(dir / "s.set"), "OLD!");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  // A folder that doesn't exist: the error names the path.
  EXPECT_NE(files->WriteFileAtomic(dir / "missing/s.set", Text("x")), "");
  // A folder in place of the file stays as it was.
  fs::create_directory(dir / "d.set");
  testing::WriteBytes(dir / "d.set/inside", {1});
  EXPECT_NE(files->WriteFileAtomic(dir / "d.set", Text("x")), "");
  EXPECT_TRUE(fs::exists(dir / "d.set/inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST_F(PosixFileSystemTest, MapFileOfOrdinaryAndOddFiles) {
  testing::WriteBytes(dir / "f", testing::ToBytes("mapped bytes"));
  auto mapped = files->MapFile(dir / "f");
  ASSERT_TRUE(mapped);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapped->data()), mapped->size()),
            "mapped bytes");

  testing::WriteBytes(dir / "empty", {});
  auto empty = files->MapFile(dir / "empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->size(), 0u);

  fs::create_directory(dir / "d");
  EXPECT_FALSE(files->MapFile(dir / "d"));
  EXPECT_FALSE(files->MapFile(dir / "missing"));
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(files->MapFile(dir / "fifo"));  // returns at once instead of waiting for a writer
}

}  // namespace
}  // namespace slidesaver
