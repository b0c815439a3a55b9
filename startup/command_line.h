#pragma once
// Reading the argument part of the command line.
#include <cstdint>
#include <string>

namespace slidesaver {

// The first two characters, upper-cased ("/s ..." gives "/S").
std::string CommandLineMode(const std::string& arguments);

// The owner window after "/A": the text from the third character on, blanks trimmed, read as a
// decimal number up to the first character that can't belong to it, rounded halves to even.
// No number, or one outside the signed 32-bit range, gives 0.
int32_t OwnerWindowArgument(const std::string& arguments);

}  // namespace slidesaver
