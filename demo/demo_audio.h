#pragma once
// The demo show's sounds and music, synthesised: short WAV chimes and a small MIDI tune.
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// 16-bit mono PCM at 22,050 Hz in a RIFF WAVE file.
std::vector<uint8_t> WaveFile(const std::vector<int16_t>& samples);

std::vector<int16_t> Chime(double frequency, double seconds);  // a soft bell
std::vector<int16_t> Pop();                                    // a short rising blip
std::vector<int16_t> Sweep();                                  // a gentle upward glide

// A calm looping tune: a standard MIDI file, format 0.
std::vector<uint8_t> MusicFile();

}  // namespace demo
