#pragma once
// Text that came from outside (a file's name) made safe to print on a terminal: a newline in a
// name can't forge a line of the log, nor an escape sequence drive the terminal.
#include <string>
#include <string_view>

namespace slidesaver {

// `text` with its control characters (below 0x20, and 0x7F) written as "\n", "\t", "\r" or
// "\xHH". Every other byte, UTF-8 or not, is kept.
std::string Printable(std::string_view text);

}  // namespace slidesaver
