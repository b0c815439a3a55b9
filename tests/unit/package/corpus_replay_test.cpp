// Every input the fuzzer keeps in its corpus goes through the reader in every build.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/read_package_check.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

TEST(PackageCorpus, EveryCorpusFileReadsSafely) {
  const std::filesystem::path corpus = std::filesystem::path(SLIDESAVER_SOURCE_DIR) / "fuzz/corpus";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().string());
    const std::vector<uint8_t> bytes = testing::ReadBytes(entry.path().string());
    CheckReadPackage(bytes);
    ++files;
  }
  EXPECT_GE(files, 5);
}

}  // namespace
}  // namespace slidesaver
