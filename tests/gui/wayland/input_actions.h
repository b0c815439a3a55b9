// The command line the input devices for tests share: actions as arguments, or with "-" lines
// of them from standard input until it ends, the device staying plugged in meanwhile, as a
// keyboard or a mouse does (a compositor may drop input of a device that has just appeared).
#pragma once

#include <cstdlib>
#include <functional>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace input_actions {

using Actions = std::vector<std::string>;

inline bool Number(const std::string& text, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0';
}

// Hands the actions to `act` (0, or the exit status of a failure) and returns its status.
inline int Run(int argc, char** argv, const std::function<int(const Actions&)>& act) {
  if (argc != 2 || std::string_view(argv[1]) != "-") return act(Actions(argv + 1, argv + argc));
  int status = 0;
  std::string line;
  while (status == 0 && std::getline(std::cin, line)) {
    std::istringstream words(line);
    status = act(Actions{std::istream_iterator<std::string>(words), {}});
  }
  return status;
}

}  // namespace input_actions
