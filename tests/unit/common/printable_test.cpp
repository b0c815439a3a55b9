// Names printed on a terminal: control characters escaped, everything else as it is.
#include "common/printable.h"

#include <gtest/gtest.h>

namespace slidesaver {
namespace {

TEST(Printable, ControlCharactersAreEscapedAndOtherBytesKept) {
  const struct {
    std::string text, printed;
  } cases[] = {
      {"photo.jpg", "photo.jpg"},
      {"two\nlines.jpg", "two\\nlines.jpg"},
      {"tab\there\r", "tab\\there\\r"},
      {"\x1b[31mred\x1b[0m", "\\x1b[31mred\\x1b[0m"},
      {std::string("nul\0bell\a", 9), "nul\\x00bell\\x07"},
      {"del\x7f", "del\\x7f"},
      {"写真 \xff\xfe.jpg", "写真 \xff\xfe.jpg"},  // UTF-8, and bytes that are not, stay
      {"C:\\shows\\a.jpg", "C:\\shows\\a.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(Printable(c.text), c.printed) << c.printed;
}

}  // namespace
}  // namespace slidesaver
