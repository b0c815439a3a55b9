#pragma once
// The MCI command strings the show sends, taken apart: "open \"<path>\" alias bgm",
// "play bgm", "status bgm mode", "seek bgm to start", "stop bgm", "close bgm".
#include <string>

namespace slidesaver::linux_platform {

struct MciCommand {
  std::string verb;    // lower case: open, play, status, seek, stop, close, ...
  std::string device;  // lower case; for open, the alias (or the path when there is none)
  std::string path;    // open: the file, quotes removed, case kept
  std::string alias;   // open: the name after "alias", lower case
  std::string rest;    // the words after the device, lower case, single blanks
};

MciCommand ParseMciCommand(const std::string& command);

}  // namespace slidesaver::linux_platform
