#include "photos/picture_options.h"

#include <cstdint>

namespace slidesaver::photos {

std::optional<int32_t> ParseColour(const std::string& colour) {
  const bool well_formed =
      colour.size() == 7 && colour[0] == '#' &&
      colour.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
  if (!well_formed) return std::nullopt;
  const auto rgb = static_cast<uint32_t>(std::stoul(colour.substr(1), nullptr, 16));
  const uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  return static_cast<int32_t>(blue << 16 | green << 8 | red);
}

const char* FitName(Fit fit) {
  switch (fit) {
    case Fit::kContain:
      return "contain";
    case Fit::kCover:
      return "cover";
    case Fit::kNone:
      break;
  }
  return "none";
}

std::optional<Fit> ParseFit(std::string_view name) {
  for (const Fit fit : {Fit::kNone, Fit::kContain, Fit::kCover}) {
    if (name == FitName(fit)) return fit;
  }
  return std::nullopt;
}

}  // namespace slidesaver::photos
