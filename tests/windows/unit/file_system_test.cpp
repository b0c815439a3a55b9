// The file service on the real Windows file functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/windows/unit/test_folder.h"

namespace slidesaver::win32 {
namespace {

using platform::CreateFolderResult;
using testing::TestFolder;

std::vector<uint8_t> Contents(platform::FileSystem& files, const std::string& path) {
  auto file = files.OpenForReading(path);
  if (!file) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(file->Size()));
  file->ReadAt(0, bytes);
  return bytes;
}

class WinFileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::FileSystem> files = MakeWinFileSystem();
  TestFolder folder;
};

TEST_F(WinFileSystemTest, FolderCreationIsAtomicAndCountsFilesInTheWay) {
  EXPECT_EQ(files->CreateFolder(folder / "temp1"), CreateFolderResult::Created);
  EXPECT_EQ(files->CreateFolder(folder / "temp1"), CreateFolderResult::AlreadyExists);
  ASSERT_EQ("", files->WriteFile(folder / "temp2", std::vector<uint8_t>{1}));
  EXPECT_EQ(files->CreateFolder(folder / "temp2"), CreateFolderResult::AlreadyExists);
  EXPECT_EQ(files->CreateFolder(folder / "missing\\temp1"), CreateFolderResult::Failed);
  EXPECT_TRUE(files->Exists(folder / "temp1"));
  EXPECT_TRUE(files->Exists(folder / "temp2"));
  EXPECT_FALSE(files->Exists(folder / "temp3"));
}

TEST_F(WinFileSystemTest, FileExistsMeansAnOrdinaryFile) {
  ASSERT_EQ(files->CreateFolder(folder / "sub"), CreateFolderResult::Created);
  ASSERT_EQ("", files->WriteFile(folder / "plain", std::vector<uint8_t>{1, 2}));
  ASSERT_EQ("", files->WriteFile(folder / "hidden", std::vector<uint8_t>{1}));
  SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(files->FileExists(folder / "plain"));
  EXPECT_FALSE(files->FileExists(folder / "sub"));
  EXPECT_FALSE(files->FileExists(folder / "hidden"));
  EXPECT_FALSE(files->FileExists(folder / "none"));
  SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinFileSystemTest, WriteReplacesTheWholeFileAndReadsItBack) {
  ASSERT_EQ("", files->WriteFile(folder / "a", std::vector<uint8_t>(1000, 7)));
  ASSERT_EQ("", files->WriteFile(folder / "a", std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Contents(*files, folder / "a"), (std::vector<uint8_t>{1, 2, 3}));
  // An empty file reads as no bytes, a missing one is nothing at all.
  ASSERT_EQ("", files->WriteFile(folder / "empty", {}));
  auto empty = files->OpenForReading(folder / "empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Size(), 0u);
  EXPECT_FALSE(files->OpenForReading(folder / "none"));
  EXPECT_NE(files->WriteFile(folder / "missing\\a", std::vector<uint8_t>{1}), "");
}

TEST_F(WinFileSystemTest, CopiesARangeOfAFileAndListsAFolder) {
  std::vector<uint8_t> bytes((2 << 20) + 70006);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
  ASSERT_EQ("", files->WriteFile(folder / "big", bytes));
  auto big = files->OpenForReading(folder / "big");
  ASSERT_TRUE(big);
  ASSERT_EQ(big->Size(), bytes.size());
  std::vector<uint8_t> past(8);
  EXPECT_THROW(big->ReadAt(bytes.size() - 4, past), media::ReadError);
  // More than one copy piece, from an odd offset.
  ASSERT_EQ(files->WriteFileFrom(folder / "copy", *big, 777, (1 << 20) + 5000), "");
  EXPECT_EQ(Contents(*files, folder / "copy"),
            std::vector<uint8_t>(bytes.begin() + 777, bytes.begin() + 777 + (1 << 20) + 5000));
  // A source that ends early leaves no file.
  EXPECT_NE(files->WriteFileFrom(folder / "short", *big, bytes.size() - 10, 20), "");
  EXPECT_FALSE(files->Exists(folder / "short"));
  std::vector<std::string> names = files->FolderEntries(folder.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big", "copy"}));
}

TEST_F(WinFileSystemTest, OwnerLockKeepsOthersOutUntilItGoesWithItsFile) {
  platform::OwnerLockResult mine = files->TakeOwnerLock(folder / "temp1.lock");
  ASSERT_TRUE(mine.lock);
  const platform::OwnerLockResult again = files->TakeOwnerLock(folder / "temp1.lock");
  EXPECT_FALSE(again.lock);
  EXPECT_TRUE(again.held_elsewhere);
  mine.lock.reset();
  EXPECT_FALSE(files->Exists(folder / "temp1.lock"));
  // A lock file left by a process that ended is taken over.
  ASSERT_EQ("", files->WriteFile(folder / "temp2.lock", {}));
  EXPECT_TRUE(files->TakeOwnerLock(folder / "temp2.lock").lock);
}

TEST_F(WinFileSystemTest, AtomicWriteReplacesOrLeavesThePreviousFile) {
  ASSERT_EQ("",
            files->WriteFile(folder / "x.set", std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 9}));
  EXPECT_EQ(files->WriteFileAtomic(folder / "x.set", std::vector<uint8_t>{0, 0, 0xFF, 0xFF}), "");
  EXPECT_EQ(Contents(*files, folder / "x.set"), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
  // Nothing but the file itself is left in the folder.
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder / "*").c_str(), &found);
  int entries = 0;
  do {
    if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") ++entries;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(entries, 1);

  // A folder in the way can't be replaced: a description, the folder stays, no file is left.
  ASSERT_EQ(files->CreateFolder(folder / "y.set"), CreateFolderResult::Created);
  EXPECT_NE(files->WriteFileAtomic(folder / "y.set", std::vector<uint8_t>{1, 1, 1, 1}), "");
  EXPECT_TRUE(files->Exists(folder / "y.set"));
  EXPECT_FALSE(files->FileExists(folder / "y.set"));
  EXPECT_NE(files->WriteFileAtomic(folder / "missing\\x.set", std::vector<uint8_t>{1}), "");
  EXPECT_EQ(Contents(*files, folder / "x.set"), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
}

// A save killed half-way leaves its temporary file; the next save removes it, but not one that
// another process is writing at that moment.
TEST_F(WinFileSystemTest, AtomicWriteRemovesTheTemporariesOfKilledWritersOnly) {
  ASSERT_EQ("", files->WriteFile(folder / "x.set.new4242", std::vector<uint8_t>{1}));
  ASSERT_EQ("", files->WriteFile(folder / "x.set.newer", std::vector<uint8_t>{2}));
  const HANDLE writing = CreateFileA((folder / "x.set.new777").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writing, INVALID_HANDLE_VALUE);
  EXPECT_EQ(files->WriteFileAtomic(folder / "x.set", std::vector<uint8_t>{0, 0, 0, 0}), "");
  CloseHandle(writing);
  EXPECT_FALSE(files->Exists(folder / "x.set.new4242"));
  EXPECT_TRUE(files->Exists(folder / "x.set.new777"));
  EXPECT_TRUE(files->Exists(folder / "x.set.newer"));  // not a temporary file of ours
  EXPECT_EQ(Contents(*files, folder / "x.set"), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST_F(WinFileSystemTest, DeleteAndRemoveFolder) {
  ASSERT_EQ(files->CreateFolder(folder / "t"), CreateFolderResult::Created);
  ASSERT_EQ("", files->WriteFile(folder / "t\\0", std::vector<uint8_t>{1}));
  EXPECT_FALSE(files->RemoveFolder(folder / "t"));  // not empty
  EXPECT_TRUE(files->DeleteFile(folder / "t\\0"));
  EXPECT_FALSE(files->DeleteFile(folder / "t\\0"));
  EXPECT_TRUE(files->RemoveFolder(folder / "t"));
  EXPECT_FALSE(files->Exists(folder / "t"));
}

}  // namespace
}  // namespace slidesaver::win32
