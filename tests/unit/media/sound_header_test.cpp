// The check the players make before a sound or music file reaches a decoder: channels, rate,
// encoding and length from the headers against the bounds. The files are built here byte by
// byte; a file larger than memory is a header followed by zeros that are never stored.
#include "media/sound_header.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/unit/test_support.h"

namespace slidesaver::media {
namespace {

using ::testing::HasSubstr;
using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, uint64_t v, int n, bool big = false) {
  for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * (big ? n - 1 - i : i))));
}
void Tag(Bytes& b, const char* t) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i]));
}

struct Wav {
  int encoding = 1, channels = 1, bits = 16;
  uint32_t rate = 22050;
  uint64_t data_bytes = 64;
  int block_align = -1;  // channels * bits / 8 when -1
  bool list_first = false;
};

// The header of `w`, up to the first sample.
Bytes WavHeader(const Wav& w) {
  Bytes b;
  Tag(b, "RIFF"), Put(b, 36 + w.data_bytes, 4), Tag(b, "WAVE");
  if (w.list_first) Tag(b, "LIST"), Put(b, 5, 4), b.insert(b.end(), {'I', 'N', 'F', 'O', 'x', 0});
  const int align = w.block_align >= 0 ? w.block_align : w.channels * w.bits / 8;
  Tag(b, "fmt "), Put(b, 16, 4), Put(b, w.encoding, 2), Put(b, w.channels, 2), Put(b, w.rate, 4);
  Put(b, w.rate * align, 4), Put(b, align, 2), Put(b, w.bits, 2);
  Tag(b, "data"), Put(b, w.data_bytes, 4);
  return b;
}

// A header followed by zeros, as long as Size() says.
class HeaderThenZeros : public ByteSource {
 public:
  HeaderThenZeros(Bytes head, uint64_t size) : head_(std::move(head)), size_(size) {}
  uint64_t Size() const override { return size_; }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    if (offset > size_ || out.size() > size_ - offset) throw ReadError("beyond the end");
    for (uint8_t& b : out) b = offset < head_.size() ? head_[offset] : 0, ++offset;
  }

 private:
  Bytes head_;
  uint64_t size_;
};

std::string Check(const Wav& w, SoundUse use = SoundUse::kSlideSound) {
  const Bytes head = WavHeader(w);
  return CheckSoundBeforeDecoding(HeaderThenZeros(head, head.size() + w.data_bytes), use);
}

TEST(SoundHeader, WavFormatsWithinTheBoundsPassAndOthersSayWhy) {
  struct Case {
    Wav wav;
    std::string refusal;  // "" when it passes
  };
  const Case cases[] = {
      {{}, ""},
      {{.channels = 2, .bits = 8, .rate = 8000}, ""},
      {{.encoding = 3, .channels = 8, .bits = 32, .rate = 192000}, ""},
      {{.encoding = 7, .bits = 8}, ""},
      {{.list_first = true}, ""},
      {{.encoding = 0x11, .bits = 4, .block_align = 256}, ""},
      {{.channels = 0}, "a WAV of 0 channels, outside the 1 to 8 the players play"},
      {{.channels = 9}, "a WAV of 9 channels"},
      {{.bits = 8, .rate = 1},
       "a WAV of 1 Hz, outside the 8,000 to 192,000 samples a second the players play"},
      {{.rate = 7999}, "a WAV of 7,999 Hz"},
      {{.rate = 192001}, "a WAV of 192,001 Hz"},
      {{.bits = 12}, "a WAV of encoding 0x0001 with 12-bit samples, which the players do not play"},
      {{.encoding = 3, .bits = 64}, "encoding 0x0003 with 64-bit samples"},
      {{.encoding = 0x55}, "encoding 0x0055"},
      {{.block_align = 0}, "a WAV whose block size (0 bytes) does not fit its samples"},
      {{.encoding = 2, .bits = 4, .block_align = 6}, "block size (6 bytes)"},
      // 5 minutes 50 s of stereo at the mixer's rate: one second more than a slide's sound.
      {{.channels = 2, .rate = 48000, .data_bytes = 48000ull * 4 * 350},
       "a WAV of 16,800,000 samples at 48,000 Hz, longer than the 128 MiB the players decode a "
       "slide's sound into"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refusal);
    const std::string problem = Check(c.wav);
    if (c.refusal.empty()) {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_THAT(problem, HasSubstr(c.refusal));
    }
  }
  // Music is streamed: its length is no bound, its rate is.
  EXPECT_EQ(
      Check({.channels = 2, .rate = 48000, .data_bytes = 48000ull * 4 * 350}, SoundUse::kMusic),
      "");
  EXPECT_THAT(Check({.bits = 8, .rate = 1}, SoundUse::kMusic), HasSubstr("1 Hz"));
}

TEST(SoundHeader, DamagedWavStructureIsRefused) {
  const Bytes good = WavHeader({});
  Bytes whole = good;
  whole.resize(good.size() + 64);
  const auto check = [](const Bytes& b) {
    return CheckSoundBeforeDecoding(MemorySource(b), SoundUse::kSlideSound);
  };
  EXPECT_EQ(check(whole), "");
  EXPECT_THAT(check(Bytes(whole.begin(), whole.end() - 1)), HasSubstr("samples are cut short"));
  EXPECT_THAT(check(Bytes(whole.begin(), whole.begin() + 30)),
              HasSubstr("format chunk is damaged"));
  Bytes two_formats = whole;
  two_formats.insert(two_formats.begin() + 36, good.begin() + 12, good.begin() + 36);
  EXPECT_THAT(check(two_formats), HasSubstr("two format chunks"));
  Bytes data_first = whole;
  std::memcpy(data_first.data() + 12, "data", 4);
  EXPECT_THAT(check(data_first), HasSubstr("samples come before their format"));
  EXPECT_THAT(check({'M', 'T', 'h', 'd'}), HasSubstr("not a WAV sound"));
}

// What a decoder gets of a WAV: the format and the samples, at the offsets a reader expects,
// and it passes the check again with the same length.
TEST(SoundHeader, PlainWavHoldsTheFormatAndTheSamplesOnly) {
  Bytes file = WavHeader({.bits = 8, .data_bytes = 5, .list_first = true});
  for (uint8_t v : {1, 2, 3, 4, 5}) file.push_back(v);
  Tag(file, "smpl"), Put(file, 4, 4), Put(file, 0xFFFFFFFF, 4);
  auto source = std::make_shared<MemorySource>(file);
  SoundHeader header;
  ASSERT_EQ(CheckSoundBeforeDecoding(*source, SoundUse::kSlideSound, &header), "");
  const auto plain = PlainWav(source, header);
  ASSERT_EQ(plain->Size(), 44u + 5);
  Bytes bytes(plain->Size());
  plain->ReadAt(0, bytes);
  EXPECT_EQ(Bytes(bytes.end() - 5, bytes.end()), (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
  SoundHeader again;
  ASSERT_EQ(CheckSoundBeforeDecoding(*plain, SoundUse::kSlideSound, &again), "");
  EXPECT_EQ(again.frames, 5u);
  EXPECT_EQ(again.rate, 22050);
}

Bytes Midi(const Bytes& track, int division = 96) {
  Bytes m;
  Tag(m, "MThd"), Put(m, 6, 4, true), Put(m, 0, 2, true), Put(m, 1, 2, true);
  Put(m, division, 2, true);
  Tag(m, "MTrk"), Put(m, track.size(), 4, true);
  m.insert(m.end(), track.begin(), track.end());
  return m;
}

TEST(SoundHeader, MidiEventsAreCountedAndBounded) {
  const auto check = [](const Bytes& b, SoundHeader* h = nullptr) {
    return CheckSoundBeforeDecoding(MemorySource(b), SoundUse::kMusic, h);
  };
  const Bytes note = {0, 0x90, 60, 100, 10, 60, 0, 0, 0xC0, 1, 0, 0xFF, 0x2F, 0};
  SoundHeader header;
  EXPECT_EQ(check(Midi(note), &header), "");
  EXPECT_EQ(header.midi_events, 4);
  EXPECT_THAT(check(Midi({0, 0xFF, 0x51, 3, 0, 0, 0})), HasSubstr("a tempo of 0"));
  EXPECT_THAT(check(Midi(note, 0)), HasSubstr("0 ticks a quarter note"));
  EXPECT_THAT(check(Midi({0, 60, 100})), HasSubstr("track is damaged"));
  EXPECT_THAT(check(Midi({0, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F})), HasSubstr("track is damaged"));
  Bytes cut = Midi(note);
  cut.pop_back();
  EXPECT_THAT(check(cut), HasSubstr("cut short"));
  // One event more than the bound, each a note in running status.
  Bytes many = {0, 0x90, 60, 100};
  for (int i = 1; i <= kMaxMidiEvents; ++i) many.insert(many.end(), {0, 60, uint8_t(i & 0x7F)});
  EXPECT_THAT(check(Midi(many)), HasSubstr("more than the 500,000 events the players load"));
  EXPECT_THAT(CheckSoundBeforeDecoding(HeaderThenZeros(Midi(note), kMaxMidiFileBytes + 1),
                                       SoundUse::kMusic),
              HasSubstr("more than the 8 MiB the players load"));
  EXPECT_THAT(CheckSoundBeforeDecoding(MemorySource(Midi(note)), SoundUse::kSlideSound),
              HasSubstr("not a WAV sound"));
}

// The sound fuzzer's seeds, made by FFmpeg (WAV in five encodings, Ogg Vorbis, MP3) and by
// hand (MIDI): each passes as music but ADPCM, each WAV as a slide's sound. An Ogg page whose
// checksum no longer fits is refused.
TEST(SoundHeader, EveryFuzzSeedPasses) {
  int seeds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(SLIDESAVER_SOURCE_DIR) / "fuzz/sound-corpus")) {
    SCOPED_TRACE(entry.path().string());
    Bytes bytes = testing::ReadBytes(entry.path().string());
    const std::string as_music = CheckSoundBeforeDecoding(MemorySource(bytes), SoundUse::kMusic);
    if (entry.path().filename().string().find("adpcm") != std::string::npos) {
      EXPECT_THAT(as_music, HasSubstr("an ADPCM WAV"));
    } else {
      EXPECT_EQ(as_music, "");
    }
    if (entry.path().extension() == ".wav") {
      EXPECT_EQ(CheckSoundBeforeDecoding(MemorySource(bytes), SoundUse::kSlideSound), "");
    }
    if (entry.path().extension() == ".ogg") {
      bytes[bytes.size() / 2] ^= 1;
      EXPECT_THAT(CheckSoundBeforeDecoding(MemorySource(bytes), SoundUse::kMusic),
                  HasSubstr("pages are damaged"));
    }
    ++seeds;
  }
  EXPECT_GE(seeds, 9);
}

}  // namespace
}  // namespace slidesaver::media
