#pragma once
// The players' memory bounds, the same on every platform and checked before the memory is
// taken: a picture's size from its header (and a source photo's, for slidepack and the folder
// show), the show area's before its surfaces are made, a sound's rate, channels and length from
// its header.
#include <cstdint>
#include <string>

namespace slidesaver::media {

// The largest picture the players decode, and so the largest slidepack stores or prepares: a
// decoded picture takes 4 bytes a pixel, 256 MiB at most.
inline constexpr int64_t kMaxDecodedPicturePixels = int64_t{1} << 26;  // 67,108,864: 8192 x 8192
// The largest photo slidepack or the folder show reads to prepare a slide of: libvips shrinks
// it as it loads, so it may be larger than what the players decode.
inline constexpr int64_t kMaxSourcePhotoPixels = int64_t{1} << 28;  // 268,435,456
// A picture file larger than this is not read.
inline constexpr uint64_t kMaxPictureFileBytes = uint64_t{1} << 30;
// A progressive JPEG decodes its whole picture once for each of its scans: a file of a few
// megabytes may hold thousands of them and keep a decoder busy for minutes. More are refused.
inline constexpr int kMaxJpegScans = 500;
// A GIF decoder starts its code table afresh at each clear code, at a cost of thousands of
// steps: data that clears it for every pixel or two keeps a decoder busy for minutes. Encoders
// clear it once the table is full, or every few hundred pixels in GIFs stored uncompressed.
inline constexpr int64_t kMaxGifClearCodes = int64_t{1} << 20;
// The working memory a JPEG decoder may take beside the picture's bitmap: the coefficients of
// a progressive or multi-scan JPEG (192 MiB for 8192 x 8192 in 4:2:0, 384 MiB in 4:4:4).
inline constexpr int64_t kMaxJpegDecoderBytes = int64_t{256} << 20;
// Decoded pictures the Linux player keeps to show again, instead of decoding them each round.
inline constexpr int64_t kDecodedPictureCacheBytes = int64_t{64} << 20;
// The show area's three surfaces take 4 bytes a pixel each: 128 MiB each at most.
inline constexpr int64_t kMaxShowAreaPixels = int64_t{1} << 25;  // 33,554,432: 7680 x 4320 fits

// Sounds and music have 1 to 8 channels of 8,000 to 192,000 samples a second: below that rate
// the conversion to the mixer's rate multiplies a small file into gigabytes.
inline constexpr int kMaxSoundChannels = 8;
inline constexpr int64_t kMinSoundRate = 8000;
inline constexpr int64_t kMaxSoundRate = 192000;
// A slide sound is decoded whole and converted to the mixer's rate (at most 48 kHz): at most
// this many bytes of 32-bit samples in at least two channels at that rate (5 minutes 49 s of
// stereo). Music is streamed, and only its rate and channels are bounded.
inline constexpr int64_t kSoundMixRate = 48000;
inline constexpr int64_t kMaxSlideSoundBytes = int64_t{1} << 27;
// A MIDI file is read whole, and its synthesizer keeps about 50 bytes an event.
inline constexpr uint64_t kMaxMidiFileBytes = uint64_t{8} << 20;
inline constexpr int64_t kMaxMidiEvents = 500000;

// "67,108,864"
std::string WithThousands(int64_t n);

// "a WAV of 1 Hz, outside the 8,000 to 192,000 samples a second the players play" when the
// rate or channels are out of the bounds, else "".
std::string CheckSoundRateAndChannels(const char* format, int64_t rate, int64_t channels);

}  // namespace slidesaver::media
