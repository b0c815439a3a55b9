#pragma once
// What every file system does alike, on real files: the POSIX, Win32 and test file systems are
// each held to it. A Setup gives the file system and a fresh folder for one test:
//   struct Setup {
//     static std::unique_ptr<platform::FileSystem> Make();
//     using Folder = ...;  // made empty, removed with its files; `folder / name` is a path in it
//   };
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace slidesaver::testing {

template <class Setup>
class FileSystemContract : public ::testing::Test {
 protected:
  std::unique_ptr<platform::FileSystem> files = Setup::Make();
  typename Setup::Folder folder;

  std::string At(const std::string& name) const { return folder / name; }
  std::string In(const std::string& path, const std::string& name) {
    return path + files->GetPathRules().separator + name;
  }
  std::vector<uint8_t> Contents(const std::string& path) {
    auto file = files->OpenForReading(path);
    if (!file) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(file.value()->Size()));
    file.value()->ReadAt(0, bytes);
    return bytes;
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> names = files->FolderEntries(folder.path()).value_or({});
    std::sort(names.begin(), names.end());
    return names;
  }
  // A failure that is not another's claim, with the system's reason.
  template <class Result>
  static void ExpectFailedWithAReason(const Result& result) {
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.taken());
    EXPECT_NE(result.reason(), "");
  }
};

// A source whose bytes can't be read beyond `readable`.
class SourceFailingAfter : public media::MemorySource {
 public:
  SourceFailingAfter(std::span<const uint8_t> bytes, uint64_t readable)
      : MemorySource(bytes), readable_(readable) {}
  const uint8_t* Memory() const override { return nullptr; }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    if (offset + out.size() > readable_) throw media::ReadError("the disc was taken out");
    MemorySource::ReadAt(offset, out);
  }

 private:
  uint64_t readable_;
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, AFolderIsClaimedOnceAndAFailedClaimSaysWhy) {
  auto& files = *this->files;
  EXPECT_TRUE(files.CreateFolder(this->At("t")).ok());
  EXPECT_TRUE(files.CreateFolder(this->At("t")).taken());
  ASSERT_TRUE(files.WriteFile(this->At("f"), std::vector<uint8_t>{1}).ok());
  EXPECT_TRUE(files.CreateFolder(this->At("f")).taken());  // a file in the way
  this->ExpectFailedWithAReason(files.CreateFolder(this->In(this->At("missing"), "t")));
  EXPECT_TRUE(files.Exists(this->At("t")) && files.Exists(this->At("f")));
  EXPECT_FALSE(files.Exists(this->At("none")));
  EXPECT_TRUE(files.FileExists(this->At("f")));
  EXPECT_FALSE(files.FileExists(this->At("t")) || files.FileExists(this->At("none")));
}

TYPED_TEST_P(FileSystemContract, AWriteReplacesTheWholeFileAndReadsBack) {
  auto& files = *this->files;
  ASSERT_TRUE(files.WriteFile(this->At("a"), std::vector<uint8_t>(1000, 7)).ok());
  ASSERT_TRUE(files.WriteFile(this->At("a"), std::vector<uint8_t>{1, 2, 3}).ok());
  EXPECT_EQ(this->Contents(this->At("a")), (std::vector<uint8_t>{1, 2, 3}));
  ASSERT_TRUE(files.WriteFile(this->At("empty"), {}).ok());
  const auto empty = files.OpenForReading(this->At("empty"));
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty.value()->Size(), 0u);

  // More than one copy piece, from an odd offset of a file.
  std::vector<uint8_t> bytes((2 << 20) + 70006);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31 + (i >> 12));
  ASSERT_TRUE(files.WriteFile(this->At("big"), bytes).ok());
  const auto big = files.OpenForReading(this->At("big"));
  ASSERT_TRUE(big.ok());
  ASSERT_EQ(big.value()->Size(), bytes.size());
  std::vector<uint8_t> past(8);
  EXPECT_THROW(big.value()->ReadAt(bytes.size() - 4, past), media::ReadError);
  const uint64_t offset = 777, size = (1 << 20) + 5000;
  ASSERT_TRUE(files.WriteFileFrom(this->At("copy"), *big.value(), offset, size).ok());
  EXPECT_EQ(this->Contents(this->At("copy")),
            std::vector<uint8_t>(bytes.begin() + offset, bytes.begin() + offset + size));
  EXPECT_EQ(this->Entries(), (std::vector<std::string>{"a", "big", "copy", "empty"}));
}

TYPED_TEST_P(FileSystemContract, AFailedWriteSaysWhyAndLeavesNoFile) {
  auto& files = *this->files;
  this->ExpectFailedWithAReason(
      files.WriteFile(this->In(this->At("missing"), "a"), std::vector<uint8_t>{1}));
  std::vector<uint8_t> bytes(100000, 5);
  ASSERT_TRUE(files.WriteFile(this->At("source"), bytes).ok());
  const auto source = files.OpenForReading(this->At("source"));
  ASSERT_TRUE(source.ok());
  // A source that ends early, and one that fails half-way with its own reason.
  this->ExpectFailedWithAReason(
      files.WriteFileFrom(this->At("short"), *source.value(), bytes.size() - 10, 20));
  const platform::FileStatus failed =
      files.WriteFileFrom(this->At("broken"), SourceFailingAfter(bytes, 50000), 0, bytes.size());
  EXPECT_FALSE(failed.ok());
  EXPECT_NE(failed.reason().find("the disc was taken out"), std::string::npos) << failed.reason();
  EXPECT_EQ(this->Entries(), std::vector<std::string>{"source"});
}

TYPED_TEST_P(FileSystemContract, AnAtomicWriteReplacesOrLeavesThePreviousFile) {
  auto& files = *this->files;
  ASSERT_TRUE(
      files.WriteFile(this->At("x.set"), std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 9}).ok());
  ASSERT_TRUE(
      files.WriteFileAtomic(this->At("x.set"), std::vector<uint8_t>{0, 0, 0xFF, 0xFF}).ok());
  EXPECT_EQ(this->Contents(this->At("x.set")), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
  EXPECT_EQ(this->Entries(), std::vector<std::string>{"x.set"});  // no temporary file left

  // A folder in the way stays as it was; a missing folder gets nothing.
  ASSERT_TRUE(files.CreateFolder(this->At("y.set")).ok());
  ASSERT_TRUE(files.WriteFile(this->In(this->At("y.set"), "inside"), std::vector<uint8_t>{1}).ok());
  this->ExpectFailedWithAReason(
      files.WriteFileAtomic(this->At("y.set"), std::vector<uint8_t>{1, 1, 1, 1}));
  EXPECT_TRUE(files.FileExists(this->In(this->At("y.set"), "inside")));
  this->ExpectFailedWithAReason(
      files.WriteFileAtomic(this->In(this->At("missing"), "x.set"), std::vector<uint8_t>{1}));
  EXPECT_EQ(this->Entries(), (std::vector<std::string>{"x.set", "y.set"}));
}

TYPED_TEST_P(FileSystemContract, ReadingListingAndRemovingSayWhyTheyFail) {
  auto& files = *this->files;
  ASSERT_TRUE(files.CreateFolder(this->At("d")).ok());
  const std::string inside = this->In(this->At("d"), "f");
  ASSERT_TRUE(files.WriteFile(inside, std::vector<uint8_t>{1}).ok());
  this->ExpectFailedWithAReason(files.OpenForReading(this->At("none")));
  this->ExpectFailedWithAReason(files.OpenForReading(this->At("d")));
  EXPECT_EQ(files.FolderEntries(this->At("d")).value_or({}), std::vector<std::string>{"f"});
  this->ExpectFailedWithAReason(files.FolderEntries(this->At("none")));
  this->ExpectFailedWithAReason(files.RemoveFolder(this->At("d")));  // not empty
  this->ExpectFailedWithAReason(files.DeleteFile(this->At("d")));
  EXPECT_TRUE(files.DeleteFile(inside).ok());
  this->ExpectFailedWithAReason(files.DeleteFile(inside));
  EXPECT_TRUE(files.RemoveFolder(this->At("d")).ok());
  this->ExpectFailedWithAReason(files.RemoveFolder(this->At("d")));
  EXPECT_TRUE(this->Entries().empty());
}

TYPED_TEST_P(FileSystemContract, AnOwnerLockKeepsOthersOutUntilItGoesWithItsFile) {
  auto& files = *this->files;
  auto mine = files.TakeOwnerLock(this->At("temp1.lock"));
  ASSERT_TRUE(mine.ok());
  EXPECT_TRUE(files.TakeOwnerLock(this->At("temp1.lock")).taken());
  mine.value().reset();
  EXPECT_FALSE(files.Exists(this->At("temp1.lock")));
  // A lock file left by a process that ended is taken over.
  ASSERT_TRUE(files.WriteFile(this->At("temp2.lock"), {}).ok());
  EXPECT_TRUE(files.TakeOwnerLock(this->At("temp2.lock")).ok());
  this->ExpectFailedWithAReason(files.TakeOwnerLock(this->In(this->At("missing"), "temp3.lock")));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, AFolderIsClaimedOnceAndAFailedClaimSaysWhy,
                            AWriteReplacesTheWholeFileAndReadsBack,
                            AFailedWriteSaysWhyAndLeavesNoFile,
                            AnAtomicWriteReplacesOrLeavesThePreviousFile,
                            ReadingListingAndRemovingSayWhyTheyFail,
                            AnOwnerLockKeepsOthersOutUntilItGoesWithItsFile);

}  // namespace slidesaver::testing
