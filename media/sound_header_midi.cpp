// MIDI: the whole file walked event by event, as the synthesizer's loader reads it, so that
// its events are counted before they are loaded.
#include <cstring>
#include <vector>

#include "media/sound_header_parts.h"

namespace slidesaver::media::sound_parts {
namespace {

class TrackReader {
 public:
  explicit TrackReader(std::span<const uint8_t> track) : t_(track) {}
  bool AtEnd() const { return at_ >= t_.size(); }
  bool Byte(uint8_t& b) {
    if (AtEnd()) return false;
    b = t_[at_++];
    return true;
  }
  // A variable-length number of at most four bytes.
  bool Number(uint32_t& n) {
    n = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b = 0;
      if (!Byte(b)) return false;
      n = n << 7 | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  bool Skip(uint32_t n, size_t* from = nullptr) {
    if (n > t_.size() - at_) return false;
    if (from) *from = at_;
    at_ += n;
    return true;
  }
  uint8_t At(size_t i) const { return t_[i]; }

 private:
  std::span<const uint8_t> t_;
  size_t at_ = 0;
};

// Counts a track's events into `events`; "" or why the track is refused.
std::string CountTrack(std::span<const uint8_t> track, int64_t& events) {
  TrackReader r(track);
  uint8_t running = 0;
  while (!r.AtEnd()) {
    uint32_t delta = 0;
    uint8_t status = 0;
    if (!r.Number(delta) || !r.Byte(status)) return "a MIDI file whose track is damaged";
    if (++events > kMaxMidiEvents) {
      return "a MIDI file of more than the " + WithThousands(kMaxMidiEvents) +
             " events the players load";
    }
    uint32_t length = 0;
    size_t data = 0;
    if (status == 0xFF) {
      uint8_t type = 0;
      if (!r.Byte(type) || !r.Number(length) || !r.Skip(length, &data)) {
        return "a MIDI file whose track is damaged";
      }
      if (type == 0x51 && (length < 3 || (r.At(data) | r.At(data + 1) | r.At(data + 2)) == 0)) {
        return "a MIDI file with a tempo of 0";
      }
      if (type == 0x2F) return {};  // the end of the track: the loader reads no further
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      if (!r.Number(length) || !r.Skip(length)) return "a MIDI file whose track is damaged";
      continue;
    }
    if (status < 0x80) {
      if (running == 0) return "a MIDI file whose track is damaged";
      length = 1;  // the first data byte was read as the status
    } else if (status < 0xF0) {
      running = status;
      length = 2;
    } else {
      return "a MIDI file whose track is damaged";
    }
    const uint8_t kind = running & 0xF0;
    if (kind == 0xC0 || kind == 0xD0) --length;
    if (!r.Skip(length)) return "a MIDI file whose track is damaged";
  }
  return {};
}

}  // namespace

std::string ReadMidi(const ByteSource& file, SoundHeader& header) {
  header.format = SoundFormat::kMidi;
  if (file.Size() > kMaxMidiFileBytes) {
    return "a MIDI file of " + WithThousands(static_cast<int64_t>(file.Size())) +
           " bytes, more than the " + WithThousands(kMaxMidiFileBytes >> 20) +
           " MiB the players load";
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  file.ReadAt(0, bytes);
  const std::span<const uint8_t> b(bytes);
  // The header's length is 6 and its division is no 0 ticks a quarter note: the loader takes
  // both for granted.
  if (b.size() < 14 || Be32(b, 4) != 6) return "a MIDI file whose header is damaged";
  if (b[12] == 0 && b[13] == 0) return "a MIDI file of 0 ticks a quarter note";
  for (size_t at = 14; at + 8 <= b.size();) {
    const uint32_t length = Be32(b, at + 4);
    at += 8;
    if (length > b.size() - at) return "a MIDI file whose track is cut short";
    if (std::memcmp(b.data() + at - 8, "MTrk", 4) == 0) {
      const std::string bad = CountTrack(b.subspan(at, length), header.midi_events);
      if (!bad.empty()) return bad;
    }
    at += length;
  }
  return {};
}

}  // namespace slidesaver::media::sound_parts
