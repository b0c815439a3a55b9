#include "slides/natural_order.h"

namespace slidesaver {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t end_a = i, end_b = j;
      while (end_a < a.size() && IsDigit(a[end_a])) ++end_a;
      while (end_b < b.size() && IsDigit(b[end_b])) ++end_b;
      // Leading zeros don't count for the value; with equal values the shorter run comes first.
      size_t start_a = i, start_b = j;
      while (start_a + 1 < end_a && a[start_a] == '0') ++start_a;
      while (start_b + 1 < end_b && b[start_b] == '0') ++start_b;
      const size_t length_a = end_a - start_a, length_b = end_b - start_b;
      if (length_a != length_b) return length_a < length_b;
      const int order = a.compare(start_a, length_a, b, start_b, length_b);
      if (order != 0) return order < 0;
      if (end_a - i != end_b - j) return end_a - i < end_b - j;
      i = end_a;
      j = end_b;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace slidesaver
