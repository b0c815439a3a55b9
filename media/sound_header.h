#pragma once
// What the players learn of a sound or music file before any sample is decoded: its format,
// channels, rate and length from its headers, checked against the players' memory bounds.
// The Linux player and slidepack's render hand a decoder only a file this check let through,
// and slidepack refuses to store one it does not.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/byte_source.h"
#include "media/memory_bounds.h"

namespace slidesaver::media {

enum class SoundFormat { kWav, kMidi, kOggVorbis, kMp3 };

// A slide sound is a WAV, decoded whole as it starts; music is a WAV, MIDI, Ogg Vorbis or MP3
// file, streamed.
enum class SoundUse { kSlideSound, kMusic };

struct SoundHeader {
  SoundFormat format = SoundFormat::kWav;
  int channels = 0;         // WAV, Ogg Vorbis (its first stream), MP3 (its first frame)
  int64_t rate = 0;         // samples a second of each channel
  int bits = 0;             // WAV
  int encoding = 0;         // WAV: 1 PCM, 2 MS ADPCM, 3 float, 6 A-law, 7 mu-law, 0x11 IMA ADPCM
  uint64_t frames = 0;      // WAV: samples of each channel (at most that many for ADPCM)
  int64_t midi_events = 0;  // MIDI
  // WAV: the format chunk's body, and where the samples lie in the file.
  std::vector<uint8_t> wav_format;
  uint64_t data_offset = 0;
  uint64_t data_bytes = 0;
};

// "WAV", "MIDI", "Ogg Vorbis", "MP3"
const char* FormatName(SoundFormat format);

// Empty when the file may be handed to a decoder for this use, otherwise why not ("a WAV of
// 1 Hz, outside the 8,000 to 192,000 samples a second the players play"). Only the headers
// are read, except for MIDI (read whole, at most kMaxMidiFileBytes) and Ogg (every page
// header and its checksum).
std::string CheckSoundBeforeDecoding(const ByteSource& file, SoundUse use,
                                     SoundHeader* header = nullptr);

// A checked WAV as its decoder gets it: the format chunk and the samples, nothing else (no
// list, loop or tag chunk a decoder might misread).
std::unique_ptr<ByteSource> PlainWav(std::shared_ptr<const ByteSource> file,
                                     const SoundHeader& header);

}  // namespace slidesaver::media
