#pragma once
// The choices a show of photos is made with, in `slidepack new` and the player's folder alike:
// how a picture meets the show area and the background colour's text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "effects/effect_table.h"

namespace slidesaver::photos {

// none: stored as it is; contain: all of it, centred, background around; cover: the area
// filled, centred, the rest cut off.
enum class Fit { kNone, kContain, kCover };

inline constexpr int kDefaultQuality = 90;
// Transitions are numbered 1 to kEffectCount; 0 is a cut.
inline constexpr int32_t kMaxEffect = kEffectCount;
// Speed steps double the pace; 2^31 no longer fits the player's speed factor.
inline constexpr int32_t kMaxSpeed = 30;

// "none", "contain", "cover"
const char* FitName(Fit fit);
std::optional<Fit> ParseFit(std::string_view name);

// "#RRGGBB" -> 0x00BBGGRR; nothing when the text is not such a colour.
std::optional<int32_t> ParseColour(const std::string& text);

}  // namespace slidesaver::photos
