// The Linux folder watch on real folders: what each change in a watched folder is told as, the
// watched folder itself going, a wake from another thread; and what the walk learns of entries.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/linux/linux_platform.h"
#include "tests/unit/test_support.h"

namespace slidesaver::testing {
namespace {

namespace fs = std::filesystem;
using Kind = platform::FolderEvent::Kind;

// The events that come within a generous deadline, until `expected` has come.
std::vector<std::string> EventsUntil(platform::FolderWatch& watch,
                                     const platform::FolderEvent& expected) {
  std::vector<std::string> events;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < end) {
    for (const platform::FolderEvent& event : watch.Wait(1000)) {
      events.push_back(std::to_string(static_cast<int>(event.kind)) + " " +
                       std::to_string(event.watch) + " " + event.name);
      if (event == expected) return events;
    }
  }
  events.push_back("(no more)");
  return events;
}

TEST(InotifyFolderWatch, EachChangeIsToldAsWhatItMeans) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& folder)> change;
    platform::FolderEvent expected;  // its watch: 0 the folder, 1 its subfolder
  };
  const Case cases[] = {
      {"a file written and closed",
       [](const fs::path& f) { std::ofstream(f / "new.jpg") << "x"; },
       {Kind::kWritten, 0, "new.jpg"}},
      {"a file moved in",
       [](const fs::path& f) { fs::rename(f / "../outside.jpg", f / "in.jpg"); },
       {Kind::kWritten, 0, "in.jpg"}},
      {"a file deleted",
       [](const fs::path& f) { fs::remove(f / "old.jpg"); },
       {Kind::kRemoved, 0, "old.jpg"}},
      {"a file moved out",
       [](const fs::path& f) { fs::rename(f / "old.jpg", f / "../old.jpg"); },
       {Kind::kRemoved, 0, "old.jpg"}},
      {"a folder made",
       [](const fs::path& f) { fs::create_directory(f / "made"); },
       {Kind::kFolderCame, 0, "made"}},
      {"a folder moved out",
       [](const fs::path& f) { fs::rename(f / "sub", f / "../sub"); },
       {Kind::kFolderWent, 0, "sub"}},
      {"a file in the subfolder",
       [](const fs::path& f) { std::ofstream(f / "sub" / "s.jpg") << "x"; },
       {Kind::kWritten, 1, "s.jpg"}},
      {"the folder's permissions",
       [](const fs::path& f) { fs::permissions(f, fs::perms::owner_all); },
       {Kind::kChanged, 0, ""}},
      {"the folder moved away",
       [](const fs::path& f) { fs::rename(f, f.string() + "-away"); },
       {Kind::kGone, 0, ""}},
      {"the folder deleted", [](const fs::path& f) { fs::remove_all(f); }, {Kind::kGone, 0, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    const fs::path folder = fs::path(temp.path()) / "photos";
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "old.jpg") << "x";
    std::ofstream(folder / "../outside.jpg") << "x";
    const auto watch = linux_platform::MakeFolderWatch();
    const platform::FileResult<int> top = watch->Watch(folder.string());
    const platform::FileResult<int> sub = watch->Watch((folder / "sub").string());
    ASSERT_TRUE(top && sub) << top.reason();
    EXPECT_TRUE(watch->Wait(0).empty());
    c.change(folder);
    platform::FolderEvent expected = c.expected;
    expected.watch = expected.watch == 0 ? *top : *sub;
    EXPECT_EQ(EventsUntil(*watch, expected).back(),
              std::to_string(static_cast<int>(expected.kind)) + " " +
                  std::to_string(expected.watch) + " " + expected.name);
  }
}

TEST(InotifyFolderWatch, AWakeFromAnotherThreadEndsTheWait) {
  const auto watch = linux_platform::MakeFolderWatch();
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    watch->Wake();
  });
  EXPECT_TRUE(watch->Wait(-1).empty());  // returns, with nothing
  waker.join();
  EXPECT_GT(watch->WatchLimit(), 0u);
}

TEST(InotifyFolderWatch, EntriesAreLearnedThroughLinksAndTheKernelsFoldersAreMarked) {
  TempFolder temp;
  const fs::path folder = temp.path();
  fs::create_directory(folder / "real");
  std::ofstream(folder / "real" / "a.jpg") << "abc";
  fs::create_directory_symlink("real", folder / "link");
  fs::create_symlink("nowhere", folder / "dangling");
  const auto watch = linux_platform::MakeFolderWatch();
  const auto real = watch->Facts((folder / "real").string());
  const auto link = watch->Facts((folder / "link").string());
  const auto file = watch->Facts((folder / "real" / "a.jpg").string());
  ASSERT_TRUE(real && link && file);
  EXPECT_EQ(real->kind, platform::EntryFacts::Kind::kFolder);
  EXPECT_FALSE(real->link);
  EXPECT_TRUE(link->link);
  EXPECT_EQ(std::pair(link->device, link->inode), std::pair(real->device, real->inode));
  EXPECT_EQ(file->kind, platform::EntryFacts::Kind::kFile);
  EXPECT_EQ(file->size, 3u);
  EXPECT_FALSE(real->system_files);
  EXPECT_FALSE(watch->Facts((folder / "dangling").string()));
  EXPECT_EQ(*watch->ResolvedPath((folder / "link" / "..").string()),
            fs::canonical(folder).string());
  for (const char* kernels : {"/proc", "/sys"}) {
    const auto facts = watch->Facts(kernels);
    ASSERT_TRUE(facts) << kernels;
    EXPECT_TRUE(facts->system_files) << kernels;
  }
}

}  // namespace
}  // namespace slidesaver::testing
