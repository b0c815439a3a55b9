#include "media/sound_header.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "media/sound_header_parts.h"

namespace slidesaver::media {

namespace {

using namespace sound_parts;

// The bytes a slide sound's conversion to the mixer's format holds at most: 32-bit samples,
// at least two channels, at the mixer's rate when the sound's is lower.
uint64_t ConvertedBytes(const SoundHeader& h) {
  const uint64_t rate = static_cast<uint64_t>(h.rate);
  const uint64_t mixed = std::max<uint64_t>(rate, kSoundMixRate);
  const uint64_t frames = h.frames / rate * mixed + h.frames % rate * mixed / rate + 1;
  return frames * static_cast<uint64_t>(std::max(h.channels, 2)) * 4;
}

bool StartsWith(const std::array<uint8_t, 12>& head, size_t got, const char* magic, size_t at = 0) {
  const size_t n = std::strlen(magic);
  return got >= at + n && std::memcmp(head.data() + at, magic, n) == 0;
}

// The PlainWav view: a made header followed by the samples of the file.
class PlainWavSource : public ByteSource {
 public:
  PlainWavSource(std::shared_ptr<const ByteSource> file, const SoundHeader& h)
      : file_(std::move(file)), data_offset_(h.data_offset), data_bytes_(h.data_bytes) {
    // The format chunk keeps an even length, so that no reader's idea of pad bytes matters.
    std::vector<uint8_t> format = h.wav_format;
    if (format.size() % 2) format.push_back(0);
    const auto put32 = [this](uint64_t v) {
      for (int i = 0; i < 4; ++i) head_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const auto tag = [this](const char* t) { head_.insert(head_.end(), t, t + 4); };
    tag("RIFF");
    put32(4 + 8 + format.size() + 8 + data_bytes_ + (data_bytes_ & 1));
    tag("WAVE");
    tag("fmt ");
    put32(format.size());
    head_.insert(head_.end(), format.begin(), format.end());
    tag("data");
    put32(data_bytes_);
  }
  uint64_t Size() const override { return head_.size() + data_bytes_; }
  std::string Name() const override { return file_->Name(); }
  void ReadAt(uint64_t offset, std::span<uint8_t> out) const override {
    if (offset > Size() || out.size() > Size() - offset) {
      throw ReadError(Name() + ": reading beyond the sound's samples");
    }
    while (!out.empty() && offset < head_.size()) {
      out[0] = head_[static_cast<size_t>(offset++)];
      out = out.subspan(1);
    }
    if (!out.empty()) file_->ReadAt(data_offset_ + (offset - head_.size()), out);
  }

 private:
  std::shared_ptr<const ByteSource> file_;
  uint64_t data_offset_, data_bytes_;
  std::vector<uint8_t> head_;
};

}  // namespace

const char* FormatName(SoundFormat format) {
  switch (format) {
    case SoundFormat::kWav:
      return "WAV";
    case SoundFormat::kMidi:
      return "MIDI";
    case SoundFormat::kOggVorbis:
      return "Ogg Vorbis";
    case SoundFormat::kMp3:
      break;
  }
  return "MP3";
}

std::string CheckSoundBeforeDecoding(const ByteSource& file, SoundUse use, SoundHeader* header) {
  SoundHeader h;
  std::string problem;
  try {
    std::array<uint8_t, 12> head{};
    const size_t got = static_cast<size_t>(std::min<uint64_t>(file.Size(), head.size()));
    file.ReadAt(0, std::span(head).first(got));
    if (StartsWith(head, got, "RIFF") && StartsWith(head, got, "WAVE", 8)) {
      problem = ReadWav(file, h);
    } else if (use == SoundUse::kSlideSound) {
      return "not a WAV sound (RIFF WAVE), the only kind the players play as a slide's sound";
    } else if (StartsWith(head, got, "MThd")) {
      problem = ReadMidi(file, h);
    } else if (StartsWith(head, got, "OggS")) {
      problem = ReadOgg(file, h);
    } else {
      problem = ReadMp3(file, h);
      if (!problem.empty()) return "not music the players play (WAV, MIDI, Ogg Vorbis or MP3)";
    }
  } catch (const ReadError& error) {
    return std::string("cannot be read: ") + error.what();
  }
  // SDL_mixer's music streams every WAV encoding but ADPCM.
  if (problem.empty() && use == SoundUse::kMusic && h.format == SoundFormat::kWav &&
      (h.encoding == 2 || h.encoding == 0x11)) {
    problem = "an ADPCM WAV, which the Linux player plays as a slide's sound but not as music";
  }
  if (problem.empty() && use == SoundUse::kSlideSound &&
      ConvertedBytes(h) > static_cast<uint64_t>(kMaxSlideSoundBytes)) {
    problem = "a WAV of " + WithThousands(static_cast<int64_t>(h.frames)) + " samples at " +
              WithThousands(h.rate) + " Hz, longer than the " +
              WithThousands(kMaxSlideSoundBytes >> 20) +
              " MiB the players decode a slide's sound into";
  }
  if (header) *header = std::move(h);
  return problem;
}

std::unique_ptr<ByteSource> PlainWav(std::shared_ptr<const ByteSource> file,
                                     const SoundHeader& header) {
  return std::make_unique<PlainWavSource>(std::move(file), header);
}

namespace sound_parts {

// MPEG audio: ID3v2 tags skipped, then a frame header. Its rate (8,000 to 48,000) and
// channels (1 or 2) are always within the bounds.
std::string ReadMp3(const ByteSource& file, SoundHeader& header) {
  header.format = SoundFormat::kMp3;
  uint64_t at = 0;
  std::array<uint8_t, 10> b{};
  for (int tags = 0; tags < 16 && at + 10 <= file.Size(); ++tags) {
    file.ReadAt(at, b);
    if (std::memcmp(b.data(), "ID3", 3) != 0) break;
    if ((b[6] | b[7] | b[8] | b[9]) & 0x80) return "a damaged ID3 tag";
    const uint64_t size = uint64_t{b[6]} << 21 | uint64_t{b[7]} << 14 | uint64_t{b[8]} << 7 | b[9];
    at += 10 + size + ((b[5] & 0x10) ? 10 : 0);
  }
  if (at + 4 > file.Size()) return "no MPEG audio frame";
  file.ReadAt(at, std::span(b).first(4));
  const int version = (b[1] >> 3) & 3, layer = (b[1] >> 1) & 3;
  const int bitrate = b[2] >> 4, rate_index = (b[2] >> 2) & 3;
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0 || version == 1 || layer == 0 || bitrate == 15 ||
      rate_index == 3) {
    return "no MPEG audio frame";
  }
  static constexpr int kRates[] = {44100, 48000, 32000};
  header.rate = kRates[rate_index] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  header.channels = (b[3] >> 6) == 3 ? 1 : 2;
  return {};
}

}  // namespace sound_parts
}  // namespace slidesaver::media
