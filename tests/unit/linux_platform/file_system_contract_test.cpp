// The POSIX file system and the test platform's file system, held to the same contract.
#include "tests/contract/file_system_contract.h"

#include "platform/fake/fake_file_system.h"
#include "platform/linux/linux_platform.h"
#include "tests/unit/test_support.h"

namespace slidesaver::testing {
namespace {

struct PosixFiles {
  static std::unique_ptr<platform::FileSystem> Make() {
    return linux_platform::MakePosixFileSystem();
  }
  using Folder = TempFolder;
};

struct FakeFiles {
  static std::unique_ptr<platform::FileSystem> Make() {
    return std::make_unique<fake::FakeFileSystem>();
  }
  using Folder = TempFolder;
};

using FileSystems = ::testing::Types<PosixFiles, FakeFiles>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, FileSystemContract, FileSystems);

}  // namespace
}  // namespace slidesaver::testing
