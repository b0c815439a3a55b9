// A picture's file as the slides read it on the Linux file system: only the picture's own bytes,
// whatever follows them; a file that changes or ends early while it is read; a FIFO; and the
// first bytes that tell what a file is, read no further than its headers need.
#include "slides/picture_file.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "photos/vips_preparer.h"
#include "platform/linux/linux_platform.h"
#include "tests/jpeg_test_files.h"
#include "tests/slidepack/test_pictures.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(PictureFile, OnlyThePicturesOwnBytesAreRead) {
  const std::vector<uint8_t> jpeg =
      slidepack_test::JpegBytes(slidepack_test::MarkedPicture(320, 240));
  std::vector<uint8_t> cut = jpeg;
  cut.resize(jpeg.size() / 2);
  const std::vector<uint8_t> unknown = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    uint64_t padding;  // a hole after the bytes, never read
    size_t read;       // bytes read; 0: none, for `problem`
    const char* problem;
  };
  const Case cases[] = {
      {"a JPEG", jpeg, 0, jpeg.size(), ""},
      {"a JPEG and 900 MiB after its end marker", jpeg, uint64_t{900} << 20, jpeg.size(), ""},
      {"a JPEG cut short", cut, 0, 0, "cut short"},
      {"a format the players don't know: the whole file", unknown, 100, unknown.size() + 100, ""},
      {"larger than any picture", unknown, uint64_t{1} << 31, 0, "larger than the largest"},
  };
  testing::TempFolder temp;
  const auto files = linux_platform::MakePosixFileSystem();
  const auto folders = linux_platform::MakeFolderWatch();
  const std::atomic<bool> go_on{false};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = temp / "picture";
    WriteFile(path, c.bytes);
    fs::resize_file(path, c.bytes.size() + c.padding);  // sparse: costs no disk
    const PictureBytes read = ReadPictureBytes(*files, *folders, path.string(), go_on);
    EXPECT_THAT(read.problem, HasSubstr(c.problem));
    EXPECT_EQ(read.bytes.size(), c.read);
    if (c.read > 0) {
      EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), read.bytes.begin()));
    }
  }
  // A FIFO is no file: the open never waits for a writer.
  ASSERT_EQ(mkfifo((temp / "fifo").c_str(), 0600), 0);
  EXPECT_THAT(ReadPictureBytes(*files, *folders, temp / "fifo", go_on).problem,
              HasSubstr("not an ordinary file"));
}

TEST(PictureFile, TheExaminationReadsOnOnlyWhileTheHeadersGoOn) {
  // A JPEG whose metadata before its frame header is larger than the first bytes read.
  std::vector<uint8_t> jpeg = slidepack_test::JpegBytes(slidepack_test::MarkedPicture(64, 48));
  std::vector<uint8_t> comments;
  for (int i = 0; i < 8; ++i) {
    comments.insert(comments.end(), {0xFF, 0xFE, 0xFF, 0xFF});
    comments.resize(comments.size() + 0xFFFD, 'c');
  }
  jpeg.insert(jpeg.begin() + 2, comments.begin(), comments.end());
  testing::TempFolder temp;
  WriteFile(temp / "long-header.jpg", jpeg);
  WriteFile(temp / "text.txt", {'h', 'i'});
  // Every kind of picture a camera, a phone or an editor leaves: a TIFF's directory, for one,
  // comes after its 360 KB of pixels.
  for (const auto& picture : slidepack_test::AllTestPictures(400, 300, false))
    WriteFile(temp / picture.file, picture.bytes);
  const auto files = linux_platform::MakePosixFileSystem();
  photos::VipsPreparer preparer;
  // Each is then read and prepared whole (libtiff, for one, takes a short read for an error).
  const auto folders = linux_platform::MakeFolderWatch();
  const std::atomic<bool> go_on{false};
  for (const auto& picture : slidepack_test::AllTestPictures(400, 300, false)) {
    const auto examined = ExaminePictureFile(*files, preparer, temp / picture.file);
    ASSERT_TRUE(examined) << picture.file;
    EXPECT_TRUE(examined->picture) << picture.file;
    EXPECT_EQ(examined->problem, "") << picture.file;
    const PictureBytes read = ReadPictureBytes(*files, *folders, temp / picture.file, go_on);
    ASSERT_EQ(read.problem, "") << picture.file;
    EXPECT_EQ(preparer.Prepare(read.bytes, {200, 150, AreaFit::kContain, 0}, go_on).picture.Width(),
              200)
        << picture.file;
  }
  const auto picture = ExaminePictureFile(*files, preparer, temp / "long-header.jpg");
  ASSERT_TRUE(picture);
  EXPECT_TRUE(picture->picture);
  EXPECT_EQ(picture->problem, "");
  const auto text = ExaminePictureFile(*files, preparer, temp / "text.txt");
  ASSERT_TRUE(text);
  EXPECT_FALSE(text->picture);
  EXPECT_FALSE(ExaminePictureFile(*files, preparer, temp / "missing.jpg"));
}

}  // namespace
}  // namespace slidesaver
