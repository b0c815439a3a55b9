// What only the POSIX file system does (the contract all file systems share is tested in
// file_system_contract_test.cpp): symlinks, modes, a full disk, FIFOs, locks of processes
// that end however they end.
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

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::FileSystem> files = linux_platform::MakePosixFileSystem();
  testing::TempFolder dir;
};

std::span<const uint8_t> Text(const char* s) {
  return {reinterpret_cast<const uint8_t*>(s), std::strlen(s)};
}

// A dangling symlink is a name that is taken; a folder is the owner's alone.
TEST_F(PosixFileSystemTest, ASymlinkTakesANameAndAFolderIsPrivate) {
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_TRUE(files->CreateFolder(dir / "dangling").taken());
  EXPECT_TRUE(files->Exists(dir / "dangling"));
  EXPECT_FALSE(files->FileExists(dir / "dangling"));
  ASSERT_TRUE(files->CreateFolder(dir / "t").ok());
  EXPECT_EQ(fs::status(dir / "t").permissions() & fs::perms::all, fs::perms::owner_all);
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
  const platform::FileStatus written = files.WriteFileFrom(path, source, offset, size);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  return written.reason();
}

TEST_F(PosixFileSystemTest, AWriteNeverFollowsASymlinkAndSaysWhy) {
  testing::WriteBytes(dir / "victim", testing::ToBytes("keep"));
  fs::create_symlink(dir / "victim", dir / "link");
  EXPECT_EQ(files->WriteFile(dir / "link", Text("evil")).reason(),
            "Too many levels of symbolic links");
  EXPECT_EQ(testing::ReadText(dir / "victim"), "keep");
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(files->WriteFile(dir / "missing/f", Text("x")).reason(), "No such file or directory");
}

TEST_F(PosixFileSystemTest, AFullDiskLeavesNoPartOfAKernelOrAMemoryCopy) {
  std::vector<uint8_t> bytes(3 << 20);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
  testing::WriteBytes(dir / "program", bytes);
  const auto program = files->OpenForReading(dir / "program").value_or(nullptr);
  ASSERT_TRUE(program);
  const uint64_t size = (2 << 20) + 999;
  // The disk fills up half-way, from a file and from memory: the reason, and no file.
  EXPECT_EQ(WriteWithSizeLimit(*files, dir / "full", *program, 0, size, 1 << 20), "File too large");
  EXPECT_FALSE(fs::exists(dir / "full"));
  EXPECT_EQ(WriteWithSizeLimit(*files, dir / "full", media::MemorySource(bytes), 0, size, 1 << 20),
            "File too large");
  EXPECT_FALSE(fs::exists(dir / "full"));
}

TEST_F(PosixFileSystemTest, AtomicWriteReplacesTheWholeFileAndKeepsItsMode) {
  testing::WriteBytes(dir / "s.set", testing::ToBytes("0123456789"));
  chmod((dir / "s.set").c_str(), 0640);
  EXPECT_TRUE(files->WriteFileAtomic(dir / "s.set", Text("ABCD")).ok());
  EXPECT_EQ(testing::ReadText(dir / "s.set"), "ABCD");
  EXPECT_EQ(fs::status(dir / "s.set").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(PosixFileSystemTest, AtomicWriteOverASymlinkTakesTheUmasksModeAndReplacesTheLink) {
  // The .set file is a link to a device: the new file is an ordinary one of the umask's mode,
  // nothing is written through the link, and the device keeps its mode.
  fs::create_symlink("/dev/null", dir / "s.set");
  const mode_t old_mask = umask(027);
  const platform::FileStatus written = files->WriteFileAtomic(dir / "s.set", Text("ABCD"));
  umask(old_mask);
  ASSERT_TRUE(written.ok()) << written.reason();
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
  EXPECT_TRUE(files->WriteFileAtomic(dir / "s.set", Text("ABCD")).ok());
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
  const std::string error = files->WriteFileAtomic(dir / "s.set", Text("NEW!")).reason();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_NE(error.find("s.set"), std::string::npos) << error;
  EXPECT_EQ(testing::ReadText(dir / "s.set"), "OLD!");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(PosixFileSystemTest, AFifoInAFilesPlaceIsNoFileAndNeverWaited) {
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(files->OpenForReading(dir / "fifo").reason(), "not an ordinary file");
}

TEST_F(PosixFileSystemTest, AKilledProcesssLockIsTakenOver) {
  const std::string path = dir / "temp1.lock";
  // Another process takes it and is killed: its lock is free at once, and taken over.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    auto lock = linux_platform::MakePosixFileSystem()->TakeOwnerLock(path);
    const char byte = lock.ok() ? 1 : 0;
    [[maybe_unused]] ssize_t n = write(ready[1], &byte, 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 1);
  EXPECT_TRUE(files->TakeOwnerLock(path).taken());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(fs::exists(path));  // left behind by the killed process
  EXPECT_TRUE(files->TakeOwnerLock(path).ok());
  close(ready[0]);
  close(ready[1]);
}

// Xlib and GDK end the process with exit() when the display goes: no destructor on the stack
// runs, and the show's folder goes all the same. A show already removed leaves the rest alone.
TEST_F(PosixFileSystemTest, AShowsFolderGoesWhenALibraryEndsTheProcessWithExit) {
  const std::string kept = dir / "temp1";
  const std::string gone = dir / "temp2";
  ASSERT_TRUE(files->CreateFolder(kept).ok());
  const auto write_show_and_exit = [&] {
    ExtractedShow removed_first(*files, kept + "/");
    removed_first.Remove();
    ASSERT_TRUE(files->CreateFolder(kept).ok());
    ExtractedShow show(*files, gone + "/", files->TakeOwnerLock(gone + ".lock").value_or({}));
    ASSERT_TRUE(files->CreateFolder(gone).ok());
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
