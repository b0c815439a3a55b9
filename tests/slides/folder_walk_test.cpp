// The walk of a folder tree on real folders, with the test platform's folder watch: links that
// go round or out of the tree, depth, files and watches beyond their limits, the kernel's own
// folders and hidden entries; and folders that come and go while they are watched.
#include "slides/folder_walk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_folder_watch.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "x";
}

// Every file the walk finds, relative to `root` (its links resolved), in the order found.
std::vector<std::string> WalkAll(FolderWalk& walk, const fs::path& root) {
  std::vector<WalkedFile> found;
  while (walk.Step(found)) {
  }
  std::vector<std::string> relative;
  for (const WalkedFile& file : found)
    relative.push_back(fs::path(file.path).lexically_relative(fs::canonical(root)).string());
  return relative;
}

TEST(FolderWalk, LinksFoldersAndLimitsKeepTheWalkBounded) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& root, const fs::path& outside)> make;
    WalkLimits limits;
    std::vector<std::string> files;  // found, in the order of the walk
    std::string note;                // a line said ("" none)
    size_t watches = 0;              // folders watched
    std::string walked = "";         // the folder walked, below root ("" root itself)
  };
  WalkLimits small_files;
  small_files.files = 3;
  WalkLimits shallow;
  shallow.depth = 3;
  WalkLimits watching;
  watching.watch = true;  // the fake's limit of 8 gives 2
  const Case cases[] = {
      {"three links to the folder itself",
       [](const fs::path& root, const fs::path&) {
         Touch(root / "a.jpg");
         Touch(root / "sub" / "b.jpg");
         for (const char* link : {"l1", "l2", "sub/l3"})
           fs::create_directory_symlink(".", root / link);
       },
       {},
       {"a.jpg", "sub/b.jpg"},
       ""},
      {"links out of the tree are not followed",
       [](const fs::path& root, const fs::path& outside) {
         Touch(root / "a.jpg");
         Touch(outside / "elsewhere.jpg");
         fs::create_directory_symlink("/", root / "root");
         fs::create_directory_symlink("..", root / "up");
         fs::create_directory_symlink(outside, root / "out");
       },
       {},
       {"a.jpg"},
       ""},
      {"a link within the tree is walked once, by where it leads",
       [](const fs::path& root, const fs::path&) {
         Touch(root / "real" / "b.jpg");
         fs::create_directory_symlink("real", root / "alias");
         fs::create_directory_symlink("real", root / "zalias");
       },
       {},
       {"real/b.jpg"},
       ""},
      {"the folder itself a link",
       [](const fs::path& root, const fs::path& outside) {
         Touch(outside / "inside" / "c.jpg");
         fs::create_directory_symlink("inside", outside / "again");
         fs::create_directory_symlink(outside, root / "top");
       },
       {},
       {"inside/c.jpg"},
       "",
       0,
       "top"},
      {"hidden entries are left out",
       [](const fs::path& root, const fs::path&) {
         Touch(root / "a.jpg");
         Touch(root / ".b.jpg");
         Touch(root / ".hidden" / "c.jpg");
       },
       {},
       {"a.jpg"},
       ""},
      {"folders deeper than the limit",
       [](const fs::path& root, const fs::path&) {
         fs::path level = root;
         for (int depth = 1; depth <= 6; ++depth) {
           level /= "d";
           Touch(level / ("at-" + std::to_string(depth) + ".jpg"));
         }
       },
       shallow,
       {"d/at-1.jpg", "d/d/at-2.jpg", "d/d/d/at-3.jpg"},
       "folders more than 3 levels down are left out"},
      {"more files than the limit",
       [](const fs::path& root, const fs::path&) {
         for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "sub/5.jpg"})
           Touch(root / name);
       },
       small_files,
       {"1.jpg", "2.jpg", "3.jpg"},
       "more than 3 files; the rest are left out"},
      {"the kernel's own folders are not entered",
       [](const fs::path& root, const fs::path&) {
         Touch(root / "a.jpg");
         Touch(root / "proc" / "b.jpg");
       },
       {},
       {"a.jpg"},
       "proc: the kernel's own files (proc, sys, dev), not searched for pictures"},
      {"a share of the user's watches",
       [](const fs::path& root, const fs::path&) {
         for (const char* name : {"a/1.jpg", "b/2.jpg", "c/3.jpg"}) Touch(root / name);
       },
       watching,
       {"a/1.jpg", "b/2.jpg", "c/3.jpg"},
       "more folders than the 2 it may watch",
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder temp;
    const fs::path root = fs::path(temp.path()) / "photos", outside = fs::path(temp.path()) / "out";
    fs::create_directories(root);
    fs::create_directories(outside);
    c.make(root, outside);
    fake::FakeFileSystem files;
    fake::FakeFolderWatch folders;
    folders.system_folders.insert((root / "proc").string());
    folders.watch_limit = 8;
    const fs::path walked = c.walked.empty() ? root : root / c.walked;
    FolderWalk walk(files, folders, walked.string(), c.limits);
    EXPECT_EQ(walk.Problem(), "");
    EXPECT_THAT(WalkAll(walk, walked), ElementsAreArray(c.files));
    const std::vector<std::string> notes = walk.TakeNotes();
    if (c.note.empty()) {
      EXPECT_THAT(notes, IsEmpty());
    } else {
      ASSERT_EQ(notes.size(), 1u) << ::testing::PrintToString(notes);
      EXPECT_THAT(notes[0], HasSubstr(c.note));
    }
    EXPECT_EQ(folders.Watched().size(), c.watches);
  }
}

TEST(FolderWalk, WhatIsNoFolderThatCanBeReadIsSaid) {
  testing::TempFolder temp;
  Touch(fs::path(temp.path()) / "file.jpg");
  fake::FakeFileSystem files;
  fake::FakeFolderWatch folders;
  for (const auto& [path, problem] : {std::pair{temp / "missing", "cannot read the folder"},
                                      std::pair{temp / "file.jpg", "not a folder"}}) {
    FolderWalk walk(files, folders, path);
    EXPECT_THAT(walk.Problem(), HasSubstr(problem)) << path;
    std::vector<WalkedFile> found;
    EXPECT_FALSE(walk.Step(found));
  }
}

TEST(FolderWalk, FoldersThatComeAreWalkedAndWatchedAndThoseThatGoAreForgotten) {
  testing::TempFolder temp;
  const fs::path root = fs::path(temp.path()) / "photos";
  Touch(root / "a.jpg");
  fake::FakeFileSystem files;
  fake::FakeFolderWatch folders;
  WalkLimits limits;
  limits.watch = true;
  {
    FolderWalk walk(files, folders, root.string(), limits);
    EXPECT_THAT(WalkAll(walk, root), ElementsAreArray({"a.jpg"}));
    ASSERT_THAT(folders.Watched(), ElementsAreArray({root.string()}));

    Touch(root / "new" / "inner" / "b.jpg");
    Touch(root / ".hidden" / "c.jpg");
    const int watch = 1;
    ASSERT_TRUE(walk.IsTop(watch));
    walk.Came({platform::FolderEvent::Kind::kFolderCame, watch, "new"});
    walk.Came({platform::FolderEvent::Kind::kFolderCame, watch, ".hidden"});
    std::vector<WalkedFile> found;
    while (walk.Step(found)) {
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, (root / "new" / "inner" / "b.jpg").string());
    EXPECT_TRUE(found[0].came);
    EXPECT_EQ(folders.Watched().size(), 3u);
    EXPECT_EQ(walk.PathOf({platform::FolderEvent::Kind::kWritten, watch, "x.jpg"}),
              (root / "x.jpg").string());
    EXPECT_EQ(walk.PathOf({platform::FolderEvent::Kind::kWritten, watch, ".x.jpg"}), std::nullopt);
    EXPECT_EQ(walk.PathOf({platform::FolderEvent::Kind::kWritten, 99, "x.jpg"}), std::nullopt);

    // Gone, with what lies below it; made again (perhaps on the same inode), walked again.
    walk.Went((root / "new").string());
    EXPECT_THAT(folders.Watched(), ElementsAreArray({root.string()}));
    walk.Came({platform::FolderEvent::Kind::kFolderCame, watch, "new"});
    found.clear();
    while (walk.Step(found)) {
    }
    EXPECT_EQ(found.size(), 1u);
  }
  // The walk's watches go with it.
  EXPECT_THAT(folders.Watched(), IsEmpty());
}

}  // namespace
}  // namespace slidesaver
