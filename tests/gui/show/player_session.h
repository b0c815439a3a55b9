#pragma once
// One run of the real player on the test's X display: a show file made of the player and a
// Package, a private runtime folder for its extraction, screenshots of the whole screen, and
// the X input tools.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "package/package.h"

namespace slidesaver::gui_testing {

// Runs a shell command; its standard output, or nullopt when it failed.
std::optional<std::string> Shell(const std::string& command);

// Writes `bytes` to the file at `path`, making the folders it lies in.
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A picture file made by ImageMagick: w × h of one colour ("#rrggbb"), in the format the
// extension names (jpg, png, bmp, gif).
std::vector<uint8_t> MakePicture(const std::string& folder, const std::string& file, int w, int h,
                                 const std::string& colour);
// A picture file of what ImageMagick's convert draws from these arguments.
std::vector<uint8_t> DrawPicture(const std::string& folder, const std::string& file,
                                 const std::string& drawing);

struct Screenshot {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint32_t Pixel(int x, int y) const;  // 0x00RRGGBB
};

// True when every channel is within tolerance.
bool Near(uint32_t a, uint32_t b, int tolerance = 24);

class PlayerSession {
 public:
  PlayerSession();
  ~PlayerSession();

  // The show file (player + Package) and, when given, the settings file beside it.
  void Write(const PackageHeader& show, std::optional<std::pair<int16_t, int16_t>> settings = {});
  // Starts "show.scr OPTIONS... /S" with these variables added to the environment (one with
  // an empty value taken out of it); its standard error goes to a file that Log() reads.
  void Start(const std::map<std::string, std::string>& environment = {},
             const std::vector<std::string>& options = {});
  // Starts the built player itself with `arguments` (no show file), the same way; its
  // configuration folder is config/ in the session's folder.
  void StartPlayer(const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment = {});
  std::string Log() const;
  // The exit status, or nullopt when the player is still running after the timeout.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  void Signal(int sig);
  pid_t pid() const { return pid_; }

  Screenshot Capture() const;
  // The screen's rectangle at (x, y), w × h; with rows > 0, that many rows evenly spread over
  // it, all of one moment.
  Screenshot CaptureArea(int x, int y, int w, int h, int rows = 0) const;
  // Polls screenshots until check passes; false on timeout.
  bool WaitForScreen(const std::function<bool(const Screenshot&)>& check,
                     std::chrono::milliseconds timeout) const;

  const std::string& folder() const { return folder_; }
  // The extraction folders the player has left in its runtime folder.
  std::vector<std::string> ExtractionFolders() const;
  // Everything in the runtime folder, and how many files a folder of it holds.
  std::vector<std::string> RuntimeEntries() const;
  static size_t FilesIn(const std::string& folder);

 private:
  void Spawn(std::string program, std::vector<std::string> arguments,
             const std::map<std::string, std::string>& environment);

  std::string folder_;
  pid_t pid_ = -1;
};

}  // namespace slidesaver::gui_testing
