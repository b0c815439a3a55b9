#include "startup/command_line.h"

#include <charconv>

#include "common/arith.h"
#include "common/run_time_error.h"

namespace slidesaver {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest prefix of `s` that reads as a decimal number: [sign] digits [. digits]
// [exponent]; an exponent letter (E or D) counts only when digits follow it.
std::string NumberPrefix(const std::string& s) {
  size_t i = 0;
  std::string number;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
  bool digits = false;
  while (i < s.size() && IsDigit(s[i])) number += s[i++], digits = true;
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    while (i < s.size() && IsDigit(s[i])) number += s[i++], digits = true;
  }
  if (!digits) return {};
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) exponent += s[j++];
      number += exponent;
    }
  }
  return number;
}

std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string CommandLineMode(const std::string& arguments) {
  std::string mode = arguments.substr(0, 2);
  for (char& c : mode) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return mode;
}

int32_t OwnerWindowArgument(const std::string& arguments) {
  if (arguments.size() <= 2) return 0;
  std::string number = NumberPrefix(TrimBlanks(arguments.substr(2)));
  if (number.empty()) return 0;
  if (number.front() == '+') number.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) return 0;  // beyond double: certainly not int32
  if (error != std::errc() || end != number.data() + number.size()) return 0;
  try {
    return R(value);
  } catch (const RunTimeError&) {
    return 0;
  }
}

}  // namespace slidesaver
