// Shows built from the pictures cameras, phones and editors leave: each prepared slide decodes
// with the Linux player's own loader, stands upright, fits the show area, sits centred and keeps
// its colours; the same inputs give the same bytes; and pictures the players can't use stop the
// build with the manifest line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include "package/read_package.h"
#include "photos/media_kind.h"
#include "photos/prepare_picture.h"
#include "platform/linux/sdl/sdl_picture_loader.h"
#include "slidepack_test_support.h"
#include "test_pictures.h"
#include "tests/jpeg_test_files.h"

namespace slidepack_test {
namespace {

using slidesaver::photos::Fit;
using ::testing::HasSubstr;

constexpr int kAreaWidth = 200, kAreaHeight = 100;
constexpr uint8_t kBackground[3] = {0x20, 0x50, 0xA0};

// The colour of the upright marked picture at (x, y), or -1 near an edge between colours,
// where resizing blends them.
int ExpectedColour(const TestPicture& source, double x, double y, double margin) {
  const double w = source.upright_width, h = source.upright_height;
  const double mark = std::min(source.upright_width, source.upright_height) / 4;
  auto near = [&](double value, double edge) { return std::abs(value - edge) < margin; };
  for (double edge : {mark, w - mark, w / 2}) {
    if (near(x, edge)) return -1;
  }
  for (double edge : {mark, h - mark, h / 2}) {
    if (near(y, edge)) return -1;
  }
  auto rgb = [](const uint8_t(&c)[3]) { return c[0] << 16 | c[1] << 8 | c[2]; };
  if (source.transparent_corner && x >= w / 2 && y >= h / 2) return rgb(kBackground);
  if (y < mark && x < mark) return rgb(kRed);
  if (y < mark && x >= w - mark) return rgb(kGreen);
  if (y >= h - mark && x < mark) return rgb(kBlue);
  return rgb(kGrey);
}

bool Near(uint32_t pixel, int expected, int tolerance) {
  for (int shift : {16, 8, 0}) {
    const int a = static_cast<int>(pixel >> shift & 0xFF), b = expected >> shift & 0xFF;
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

TEST(FittedSize, KeepsTheShapeAndNeverEnlargesPastTheLimit) {
  struct Case {
    slidesaver::photos::Size upright;
    Fit fit;
    double max_upscale;
    slidesaver::photos::Size expected;
  } cases[] = {
      {{4000, 3000}, Fit::kContain, 1.0, {1440, 1080}},
      {{3000, 4000}, Fit::kContain, 1.0, {810, 1080}},
      {{4000, 1000}, Fit::kContain, 1.0, {1920, 480}},
      {{4000, 3000}, Fit::kCover, 1.0, {1920, 1080}},
      {{1000, 4000}, Fit::kCover, 1.0, {1000, 1080}},  // covering would enlarge: kept, cut
      {{640, 480}, Fit::kContain, 1.0, {640, 480}},
      {{640, 480}, Fit::kContain, 2.0, {1280, 960}},
      {{640, 480}, Fit::kContain, 4.0, {1440, 1080}},
      {{640, 480}, Fit::kCover, 4.0, {1920, 1080}},
      {{100000, 1}, Fit::kContain, 1.0, {1920, 1}},
  };
  for (const Case& c : cases) {
    slidesaver::photos::PrepareSettings settings;
    settings.area_width = 1920;
    settings.area_height = 1080;
    settings.fit = c.fit;
    settings.max_upscale = c.max_upscale;
    const slidesaver::photos::Size size = slidesaver::photos::FittedSize(c.upright, settings);
    EXPECT_EQ(size, c.expected) << c.upright.width << "x" << c.upright.height << " -> "
                                << size.width << "x" << size.height;
  }
}

class PreparedPicturesTest : public ScratchTest {
 protected:
  // Writes the pictures into media/, a manifest with a slide for each, and builds it.
  RunResult Build(const std::vector<TestPicture>& pictures, const std::string& head,
                  const std::vector<std::string>& options = {}) {
    std::filesystem::create_directories(dir_ / "media");
    std::string manifest = head;
    for (const TestPicture& picture : pictures) {
      WriteBytes(dir_ / "media" / picture.file, picture.bytes);
      manifest += "\n[[slide]]\npicture = \"media/" + picture.file + "\"\n";
    }
    WriteText(dir_ / "show.toml", manifest);
    std::vector<std::string> args = {"build",   "show.toml", "-o",
                                     "out.scr", "--player",  SLIDESAVER_PLAYER};
    args.insert(args.end(), options.begin(), options.end());
    return RunSlidepack(args, dir_);
  }

  slidesaver::PackageHeader ReadShow(const std::string& name = "out.scr") {
    shows_.push_back(ReadBytes(dir_ / name));
    slidesaver::PackageHeader package;
    EXPECT_TRUE(slidesaver::ReadPackage(shows_.back(), nullptr, package).complete);
    return package;
  }

  // Decodes the slide with the Linux player's loader and checks its place, size and colours.
  void ExpectPrepared(const slidesaver::SlideEntry& slide, const TestPicture& source, Fit fit) {
    SCOPED_TRACE(source.file);
    EXPECT_EQ(slide.PictureFileName, std::filesystem::path(source.file).stem().string() + ".jpg");
    EXPECT_EQ(slidesaver::photos::IdentifyMedia(slide.PictureData.span()).jpeg_frame, 0xC0)
        << "a baseline JPEG";
    const std::filesystem::path file = dir_ / "decoded";
    WriteBytes(file,
               {slide.PictureData.data(), slide.PictureData.data() + slide.PictureData.size()});
    const auto bitmap = slidesaver::linux_platform::MakeSdlPictureLoader()->Load(file.string());

    slidesaver::photos::PrepareSettings settings;
    settings.area_width = kAreaWidth;
    settings.area_height = kAreaHeight;
    settings.fit = fit;
    const slidesaver::photos::Size size =
        slidesaver::photos::FittedSize({source.upright_width, source.upright_height}, settings);
    ASSERT_EQ(bitmap.Width(), size.width);
    ASSERT_EQ(bitmap.Height(), size.height);
    EXPECT_EQ(slide.PictureX, (kAreaWidth - size.width) / 2);
    EXPECT_EQ(slide.PictureY, (kAreaHeight - size.height) / 2);

    // Where each output pixel comes from in the upright picture.
    const double scale = fit == Fit::kCover ? std::max(double(size.width) / source.upright_width,
                                                       double(size.height) / source.upright_height)
                                            : double(size.width) / source.upright_width;
    const double crop_x = (source.upright_width * scale - size.width) / 2;
    const double crop_y = (source.upright_height * scale - size.height) / 2;
    int checked = 0;
    for (int gy = 0; gy < 16; ++gy) {
      for (int gx = 0; gx < 16; ++gx) {
        const int x = (2 * gx + 1) * size.width / 32, y = (2 * gy + 1) * size.height / 32;
        const int expected = ExpectedColour(source, (x + 0.5 + crop_x) / scale,
                                            (y + 0.5 + crop_y) / scale, 4 / scale);
        if (expected < 0) continue;
        ++checked;
        EXPECT_TRUE(Near(bitmap.Row(y)[x], expected, source.tolerance))
            << "at " << x << "," << y << ": " << std::hex << bitmap.Row(y)[x] << " instead of "
            << expected;
      }
    }
    EXPECT_GT(checked, 60);
  }

  const std::string kHead =
      "width = 200\nheight = 100\nbackground = \"#2050A0\"\nfit = \"contain\"\n";
  std::vector<std::vector<uint8_t>> shows_;
};

TEST_F(PreparedPicturesTest, EveryKindOfPictureComesOutUprightFittedAndCentred) {
  const std::vector<TestPicture> pictures = AllTestPictures(400, 300, false);
  const RunResult result = Build(pictures, kHead);
  ASSERT_EQ(result.status, 0) << result.err;
  const slidesaver::PackageHeader show = ReadShow();
  ASSERT_EQ(show.Slides.size(), pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i)
    ExpectPrepared(show.Slides[i], pictures[i], Fit::kContain);
}

TEST_F(PreparedPicturesTest, CoverFillsTheAreaAndASlideMayChooseItsOwnFit) {
  std::vector<TestPicture> pictures = AllTestPictures(300, 400, false);
  pictures.resize(8);  // the orientations
  std::string head = "width = 200\nheight = 100\nbackground = \"#2050A0\"\nfit = \"cover\"\n";
  ASSERT_EQ(Build(pictures, head).status, 0);
  const slidesaver::PackageHeader show = ReadShow();
  for (size_t i = 0; i < pictures.size(); ++i)
    ExpectPrepared(show.Slides[i], pictures[i], Fit::kCover);

  // The last slide keeps its own fit; quality is taken from the top.
  std::string manifest = ReadText(dir_ / "show.toml") + "fit = \"contain\"\n";
  WriteText(dir_ / "show.toml", "quality = 60\n" + manifest);
  ASSERT_EQ(
      RunSlidepack({"build", "show.toml", "-o", "mixed.scr", "--player", SLIDESAVER_PLAYER}, dir_)
          .status,
      0);
  const slidesaver::PackageHeader mixed = ReadShow("mixed.scr");
  ExpectPrepared(mixed.Slides.back(), pictures.back(), Fit::kContain);
  EXPECT_LT(mixed.Slides[0].PictureData.size(), show.Slides[0].PictureData.size());
}

TEST_F(PreparedPicturesTest, HeicFromAPhoneWhenTheCodecIsThere) {
  std::vector<uint8_t> heic = HeicPicture(400, 300);
  if (heic.empty()) GTEST_SKIP() << "libheif can't encode HEVC here";
  const TestPicture picture{"phone.heic", heic, 400, 300};
  ASSERT_EQ(Build({picture}, kHead).status, 0);
  ExpectPrepared(ReadShow().Slides[0], picture, Fit::kContain);
}

TEST_F(PreparedPicturesTest, SmallPicturesAreEnlargedOnlyAsFarAsAllowed) {
  const TestPicture small{"small.png", {}, 100, 50};
  VipsBlob* blob = MarkedPicture(100, 50).pngsave_buffer();
  size_t length = 0;
  const auto* data = static_cast<const uint8_t*>(vips_blob_get(blob, &length));
  TestPicture picture = small;
  picture.bytes.assign(data, data + length);
  vips_area_unref(VIPS_AREA(blob));
  ASSERT_EQ(Build({picture}, kHead).status, 0);
  slidesaver::PackageHeader show = ReadShow();
  EXPECT_EQ(slidesaver::photos::IdentifyMedia(show.Slides[0].PictureData.span()).width, 100);
  EXPECT_EQ(show.Slides[0].PictureX, 50);
  EXPECT_EQ(show.Slides[0].PictureY, 25);
  ASSERT_EQ(RunSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER,
                          "--max-upscale", "1.5"},
                         dir_)
                .status,
            0);
  show = ReadShow();
  EXPECT_EQ(slidesaver::photos::IdentifyMedia(show.Slides[0].PictureData.span()).width, 150);
  EXPECT_EQ(show.Slides[0].PictureY, 12);
}

TEST_F(PreparedPicturesTest, SameInputsGiveTheSameBytesWhateverTheThreads) {
  const std::vector<TestPicture> pictures = AllTestPictures(400, 300, false);
  ASSERT_EQ(Build(pictures, kHead).status, 0);
  ASSERT_EQ(
      RunSlidepack({"build", "show.toml", "-o", "again.scr", "--player", SLIDESAVER_PLAYER}, dir_)
          .status,
      0);
  EXPECT_EQ(ReadBytes(dir_ / "out.scr"), ReadBytes(dir_ / "again.scr"));

  const std::vector<uint8_t> photo = JpegBytes(PhotoLikePicture(1200, 900, 3));
  const auto facts = slidesaver::photos::ReadPictureFacts(photo);
  ASSERT_TRUE(facts);
  slidesaver::photos::PrepareSettings settings;
  settings.area_width = 640;
  settings.area_height = 480;
  const int threads = vips_concurrency_get();
  std::vector<std::vector<uint8_t>> outputs;
  for (int concurrency : {1, 4}) {
    vips_concurrency_set(concurrency);
    outputs.push_back(slidesaver::photos::PreparePicture(photo, *facts, settings).jpeg);
  }
  vips_concurrency_set(threads);
  EXPECT_EQ(outputs[0], outputs[1]);
}

// A close signal while the pictures are prepared ends the build at once, also in the middle
// of one large picture (libvips is told to stop), and a build that dies outright leaves
// nothing either: its output and its prepared pictures have no name until the output is whole.
TEST_F(PreparedPicturesTest, ABuildStoppedBySignalsLeavesNothing) {
  std::filesystem::create_directories(dir_ / "media");
  // No shrink-on-load for a PNG: libvips reads and reduces all of it, band by band.
  const vips::VImage big =
      vips::VImage::black(9000, 9000, vips::VImage::option()->set("bands", 3)) + 40;
  big.cast(VIPS_FORMAT_UCHAR)
      .pngsave((dir_ / "media" / "big.png").c_str(), vips::VImage::option()->set("compression", 1));
  std::string manifest = "width = 320\nheight = 240\nfit = \"contain\"\n";
  for (int i = 0; i < 6; ++i) {
    manifest +=
        "[[slide]]\npicture = \"media/big.png\"\nname = \"" + std::to_string(i) + ".jpg\"\n";
  }
  WriteText(dir_ / "show.toml", manifest);
  const std::vector<std::string> before = ListTree(dir_);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL, SIGSEGV}) {
    SCOPED_TRACE(signal);
    const SignalledRun run =
        SignalSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER},
                        dir_, signal, std::chrono::milliseconds(500));
    ASSERT_TRUE(run.ended_after.has_value()) << "still building a minute after the signal";
    if (signal == SIGKILL) {
      EXPECT_EQ(run.signal, SIGKILL);
    } else if (signal == SIGSEGV) {
      // A crash ends it by its signal, or as AddressSanitizer's handler ends it (a report with
      // status 1, or its own signal): what counts is that nothing is left.
      EXPECT_TRUE(run.status == 1 || run.signal != 0) << run.status << " " << run.signal;
    } else {
      EXPECT_EQ(run.status, 1);
    }
    EXPECT_EQ(ListTree(dir_), before);
  }
}

TEST_F(PreparedPicturesTest, PicturesThePlayersCannotUseStopTheBuildAtTheirLine) {
  const std::vector<TestPicture> all = AllTestPictures(40, 30, false);
  auto find = [&](const std::string& file) {
    return *std::find_if(all.begin(), all.end(),
                         [&](const TestPicture& p) { return p.file == file; });
  };
  TestPicture jpeg = find("orientation-1.jpg");
  TestPicture truncated = jpeg;
  truncated.file = "cut.jpg";
  truncated.bytes.resize(truncated.bytes.size() * 2 / 3);
  // Cut inside its data with its end marker put back: a decoder warns and makes the rest grey.
  const TestPicture ended{"ended.jpg", slidesaver::testing::CutInsideScanData(jpeg.bytes)};
  // 10,000 scans in a few hundred kilobytes: a decoder would be busy for minutes.
  const TestPicture scans{"scans.jpg", slidesaver::testing::ProgressiveGreyJpeg(2048, 2048, 10000)};
  const TestPicture text{"notes.jpg", {'h', 'e', 'l', 'l', 'o', '\n'}};
  const TestPicture other = {"orientation-1.jpg", SmallJpeg(5)};
  const std::string none = "width = 200\nheight = 100\n";
  struct Case {
    std::vector<TestPicture> pictures;
    std::string head;
    std::vector<std::string> options;
    std::string error;  // "" when the build succeeds
  } cases[] = {
      {{text}, none, {}, "show.toml:5: picture media/notes.jpg is not a picture slidepack reads"},
      {{jpeg, text}, kHead, {}, "show.toml:10: picture media/notes.jpg is not a picture"},
      {{truncated}, none, {}, "show.toml:5: picture media/cut.jpg does not decode completely"},
      {{jpeg, truncated},
       kHead,
       {},
       "show.toml:10: picture media/cut.jpg does not decode completely"},
      {{ended},
       none,
       {},
       "show.toml:5: picture media/ended.jpg does not decode completely (Corrupt JPEG data: "
       "premature end of data segment)"},
      {{jpeg, ended},
       kHead,
       {},
       "show.toml:10: picture media/ended.jpg does not decode completely"},
      {{scans},
       none,
       {},
       "show.toml:5: picture media/scans.jpg is refused (a JPEG of more than 500 scans, more than "
       "the player decodes)"},
      {{jpeg, scans}, kHead, {}, "show.toml:10: picture media/scans.jpg is refused (a JPEG of"},
      {{find("deep-alpha.png")},
       none,
       {},
       "show.toml:5: picture media/deep-alpha.png is a PNG, which the Windows player does not "
       "decode; use fit = \"contain\" or \"cover\" to have it prepared (or build with "
       "--linux-only"},
      {{find("plain.tif"), find("lossy.webp")}, none, {"--linux-only"}, ""},
      {{find("cmyk.jpg")},
       none,
       {"--linux-only"},
       "picture media/cmyk.jpg is a CMYK JPEG, which the players do not decode; use fit"},
      {{find("palette.gif"), jpeg, find("editor.bmp")}, none, {}, ""},
      {{jpeg, jpeg}, kHead, {}, ""},  // the same picture twice is fine
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head + c.pictures.back().file);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    const RunResult result = Build(c.pictures, c.head, c.options);
    if (c.error.empty()) {
      EXPECT_EQ(result.status, 0) << result.err;
      continue;
    }
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr(c.error));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.scr"));
    EXPECT_EQ(ListTree(dir_).size(), 1u + 1u + c.pictures.size()) << "only media/ and show.toml";
  }

  // Two pictures stored under one name with different bytes.
  std::filesystem::remove(dir_ / "out.scr");
  std::filesystem::create_directories(dir_ / "other");
  WriteBytes(dir_ / "other" / "orientation-1.jpg", other.bytes);
  WriteText(dir_ / "show.toml", none + "[[slide]]\npicture = \"media/orientation-1.jpg\"\n" +
                                    "[[slide]]\npicture = \"other/orientation-1.jpg\"\n");
  const RunResult clash =
      RunSlidepack({"build", "show.toml", "-o", "out.scr", "--player", SLIDESAVER_PLAYER}, dir_);
  EXPECT_EQ(clash.status, 1);
  EXPECT_THAT(clash.err, HasSubstr("show.toml:6: picture name \"orientation-1.jpg\" is taken by "
                                   "the picture of line 4, which has other contents"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.scr"));
}

}  // namespace
}  // namespace slidepack_test
