// What only the Win32 file system does (the contract all file systems share is tested in
// file_system_contract_test.cpp): hidden files, and the temporaries of killed writers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "tests/windows/unit/test_folder.h"

namespace slidesaver::win32 {
namespace {

using testing::TestFolder;

class WinFileSystemTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::FileSystem> files = MakeWinFileSystem();
  TestFolder folder;
};

TEST_F(WinFileSystemTest, FileExistsMeansAnOrdinaryFileNotAHiddenOne) {
  ASSERT_TRUE(files->WriteFile(folder / "hidden", std::vector<uint8_t>{1}).ok());
  SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(files->FileExists(folder / "hidden"));
  EXPECT_TRUE(files->Exists(folder / "hidden"));
  SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A save killed half-way leaves its temporary file; the next save removes it, but not one that
// another process is writing at that moment.
TEST_F(WinFileSystemTest, AtomicWriteRemovesTheTemporariesOfKilledWritersOnly) {
  ASSERT_TRUE(files->WriteFile(folder / "x.set.new4242", std::vector<uint8_t>{1}).ok());
  ASSERT_TRUE(files->WriteFile(folder / "x.set.newer", std::vector<uint8_t>{2}).ok());
  const HANDLE writing = CreateFileA((folder / "x.set.new777").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writing, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(files->WriteFileAtomic(folder / "x.set", std::vector<uint8_t>{0, 0, 0, 0}).ok());
  CloseHandle(writing);
  EXPECT_FALSE(files->Exists(folder / "x.set.new4242"));
  EXPECT_TRUE(files->Exists(folder / "x.set.new777"));
  EXPECT_TRUE(files->Exists(folder / "x.set.newer"));  // not a temporary file of ours
}

}  // namespace
}  // namespace slidesaver::win32
