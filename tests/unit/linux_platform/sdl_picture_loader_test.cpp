// The Linux picture loader on real pictures of every format it reads (made by ImageMagick):
// whole ones decode to their size and colour, cut ones are refused whatever the decoder would
// make of them, and bombs are refused without the memory their header asks for.
#include "platform/linux/sdl/sdl_picture_loader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/run_time_error.h"
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

}  // namespace
}  // namespace slidesaver::linux_platform
