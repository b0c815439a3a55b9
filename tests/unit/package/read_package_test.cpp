// The reader on truncated, lying and hostile input: it stops at the first count or length that
// doesn't fit, keeps what it read, and never reads or allocates beyond the data.
#include <gtest/gtest.h>

#include "package/read_package.h"
#include "package/write_package.h"
#include "platform/fake/fake_file_system.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

using testing::Slide;

// Bytes read only through ReadAt, as a file is; reads from `fail_from` on fail.
class FileLikeSource : public media::ByteSource {
 public:
  explicit FileLikeSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    if (offset + out.size() > fail_from) throw media::ReadError("Input/output error");
    media::MemorySource(bytes_).ReadAt(offset, out);
  }
  uint64_t fail_from = UINT64_MAX;

 private:
  std::span<const uint8_t> bytes_;
};

// Little-endian building blocks for hand-made Packages.
struct Builder {
  std::vector<uint8_t> bytes;
  Builder& I16(int16_t v) {
    for (int s = 0; s < 16; s += 8)
      bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> s));
    return *this;
  }
  Builder& I32(int32_t v) {
    for (int s = 0; s < 32; s += 8)
      bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> s));
    return *this;
  }
  Builder& Raw(const std::string& s) {
    for (const char c : s) bytes.push_back(static_cast<uint8_t>(c));
    return *this;
  }
  Builder& Header(int16_t has_settings = 0, int32_t slide_count = 0) {
    return I32(800).I32(600).I32(0x123456).I16(has_settings).I32(slide_count);
  }
  // Appends PackageSize = the whole length, so the parse starts at offset 0.
  std::vector<uint8_t> Sealed() {
    I32(static_cast<int32_t>(bytes.size() + 4));
    return bytes;
  }
};

PackageHeader Read(const std::vector<uint8_t>& file, PackageReadResult* result = nullptr) {
  PackageHeader header;
  header.ShowWidth = 99;  // stale contents must not survive a read
  header.Slides.resize(5);
  auto owned = std::make_shared<const std::vector<uint8_t>>(file);  // the header keeps it alive
  const PackageReadResult r = ReadPackage(*owned, owned, header);
  if (result) *result = r;
  return header;
}

void ExpectInitial(const PackageHeader& h) {
  EXPECT_EQ(h.ShowWidth, 0);
  EXPECT_EQ(h.ShowHeight, 0);
  EXPECT_EQ(h.HasSettings, 0);
  EXPECT_EQ(h.SlideCount, 0);
  EXPECT_TRUE(h.BgmFileName.empty());
  EXPECT_TRUE(h.Slides.empty());
  EXPECT_EQ(h.PackageSize, 0);
}

TEST(ReadPackage, FilesWithoutAPackageLeaveInitialValues) {
  for (size_t n = 0; n < 4; ++n) {
    PackageReadResult r;
    ExpectInitial(Read(std::vector<uint8_t>(n, 0xFF), &r));
    EXPECT_FALSE(r.complete);
    EXPECT_NE(r.problem.find("too short"), std::string::npos);
  }
  for (int32_t size : {0, -1, -2147483647 - 1, 9, 0x7FFFFFFF}) {
    PackageReadResult r;
    ExpectInitial(Read(Builder().Raw("1234").I32(size).bytes, &r));
    EXPECT_FALSE(r.complete) << size;
    EXPECT_NE(r.problem.find("PackageSize"), std::string::npos);
  }
}

TEST(ReadPackage, PackageSizeOfFourReadsOnlyTheFirstField) {
  // The parse starts at the size field itself: ShowWidth takes those 4 bytes, then data ends.
  PackageReadResult r;
  const PackageHeader h = Read(Builder().Raw("exe").I32(4).bytes, &r);
  EXPECT_EQ(h.ShowWidth, 4);
  EXPECT_EQ(h.ShowHeight, 0);
  EXPECT_FALSE(r.complete);
  EXPECT_NE(r.problem.find("ShowHeight"), std::string::npos);
}

TEST(ReadPackage, TruncationAnywhereKeepsTheFieldsBeforeIt) {
  PackageHeader full = testing::Show(
      {Slide("a.jpg", "AAAA", "a.wav", "WW"), Slide("b.jpg", "BBBBBB"), Slide("c.jpg", "C")});
  full.BgmFileName = "m.mid";
  full.BgmData = testing::BytesOf("MMM");
  full.HasSettings = -1;
  const std::vector<uint8_t> complete = WritePackage(full);

  // Cut the Package after every byte and seal it again: data that ends early.
  for (size_t cut = 0; cut + 4 < complete.size(); ++cut) {
    Builder b;
    b.bytes.assign(complete.begin(), complete.begin() + static_cast<ptrdiff_t>(cut));
    PackageReadResult r;
    const PackageHeader h = Read(b.Sealed(), &r);
    // The sealed size field fills the place of the next field, so only the tail is uncertain;
    // what matters is that nothing crashes, the parse is incomplete and read fields are right.
    if (cut >= 4) {
      EXPECT_EQ(h.ShowWidth, 640) << cut;
    }
    if (cut >= 14) {
      EXPECT_EQ(h.HasSettings, -1) << cut;
    }
    if (cut >= 25) {
      EXPECT_EQ(h.BgmFileName, "m.mid") << cut;
    }
    EXPECT_LE(h.Slides.size(), 3u);
    for (const SlideEntry& s : h.Slides) {
      EXPECT_LE(s.PictureData.size(), 6u);
      EXPECT_LE(s.SoundData.size(), 2u);
    }
    EXPECT_FALSE(r.complete && h.PackageSize == static_cast<int32_t>(complete.size())) << cut;
  }
}

TEST(ReadPackage, DataEndingInsideASlideKeepsEarlierSlidesWhole) {
  const std::vector<uint8_t> complete =
      WritePackage(testing::Show({Slide("a", "AAAA"), Slide("b", std::string(100, 'B'))}));
  // Keep everything up to the middle of slide b's picture bytes.
  Builder b;
  b.bytes.assign(complete.begin(), complete.end() - 60);
  PackageReadResult r;
  const PackageHeader h = Read(b.Sealed(), &r);
  EXPECT_FALSE(r.complete);
  EXPECT_NE(r.problem.find("PictureData"), std::string::npos) << r.problem;
  ASSERT_EQ(h.Slides.size(), 2u);
  EXPECT_EQ(testing::AsString(h.Slides[0].PictureData), "AAAA");
  EXPECT_EQ(h.Slides[1].PictureFileName, "b");
  EXPECT_EQ(h.Slides[1].DisplayTime, 2000);
  EXPECT_TRUE(h.Slides[1].PictureData.empty());  // the length didn't fit: nothing taken
  EXPECT_EQ(h.PackageSize, 0);
}

TEST(ReadPackage, LyingCountsAllocateNothing) {
  // A few bytes that claim 2^31 - 1 slides.
  {
    PackageReadResult r;
    const PackageHeader h = Read(
        Builder().Header(-1, 0x7FFFFFFF).I16(0).I16(0).I16(1).I32(0x7FFFFFFF).I32(0).Sealed(), &r);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(h.SlideCount, 0x7FFFFFFF);  // read, and believed by nobody
    EXPECT_TRUE(h.Slides.empty());
    EXPECT_EQ(h.Slides.capacity(), 0u);
    EXPECT_NE(r.problem.find("Slides"), std::string::npos);
  }
  // More slides than a Package may hold, every one of them there.
  {
    Builder b;
    b.Header(0, 1 << 21).I16(0).I16(0).I16(1).I32(1 << 21).I32(0);
    b.bytes.resize(b.bytes.size() + (size_t{1} << 21) * 34, 0);
    PackageReadResult r;
    const PackageHeader h = Read(b.Sealed(), &r);
    EXPECT_TRUE(h.Slides.empty());
    EXPECT_EQ(r.problem,
              "Slides claims 2097152 elements, more than the 1048576 a Package may hold");
  }
  // A music array that claims 2 GiB.
  {
    PackageReadResult r;
    const PackageHeader h =
        Read(Builder().Header().I16(1).Raw("m").I16(1).I32(0x7FFFFFFF).I32(0).Sealed(), &r);
    EXPECT_EQ(h.BgmFileName, "m");
    EXPECT_TRUE(h.BgmData.empty());
    EXPECT_NE(r.problem.find("BgmData"), std::string::npos);
  }
  // A string longer than the data.
  {
    PackageReadResult r;
    const PackageHeader h = Read(Builder().Header().I16(-1).Raw("abc").Sealed(), &r);
    EXPECT_TRUE(h.BgmFileName.empty());
    EXPECT_NE(r.problem.find("BgmFileName"), std::string::npos);
  }
  // Slides whose count would fit bytes but not slides: 8 slides need at least 256 bytes.
  {
    PackageReadResult r;
    Builder b;
    b.Header(0, 8).I16(0).I16(0).I16(1).I32(8).I32(0).Raw(std::string(200, '\0'));
    const PackageHeader h = Read(b.Sealed(), &r);
    EXPECT_TRUE(h.Slides.empty());
  }
}

TEST(ReadPackage, ArraysOutsideTheOneDimensionalLayoutStopTheParse) {
  for (int16_t dims : {int16_t{2}, int16_t{-1}, int16_t{0x7FFF}}) {
    PackageReadResult r;
    const PackageHeader h = Read(
        Builder().Header().I16(0).I16(dims).I32(1).I32(0).I32(1).I32(0).Raw("xx").Sealed(), &r);
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(h.BgmData.empty());
    EXPECT_TRUE(h.Slides.empty());
    EXPECT_NE(r.problem.find("dimensions"), std::string::npos);
  }
  PackageReadResult r;
  Read(Builder().Header().I16(0).I16(1).I32(-5).I32(0).Sealed(), &r);
  EXPECT_NE(r.problem.find("negative"), std::string::npos);
}

TEST(ReadPackage, LowerBoundIsIgnoredAndEmptyOneDimensionalArraysAreEmpty) {
  const std::vector<uint8_t> file = Builder()
                                        .Header(0, 1)
                                        .I16(0)
                                        .I16(1)
                                        .I32(0)
                                        .I32(7)  // music: one dimension, no bytes
                                        .I16(1)
                                        .I32(1)
                                        .I32(1)  // slides: lower bound 1
                                        .I16(1)
                                        .Raw("p")
                                        .I16(0)
                                        .I32(1)
                                        .I32(2)
                                        .I32(3)
                                        .I32(4)
                                        .I32(5)
                                        .I16(-1)
                                        .I16(0)
                                        .I16(1)
                                        .I32(2)
                                        .I32(0)
                                        .Raw("PP")
                                        .I16(0)
                                        .Sealed();
  PackageReadResult r;
  const PackageHeader h = Read(file, &r);
  ASSERT_TRUE(r.complete) << r.problem;
  EXPECT_TRUE(h.BgmData.empty());
  ASSERT_EQ(h.Slides.size(), 1u);
  EXPECT_EQ(h.Slides[0].EffectNumber, 4);
  EXPECT_EQ(h.Slides[0].Overlay, -1);
  EXPECT_EQ(testing::AsString(h.Slides[0].PictureData), "PP");
  EXPECT_EQ(h.PackageSize, static_cast<int32_t>(file.size()));
}

TEST(ReadPackage, StringCountsAreUnsigned) {
  const std::string name(40000, 'n');
  PackageHeader h;
  h.BgmFileName = name;
  PackageHeader r;
  ASSERT_TRUE(ReadPackage(WritePackage(h), nullptr, r).complete);
  EXPECT_EQ(r.BgmFileName, name);
}

TEST(ReadPackage, ByteArraysShareTheFileInsteadOfCopying) {
  auto file = std::make_shared<std::vector<uint8_t>>(
      WritePackage(testing::Show({Slide("a", "picture-bytes")})));
  PackageHeader h;
  ASSERT_TRUE(ReadPackage(*file, file, h).complete);
  const uint8_t* begin = file->data();
  const uint8_t* p = h.Slides[0].PictureData.data();
  EXPECT_TRUE(p > begin && p < begin + file->size());
  std::weak_ptr<std::vector<uint8_t>> weak = file;
  file.reset();
  EXPECT_FALSE(weak.expired());  // the header keeps the bytes alive
  EXPECT_EQ(testing::AsString(h.Slides[0].PictureData), "picture-bytes");
  h = PackageHeader();
  EXPECT_TRUE(weak.expired());
}

// The player reads its file through a window of it: fields that straddle the window's edges
// (a name after 300 KB of picture, long names) read as from memory, and the byte arrays are
// ranges of the file, read only when asked for; a read that fails stops the parse and says why.
TEST(ReadPackage, ThroughAWindowOfAFileAsFromMemory) {
  PackageHeader show = testing::Show({Slide(std::string(65000, 'a'), std::string(300000, 'P')),
                                      Slide("b", "picture-b", std::string(65535, 's'), "S")});
  show.BgmFileName = "music";
  show.BgmData = testing::BytesOf(std::string(131071, 'M'));
  const std::vector<uint8_t> bytes = WritePackage(show);
  PackageHeader from_memory, from_file;
  ASSERT_TRUE(ReadPackage(bytes, nullptr, from_memory).complete);
  auto file = std::make_shared<FileLikeSource>(bytes);
  ASSERT_TRUE(ReadPackage(file, from_file).complete);
  EXPECT_EQ(WritePackage(from_file), bytes);
  ASSERT_EQ(from_file.Slides.size(), 2u);
  EXPECT_FALSE(from_file.Slides[0].PictureData.InMemory());
  EXPECT_EQ(from_file.Slides[1].SoundFileName, std::string(65535, 's'));
  EXPECT_EQ(from_file.Slides[0].PictureData.Offset(), from_memory.Slides[0].PictureData.Offset());
  EXPECT_EQ(from_file.Slides[1].PictureData.Load(), testing::ToBytes("picture-b"));

  file->fail_from = bytes.size() / 2;  // the disk can't read the second half
  PackageHeader broken;
  const PackageReadResult result = ReadPackage(file, broken);
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.problem.rfind("PackageSize cannot be read: ", 0), 0u) << result.problem;
}

TEST(ReadPackageFile, ReadsThroughTheFileSystemAndSurvivesMissingFiles) {
  testing::TempFolder folder;
  fake::FakeFileSystem files;
  std::vector<uint8_t> file(1000, 0xCC);
  const auto package = WritePackage(testing::Show({Slide("x", "XX")}));
  file.insert(file.end(), package.begin(), package.end());
  testing::WriteBytes(folder / "show.scr", file);

  PackageHeader h;
  const PackageReadResult r = ReadPackageFile(files, folder / "show.scr", h);
  EXPECT_TRUE(r.complete);
  EXPECT_EQ(r.package_offset, 1000u);
  ASSERT_EQ(h.Slides.size(), 1u);
  EXPECT_EQ(testing::AsString(h.Slides[0].PictureData), "XX");

  h.ShowWidth = 5;
  EXPECT_FALSE(ReadPackageFile(files, folder / "missing.scr", h).complete);
  EXPECT_EQ(h.ShowWidth, 0);
}

}  // namespace
}  // namespace slidesaver
