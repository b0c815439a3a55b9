// Pictures decoded by content through OLE, into the drawing layer's 0x00RRGGBB rows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "platform/win32/win32_platform.h"
#include "tests/windows/unit/test_folder.h"

namespace slidesaver::win32 {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A 24-bit bottom-up BMP of the given rows (top row first, pixels 0x00RRGGBB).
std::vector<uint8_t> Bmp(const std::vector<std::vector<uint32_t>>& rows) {
  const uint32_t width = static_cast<uint32_t>(rows[0].size());
  const uint32_t height = static_cast<uint32_t>(rows.size());
  const uint32_t stride = (width * 3 + 3) & ~3u;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, 54 + stride * height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (uint32_t y = height; y-- > 0;) {
    for (uint32_t rgb : rows[y]) {
      out.push_back(static_cast<uint8_t>(rgb));
      out.push_back(static_cast<uint8_t>(rgb >> 8));
      out.push_back(static_cast<uint8_t>(rgb >> 16));
    }
    out.resize(out.size() + (stride - width * 3), 0);
  }
  return out;
}

std::string DataFolder() {
  const char* folder = std::getenv("SLIDESAVER_TEST_PICTURES");
  return folder ? std::string(folder) + "\\" : std::string();
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        tolerance)
      return false;
  }
  return true;
}

class WinPictureLoaderTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder / name;
    EXPECT_TRUE(files->WriteFile(path, bytes).ok());
    return path;
  }
  std::unique_ptr<platform::PictureLoader> loader = MakeWinPictureLoader();
  std::unique_ptr<platform::FileSystem> files = MakeWinFileSystem();
  testing::TestFolder folder;
};

TEST_F(WinPictureLoaderTest, BitmapRowsAndColoursComeOutExactly) {
  // Named without an extension, as the Package names its pictures.
  const std::string path =
      Write("0", Bmp({{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xFFFFFF, 0x000000}}));
  const gdi::Bitmap picture = loader->Load(path);
  ASSERT_EQ(picture.Width(), 3);
  ASSERT_EQ(picture.Height(), 2);
  EXPECT_EQ(picture.Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(picture.Pixel(1, 0), 0x00FF00u);
  EXPECT_EQ(picture.Pixel(2, 0), 0x0000FFu);
  EXPECT_EQ(picture.Pixel(0, 1), 0x123456u);
  EXPECT_EQ(picture.Pixel(1, 1), 0xFFFFFFu);
  EXPECT_EQ(picture.Pixel(2, 1), 0x000000u);
}

TEST_F(WinPictureLoaderTest, JpegAndGifByContent) {
  const std::string data = DataFolder();
  if (data.empty()) GTEST_SKIP() << "SLIDESAVER_TEST_PICTURES not set";
  const gdi::Bitmap jpeg = loader->Load(data + "red-jpeg");
  ASSERT_EQ(jpeg.Width(), 40);
  ASSERT_EQ(jpeg.Height(), 30);
  EXPECT_TRUE(Near(jpeg.Pixel(20, 15), 0xFF0000, 8)) << std::hex << jpeg.Pixel(20, 15);
  const gdi::Bitmap gif = loader->Load(data + "halves-gif");
  ASSERT_EQ(gif.Width(), 20);
  ASSERT_EQ(gif.Height(), 10);
  EXPECT_EQ(gif.Pixel(0, 0), 0x0000FFu);   // left half blue
  EXPECT_EQ(gif.Pixel(19, 9), 0xFFFF00u);  // right half yellow
}

TEST_F(WinPictureLoaderTest, MissingAndUndecodableFilesAreRunTimeErrors) {
  const std::string missing = folder / "none";
  try {
    loader->Load(missing);
    FAIL() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.Description(), FileNotFoundError(missing).Description());
  }
  const std::string text = Write("text", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
  const std::string empty = Write("empty", {});
  std::vector<uint8_t> cut = Bmp({{1, 2, 3}, {4, 5, 6}});
  cut.resize(20);
  const std::string truncated = Write("cut", cut);
  // A bomb: the header of a BMP of 30000 x 30000 pixels, refused before anything is decoded.
  std::vector<uint8_t> bomb = Bmp({{1}});
  bomb[18] = bomb[22] = 0x30;
  bomb[19] = bomb[23] = 0x75;
  const std::string huge = Write("huge", bomb);
  for (const std::string& path : {text, empty, truncated, huge}) {
    try {
      loader->Load(path);
      ADD_FAILURE() << path << " decoded";
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.Description().rfind(InvalidPictureError(path).Description(), 0), 0u)
          << error.Description();
      if (path == huge) {
        EXPECT_NE(error.Description().find("30000 x 30000 pixels"), std::string::npos)
            << error.Description();
      }
    }
  }
}

// A JPEG cut short is never shown half: it is refused for what it is.
TEST_F(WinPictureLoaderTest, TruncatedJpegIsInvalid) {
  const std::string data = DataFolder();
  if (data.empty()) GTEST_SKIP() << "SLIDESAVER_TEST_PICTURES not set";
  std::vector<uint8_t> jpeg;
  {
    auto whole = files->OpenForReading(data + "red-jpeg").value_or(nullptr);
    ASSERT_TRUE(whole);
    jpeg.resize(static_cast<size_t>(whole->Size()));
    whole->ReadAt(0, jpeg);
  }
  jpeg.resize(jpeg.size() * 2 / 3);
  const std::string path = Write("cut-jpeg", jpeg);
  try {
    loader->Load(path);
    FAIL() << "a truncated JPEG decoded";
  } catch (const RunTimeError& error) {
    EXPECT_NE(error.Description().find("cut short"), std::string::npos) << error.Description();
  }
}

}  // namespace
}  // namespace slidesaver::win32
