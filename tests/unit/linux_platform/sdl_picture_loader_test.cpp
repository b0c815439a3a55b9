// The Linux picture loader on real pictures of every format it reads (made by ImageMagick):
// whole ones decode to their size and colour, cut ones are refused whatever the decoder would
// make of them, and bombs are refused without the memory their header asks for.
#include "platform/linux/sdl/sdl_picture_loader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "platform/linux/decoded_picture_cache.h"
#include "tests/jpeg_test_files.h"
#include "tests/unit/test_support.h"

namespace slidesaver::linux_platform {
namespace {

struct Made {
  std::string extension;
  std::vector<uint8_t> bytes;
};

// Red pictures of 96 x 64 in each format.
std::vector<Made> RedPictures(const testing::TempFolder& folder) {
  std::vector<Made> made;
  for (const char* extension : {"jpg", "png", "gif", "bmp", "tif", "webp"}) {
    const std::string path = folder / (std::string("red.") + extension);
    const std::string command = "convert -size 96x64 xc:'#ff0000' -type TrueColor '" + path + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
    made.push_back({extension, testing::ReadBytes(path)});
  }
  return made;
}

// The description of the error that decoding `bytes` throws; empty when it decodes.
std::string DecodeError(std::span<const uint8_t> bytes) {
  try {
    DecodeSdlPicture(bytes, "p");
  } catch (const RunTimeError& error) {
    return error.Description();
  }
  return "";
}

TEST(SdlPictureLoader, WholePicturesDecodeAndCutOnesAreInvalid) {
  testing::TempFolder folder;
  for (const Made& picture : RedPictures(folder)) {
    SCOPED_TRACE(picture.extension);
    const gdi::Bitmap whole = DecodeSdlPicture(picture.bytes, "p");
    ASSERT_EQ(whole.Width(), 96);
    ASSERT_EQ(whole.Height(), 64);
    EXPECT_EQ(whole.Pixel(95, 63) & 0xF0F0F0, 0xF00000u) << std::hex << whole.Pixel(95, 63);
    // Cut at a third and at two thirds: the lower part would be grey, or missing.
    for (const size_t length : {picture.bytes.size() / 3, picture.bytes.size() * 2 / 3}) {
      const std::string error = DecodeError(std::span(picture.bytes).first(length));
      EXPECT_EQ(error.rfind("Invalid picture: p (", 0), 0u) << length << ": " << error;
    }
  }
}

// The picture fuzzer's seeds: every kind of picture the loader reads (progressive JPEG,
// interlaced PNG, palette BMP, lossy and lossless WebP among them) passes the check and decodes.
TEST(SdlPictureLoader, EveryFuzzSeedDecodes) {
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(SLIDESAVER_SOURCE_DIR) / "fuzz/picture-corpus")) {
    SCOPED_TRACE(entry.path().string());
    const gdi::Bitmap picture =
        DecodeSdlPicture(testing::ReadBytes(entry.path().string()), entry.path().string());
    EXPECT_EQ(picture.Width(), 8);
    EXPECT_EQ(picture.Height(), 6);
    ++seeds;
  }
  EXPECT_GE(seeds, 10);
}

// A 159-byte JPEG declaring 30000 x 30000, a PNG declaring the same in RGBA, a GIF of
// 65535 x 65535: each is refused in a child process whose peak memory stays small.
TEST(SdlPictureLoader, BombsAreRefusedBeforeTheirMemoryIsTaken) {
  testing::TempFolder folder;
  for (Made bomb : RedPictures(folder)) {
    std::vector<uint8_t>& b = bomb.bytes;
    if (bomb.extension == "jpg") {
      for (size_t at = 2; at + 9 < b.size(); ++at) {
        if (b[at] == 0xFF && b[at + 1] == 0xC0) {  // the frame header's height and width
          b[at + 5] = b[at + 7] = 0x75;
          b[at + 6] = b[at + 8] = 0x30;
          break;
        }
      }
    } else if (bomb.extension == "png") {
      b[18] = b[22] = 0x75;  // IHDR's width and height, big-endian
      b[19] = b[23] = 0x30;
    } else if (bomb.extension == "gif") {
      b[6] = b[7] = b[8] = b[9] = 0xFF;  // the logical screen
    } else {
      continue;
    }
    SCOPED_TRACE(bomb.extension);
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    const pid_t child = fork();
    if (child == 0) {
      const std::string error = DecodeError(bomb.bytes);
      [[maybe_unused]] ssize_t n = write(pipe_ends[1], error.data(), error.size());
      _exit(0);
    }
    close(pipe_ends[1]);
    std::string error(4096, '\0');
    const ssize_t n = read(pipe_ends[0], error.data(), error.size());
    close(pipe_ends[0]);
    error.resize(n > 0 ? static_cast<size_t>(n) : 0);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child crashed";
    EXPECT_NE(error.find("pixels, more than the 67,108,864 the player decodes"), std::string::npos)
        << error;
    EXPECT_LT(usage.ru_maxrss, 256 * 1024) << "KiB at the peak";
  }
}

// What the JPEG decoder refuses although the header check passes it, and what it decodes.
TEST(SdlPictureLoader, JpegsThatWouldShowInPartOrTakeForeverAreInvalid) {
  testing::TempFolder folder;
  const std::vector<uint8_t> red = RedPictures(folder)[0].bytes;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string error;  // the start of the description; empty when it decodes
  } cases[] = {
      // Cut inside its data with the end marker put back: two thirds grey, before.
      {"cut", testing::CutInsideScanData(red),
       "Invalid picture: p (Corrupt JPEG data: premature end of data segment)"},
      // 1.2 MB that kept a decoder busy for minutes.
      {"scan bomb", testing::ProgressiveGreyJpeg(64, 48, 10000),
       "Invalid picture: p (a JPEG of more than 500 scans, more than the player decodes)"},
      {"500 scans", testing::ProgressiveGreyJpeg(64, 48, 499), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeError(c.bytes), c.error);
  }
  const gdi::Bitmap grey = DecodeSdlPicture(cases[2].bytes, "p");
  EXPECT_EQ(grey.Pixel(63, 47), 0x808080u);
}

// A close request stops a decoding: a JPEG's within a row of blocks, the others' at their next
// read. The process ends as it ends on a close signal, not with an error.
TEST(SdlPictureLoader, ACloseRequestStopsTheDecoding) {
  testing::TempFolder folder;
  const std::function<bool()> closed = [] { return true; };
  for (const Made& picture : RedPictures(folder)) {
    SCOPED_TRACE(picture.extension);
    EXPECT_THROW(DecodePicture(media::MemorySource(picture.bytes), "p", closed), ProcessExit);
  }
  const std::vector<uint8_t> slow = testing::ProgressiveGreyJpeg(1024, 1024, 450);
  int asked = 0;
  const std::function<bool()> close_after_a_few = [&] { return ++asked > 20; };
  try {
    DecodePicture(media::MemorySource(slow), "p", close_after_a_few);
    ADD_FAILURE() << "decoded whole";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  EXPECT_EQ(asked, 21);
}

// A file read a piece at a time; counts what is read.
class CountingFile : public media::ByteSource {
 public:
  explicit CountingFile(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    media::MemorySource(bytes_).ReadAt(offset, out);
    read += out.size();
  }
  mutable uint64_t read = 0;

 private:
  const std::vector<uint8_t>& bytes_;
};

// A picture followed by 16 MiB: the padding is never read (it was, whole, every round).
TEST(SdlPictureLoader, NothingPastThePicturesEndIsRead) {
  testing::TempFolder folder;
  for (Made picture : RedPictures(folder)) {
    SCOPED_TRACE(picture.extension);
    const size_t size = picture.bytes.size();
    picture.bytes.resize(size + (16 << 20), 0xAA);
    const CountingFile file(picture.bytes);
    EXPECT_EQ(DecodePicture(file, "p").Width(), 96);
    EXPECT_LT(file.read, 2 * size + (256 << 10)) << "bytes read";
  }
}

// A show comes back to its pictures: those that fit are kept whole, those that don't are
// decoded each time, and a file changed since is decoded anew.
TEST(SdlPictureLoader, PicturesAreDecodedOnceWhileTheirFileStaysTheSame) {
  DecodedPictureCache cache(1000);
  const gdi::Bitmap one = gdi::Bitmap::Color(10, 10, 0x010101), two = gdi::Bitmap::Color(10, 20);
  const PictureFileKey a{"a", 1, 2, 3, 4}, b{"b", 1, 3, 3, 4};
  cache.Keep(a, one);
  cache.Keep(b, two);  // does not fit beside the first
  ASSERT_NE(cache.Find(a), nullptr);
  EXPECT_EQ(*cache.Find(a), one);
  EXPECT_EQ(cache.Find(b), nullptr);
  PictureFileKey changed = a;
  changed.modified_ns = 5;
  EXPECT_EQ(cache.Find(changed), nullptr);
  cache.Keep(changed, two);  // the earlier state of "a" goes
  EXPECT_EQ(cache.Bytes(), 200 * 4);
  EXPECT_EQ(cache.Find(a), nullptr);

  // The loader: the same file is not decoded again; once it changes, it is.
  testing::TempFolder folder;
  const std::string path = folder / "picture";
  const std::vector<Made> made = RedPictures(folder);
  testing::WriteBytes(path, made[1].bytes);  // PNG
  const auto loader = MakeSdlPictureLoader();
  EXPECT_EQ(loader->Load(path).Pixel(0, 0), 0xFF0000u);
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  std::vector<uint8_t> damaged = made[1].bytes;
  std::fill(damaged.begin() + 8, damaged.end(), 0);  // no longer a picture, same size and time
  testing::WriteBytes(path, damaged);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(loader->Load(path).Pixel(0, 0), 0xFF0000u) << "decoded again";
  const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
  EXPECT_THROW(loader->Load(path), RunTimeError);
}

}  // namespace
}  // namespace slidesaver::linux_platform
