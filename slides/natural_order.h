#pragma once
// The order of pictures by name as people expect it.
#include <string>

namespace slidesaver {

// "IMG_2.jpg" < "IMG_10.jpg": runs of digits compare by their value.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace slidesaver
