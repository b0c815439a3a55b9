// The POSIX file system on real files: folder creation as an atomic claim, writes that never
// follow a symlink and leave nothing when they fail, copies between files, the atomic replace,
// files opened for reading, and owner locks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "package/extracted_show.h"
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

// A write under a file size limit of `limit` bytes, as a full disk would stop it.
std::string WriteWithSizeLimit(platform::FileSystem& files, const std::string& path,
                               const media::ByteSource& source, uint64_t offset, uint64_t size,
                               rlim_t limit) {
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = limit;
  setrlimit(RLIMIT_FSIZE, &small);
  const std::string problem = files.WriteFileFrom(path, source, offset, size);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  return problem;
}

TEST_F(PosixFileSystemTest, WriteFileTruncatesAndNeverFollowsASymlink) {
  testing::WriteBytes(dir / "f", testing::ToBytes("a much longer old content"));
  EXPECT_EQ(files->WriteFile(dir / "f", Text("new")), "");
  EXPECT_EQ(testing::ReadText(dir / "f"), "new");

  testing::WriteBytes(dir / "victim", testing::ToBytes("keep"));
  fs::create_symlink(dir / "victim", dir / "link");
  EXPECT_EQ(files->WriteFile(dir / "link", Text("evil")), "Too many levels of symbolic links");
  EXPECT_EQ(testing::ReadText(dir / "victim"), "keep");
  EXPECT_TRUE(fs::is_symlink(dir / "link"));

  EXPECT_EQ(files->WriteFile(dir / "missing/f", Text("x")), "No such file or directory");
  EXPECT_EQ(files->WriteFile(dir / "empty", {}), "");
  EXPECT_TRUE(fs::exists(dir / "empty"));
}

TEST_F(PosixFileSystemTest, CopiesARangeOfAFileAndLeavesNoPartOfAFailedOne) {
  std::vector<uint8_t> bytes(3 << 20);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
  testing::WriteBytes(dir / "program", bytes);
  const auto program = files->OpenForReading(dir / "program");
  ASSERT_TRUE(program);
  // More than one copy piece, from an odd offset: the kernel's copy between the two files.
  const uint64_t offset = 12345, size = (2 << 20) + 999;
  ASSERT_EQ(files->WriteFileFrom(dir / "copy", *program, offset, size), "");
  EXPECT_EQ(testing::ReadBytes(dir / "copy"),
            std::vector<uint8_t>(bytes.begin() + offset, bytes.begin() + offset + size));

  // The disk fills up half-way, from a file and from memory: the reason, and no file.
  EXPECT_EQ(WriteWithSizeLimit(*files, dir / "full", *program, 0, size, 1 << 20), "File too large");
  EXPECT_FALSE(fs::exists(dir / "full"));
  EXPECT_EQ(WriteWithSizeLimit(*files, dir / "full", media::MemorySource(bytes), 0, size, 1 << 20),
            "File too large");
  EXPECT_FALSE(fs::exists(dir / "full"));
  // A source that ends early is no copy either.
  EXPECT_NE(files->WriteFileFrom(dir / "short", *program, bytes.size() - 10, 20), "");
  EXPECT_FALSE(fs::exists(dir / "short"));
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

TEST_F(PosixFileSystemTest, AtomicWriteOverASymlinkTakesTheUmasksModeAndReplacesTheLink) {
  // The .set file is a link to a device: the new file is an ordinary one of the umask's mode,
  // nothing is written through the link, and the device keeps its mode.
  fs::create_symlink("/dev/null", dir / "s.set");
  const mode_t old_mask = umask(027);
  const std::string problem = files->WriteFileAtomic(dir / "s.set", Text("ABCD"));
  umask(old_mask);
  ASSERT_EQ(problem, "");
  EXPECT_FALSE(fs::is_symlink(dir / "s.set"));
  EXPECT_EQ(testing::ReadText(dir / "s.set"), "ABCD");
  EXPECT_EQ(fs::status(dir / "s.set").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(fs::status("/dev/null").permissions() & fs::perms::all, fs::perms(0666));
}

TEST_F(PosixFileSystemTest, AtomicWriteRemovesTheTemporariesOfKilledWritersOnly) {
  // Two temporary files of earlier writes of s.set: one abandoned, one still locked by its
  // writer (another process, here another open file description).
  testing::WriteBytes(dir / "s.set.saving-AAAAAA", {1});
  testing::WriteBytes(dir / "s.set.saving-BBBBBB", {2});
  testing::WriteBytes(dir / "other.saving-CCCCCC", {3});
  const int writer = open((dir / "s.set.saving-BBBBBB").c_str(), O_RDONLY);
  ASSERT_EQ(flock(writer, LOCK_EX), 0);
  EXPECT_EQ(files->WriteFileAtomic(dir / "s.set", Text("ABCD")), "");
  close(writer);
  EXPECT_FALSE(fs::exists(dir / "s.set.saving-AAAAAA"));
  EXPECT_TRUE(fs::exists(dir / "s.set.saving-BBBBBB"));
  EXPECT_TRUE(fs::exists(dir / "other.saving-CCCCCC"));  // not this file's
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
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

TEST_F(PosixFileSystemTest, OpenForReadingOfOrdinaryAndOddFiles) {
  testing::WriteBytes(dir / "f", testing::ToBytes("read bytes"));
  auto file = files->OpenForReading(dir / "f");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Size(), 10u);
  std::string middle(5, ' ');
  file->ReadAt(2, {reinterpret_cast<uint8_t*>(middle.data()), middle.size()});
  EXPECT_EQ(middle, "ad by");
  std::vector<uint8_t> past(4);
  EXPECT_THROW(file->ReadAt(8, past), media::ReadError);

  testing::WriteBytes(dir / "empty", {});
  auto empty = files->OpenForReading(dir / "empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Size(), 0u);

  fs::create_directory(dir / "d");
  EXPECT_FALSE(files->OpenForReading(dir / "d"));
  EXPECT_FALSE(files->OpenForReading(dir / "missing"));
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(files->OpenForReading(dir / "fifo"));  // returns at once instead of waiting
}

TEST_F(PosixFileSystemTest, OwnerLockIsHeldUntilItGoesOrItsProcessEnds) {
  const std::string path = dir / "temp1.lock";
  platform::OwnerLockResult mine = files->TakeOwnerLock(path);
  ASSERT_TRUE(mine.lock);
  EXPECT_TRUE(files->TakeOwnerLock(path).held_elsewhere);
  mine.lock.reset();
  EXPECT_FALSE(fs::exists(path));  // the file goes with the lock

  // Another process takes it and is killed: its lock is free at once, and taken over.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    auto lock = linux_platform::MakePosixFileSystem()->TakeOwnerLock(path);
    const char byte = lock.lock ? 1 : 0;
    [[maybe_unused]] ssize_t n = write(ready[1], &byte, 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 1);
  EXPECT_TRUE(files->TakeOwnerLock(path).held_elsewhere);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(fs::exists(path));  // left behind by the killed process
  EXPECT_TRUE(files->TakeOwnerLock(path).lock);
  close(ready[0]);
  close(ready[1]);

  EXPECT_FALSE(files->TakeOwnerLock(dir / "missing/temp1.lock").held_elsewhere);
}

// Xlib and GDK end the process with exit() when the display goes: no destructor on the stack
// runs, and the show's folder goes all the same. A show already removed leaves the rest alone.
TEST_F(PosixFileSystemTest, AShowsFolderGoesWhenALibraryEndsTheProcessWithExit) {
  const std::string kept = dir / "temp1";
  const std::string gone = dir / "temp2";
  ASSERT_EQ(files->CreateFolder(kept), CreateFolderResult::Created);
  const auto write_show_and_exit = [&] {
    ExtractedShow removed_first(*files, kept + "/");
    removed_first.Remove();
    ASSERT_EQ(files->CreateFolder(kept), CreateFolderResult::Created);
    ExtractedShow show(*files, gone + "/", files->TakeOwnerLock(gone + ".lock").lock);
    ASSERT_EQ(files->CreateFolder(gone), CreateFolderResult::Created);
    show.Write("picture.jpg", testing::BytesOf("jpeg"));
    ExtractedShow moved = std::move(show);
    std::exit(3);
  };
  EXPECT_EXIT(write_show_and_exit(), ::testing::ExitedWithCode(3), "");
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_FALSE(fs::exists(gone + ".lock"));
  EXPECT_TRUE(fs::exists(kept));
}

}  // namespace
}  // namespace slidesaver
