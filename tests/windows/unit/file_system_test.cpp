// The file service on the real Windows file functions.
#include <gtest/gtest.h>

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
  auto mapped = files.MapFile(path);
  if (!mapped) return {};
  return {mapped->data(), mapped->data() + mapped->size()};
}

class WinFileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::FileSystem> files = MakeWinFileSystem();
  TestFolder folder;
};

TEST_F(WinFileSystemTest, FolderCreationIsAtomicAndCountsFilesInTheWay) {
  EXPECT_EQ(files->CreateFolder(folder / "temp1"), CreateFolderResult::Created);
  EXPECT_EQ(files->CreateFolder(folder / "temp1"), CreateFolderResult::AlreadyExists);
  ASSERT_TRUE(files->WriteFile(folder / "temp2", std::vector<uint8_t>{1}));
  EXPECT_EQ(files->CreateFolder(folder / "temp2"), CreateFolderResult::AlreadyExists);
  EXPECT_EQ(files->CreateFolder(folder / "missing\\temp1"), CreateFolderResult::Failed);
  EXPECT_TRUE(files->Exists(folder / "temp1"));
  EXPECT_TRUE(files->Exists(folder / "temp2"));
  EXPECT_FALSE(files->Exists(folder / "temp3"));
}

TEST_F(WinFileSystemTest, FileExistsMeansAnOrdinaryFile) {
  ASSERT_EQ(files->CreateFolder(folder / "sub"), CreateFolderResult::Created);
  ASSERT_TRUE(files->WriteFile(folder / "plain", std::vector<uint8_t>{1, 2}));
  ASSERT_TRUE(files->WriteFile(folder / "hidden", std::vector<uint8_t>{1}));
  SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(files->FileExists(folder / "plain"));
  EXPECT_FALSE(files->FileExists(folder / "sub"));
  EXPECT_FALSE(files->FileExists(folder / "hidden"));
  EXPECT_FALSE(files->FileExists(folder / "none"));
  SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WinFileSystemTest, WriteReplacesTheWholeFileAndMapReadsItBack) {
  ASSERT_TRUE(files->WriteFile(folder / "a", std::vector<uint8_t>(1000, 7)));
  ASSERT_TRUE(files->WriteFile(folder / "a", std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Contents(*files, folder / "a"), (std::vector<uint8_t>{1, 2, 3}));
  // An empty file maps to no bytes, a missing one to nothing at all.
  ASSERT_TRUE(files->WriteFile(folder / "empty", {}));
  auto empty = files->MapFile(folder / "empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->size(), 0u);
  EXPECT_FALSE(files->MapFile(folder / "none"));
  EXPECT_FALSE(files->WriteFile(folder / "missing\\a", std::vector<uint8_t>{1}));
}

TEST_F(WinFileSystemTest, MappedBytesStayValidWhileTheMappingLives) {
  std::vector<uint8_t> bytes(70006);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31);
  ASSERT_TRUE(files->WriteFile(folder / "big", bytes));
  auto mapped = files->MapFile(folder / "big");
  ASSERT_TRUE(mapped);
  ASSERT_EQ(mapped->size(), bytes.size());
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), mapped->data()));
}

TEST_F(WinFileSystemTest, AtomicWriteReplacesOrLeavesThePreviousFile) {
  ASSERT_TRUE(files->WriteFile(folder / "x.set", std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 9}));
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

TEST_F(WinFileSystemTest, DeleteAndRemoveFolder) {
  ASSERT_EQ(files->CreateFolder(folder / "t"), CreateFolderResult::Created);
  ASSERT_TRUE(files->WriteFile(folder / "t\\0", std::vector<uint8_t>{1}));
  EXPECT_FALSE(files->RemoveFolder(folder / "t"));  // not empty
  EXPECT_TRUE(files->DeleteFile(folder / "t\\0"));
  EXPECT_FALSE(files->DeleteFile(folder / "t\\0"));
  EXPECT_TRUE(files->RemoveFolder(folder / "t"));
  EXPECT_FALSE(files->Exists(folder / "t"));
}

}  // namespace
}  // namespace slidesaver::win32
