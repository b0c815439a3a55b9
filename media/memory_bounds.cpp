#include "media/memory_bounds.h"

namespace slidesaver::media {

std::string WithThousands(int64_t n) {
  const std::string digits = std::to_string(n);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && digits[i - 1] != '-' && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

std::string CheckSoundRateAndChannels(const char* format, int64_t rate, int64_t channels) {
  if (channels < 1 || channels > kMaxSoundChannels) {
    return std::string("a ") + format + " of " + std::to_string(channels) +
           " channels, outside the 1 to " + std::to_string(kMaxSoundChannels) + " the players play";
  }
  if (rate < kMinSoundRate || rate > kMaxSoundRate) {
    return std::string("a ") + format + " of " + WithThousands(rate) + " Hz, outside the " +
           WithThousands(kMinSoundRate) + " to " + WithThousands(kMaxSoundRate) +
           " samples a second the players play";
  }
  return {};
}

}  // namespace slidesaver::media
