// The Win32 file system held to the contract every file system keeps.
#include "tests/contract/file_system_contract.h"

#include "platform/win32/win32_platform.h"
#include "tests/windows/unit/test_folder.h"

namespace slidesaver::testing {
namespace {

struct WinFiles {
  static std::unique_ptr<platform::FileSystem> Make() { return win32::MakeWinFileSystem(); }
  using Folder = win32::testing::TestFolder;
};

using FileSystems = ::testing::Types<WinFiles>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, FileSystems);

}  // namespace
}  // namespace slidesaver::testing
