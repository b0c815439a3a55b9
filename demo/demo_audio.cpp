#include "demo_audio.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

constexpr int kRate = 22050;
constexpr double kTau = 6.283185307179586;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutText(std::vector<uint8_t>& out, const char* text) {
  while (*text != '\0') out.push_back(static_cast<uint8_t>(*text++));
}
void PutBigEndian(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int16_t Sample(double v) {
  return static_cast<int16_t>(std::lround(std::max(-1.0, std::min(1.0, v)) * 32767));
}

}  // namespace

std::vector<uint8_t> WaveFile(const std::vector<int16_t>& samples) {
  const auto data_bytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  PutText(out, "RIFF");
  Put32(out, 36 + data_bytes);
  PutText(out, "WAVEfmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRate);
  Put32(out, kRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutText(out, "data");
  Put32(out, data_bytes);
  for (const int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<int16_t> Chime(double frequency, double seconds) {
  std::vector<int16_t> out;
  const int count = static_cast<int>(seconds * kRate);
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.005);
    const double v = std::sin(kTau * frequency * t) * std::exp(-t * 4) +
                     0.4 * std::sin(kTau * frequency * 2.76 * t) * std::exp(-t * 7) +
                     0.2 * std::sin(kTau * frequency * 5.4 * t) * std::exp(-t * 11);
    out.push_back(Sample(0.35 * attack * v));
  }
  return out;
}

std::vector<int16_t> Pop() {
  std::vector<int16_t> out;
  const int count = kRate * 12 / 100;
  double phase = 0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    phase += kTau * (500 + 2500 * t) / kRate;
    out.push_back(Sample(0.4 * std::sin(phase) * std::exp(-t * 30) * std::min(1.0, t / 0.003)));
  }
  return out;
}

std::vector<int16_t> Sweep() {
  std::vector<int16_t> out;
  const int count = kRate * 45 / 100;
  double phase = 0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    phase += kTau * (300 + 900 * t * t / 0.2) / kRate;
    const double envelope = std::sin(kTau / 2 * t / 0.45);
    out.push_back(Sample(0.25 * envelope * (std::sin(phase) + 0.3 * std::sin(2 * phase))));
  }
  return out;
}

std::vector<uint8_t> MusicFile() {
  // Events in ticks (480 per quarter note) at 84 beats per minute: a I-vi-IV-V progression
  // played twice, with arpeggios on an electric piano over a string pad and a soft bass.
  struct Event {
    uint32_t tick;
    uint8_t status, data1, data2;
  };
  std::vector<Event> events;
  auto note = [&](uint32_t start, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity) {
    events.push_back({start, static_cast<uint8_t>(0x90 | channel), key, velocity});
    events.push_back({start + length, static_cast<uint8_t>(0x80 | channel), key, 0});
  };
  constexpr uint32_t kQuarter = 480, kBar = 4 * kQuarter;
  const uint8_t chords[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
  const uint8_t arpeggio[8] = {0, 1, 2, 1, 0, 1, 2, 1};
  for (uint32_t bar = 0; bar < 8; ++bar) {
    const uint8_t* chord = chords[bar % 4];
    const uint32_t start = bar * kBar;
    for (int i = 0; i < 3; ++i) note(start, kBar - 20, 1, chord[i], 48);         // pad
    note(start, 2 * kQuarter - 20, 2, static_cast<uint8_t>(chord[0] - 24), 70);  // bass
    note(start + 2 * kQuarter, 2 * kQuarter - 20, 2, static_cast<uint8_t>(chord[0] - 17), 62);
    for (uint32_t step = 0; step < 8; ++step) {
      const uint8_t key = static_cast<uint8_t>(chord[arpeggio[step]] + (step >= 4 ? 12 : 0));
      note(start + step * kQuarter / 2, kQuarter / 2 - 10, 0, key, step % 4 == 0 ? 84 : 66);
    }
  }
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.tick < b.tick || (a.tick == b.tick && (a.status & 0xF0) < (b.status & 0xF0));
  });

  std::vector<uint8_t> track;
  auto delta = [&](uint32_t ticks) {
    // Variable-length quantity, most significant group first.
    uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = ticks & 0x7F;
      ticks >>= 7;
    } while (ticks != 0);
    while (n > 1) track.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
    track.push_back(groups[0]);
  };
  const uint32_t tempo = 60000000 / 84;
  delta(0), track.insert(track.end(), {0xFF, 0x51, 0x03}), PutBigEndian(track, tempo, 3);
  delta(0), track.insert(track.end(), {0xC0, 4});   // electric piano
  delta(0), track.insert(track.end(), {0xC1, 48});  // strings
  delta(0), track.insert(track.end(), {0xC2, 32});  // acoustic bass
  uint32_t now = 0;
  for (const Event& event : events) {
    delta(event.tick - now);
    now = event.tick;
    track.insert(track.end(), {event.status, event.data1, event.data2});
  }
  delta(kQuarter), track.insert(track.end(), {0xFF, 0x2F, 0x00});

  std::vector<uint8_t> out;
  PutText(out, "MThd");
  PutBigEndian(out, 6, 4);
  PutBigEndian(out, 0, 2);  // format 0
  PutBigEndian(out, 1, 2);  // one track
  PutBigEndian(out, kQuarter, 2);
  PutText(out, "MTrk");
  PutBigEndian(out, static_cast<uint32_t>(track.size()), 4);
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

}  // namespace demo
