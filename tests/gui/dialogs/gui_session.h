#pragma once
// Driving real programs on the test's own X display: a private user (home, config and runtime
// folders), started processes with their exit status, and xdotool for windows and input.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace slidesaver::gui_test {

using namespace std::chrono_literals;

// A temporary folder holding HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR for the programs a test
// starts, so that no test sees another's settings or password.
class PrivateUser {
 public:
  PrivateUser();
  ~PrivateUser();
  PrivateUser(const PrivateUser&) = delete;
  PrivateUser& operator=(const PrivateUser&) = delete;

  const std::string& Root() const { return root_; }
  std::string ConfigFolder() const { return root_ + "/config/slidesaver"; }
  std::string PasswordPath() const { return ConfigFolder() + "/password"; }
  // NAME=value entries that replace the test's own.
  std::vector<std::string> Environment() const;

 private:
  std::string root_;
};

// A copy of the player at `path` with a Package appended that offers the settings dialog.
void InstallPlayer(const std::string& path);

// A started program. Killed when dropped while still running.
class Child {
 public:
  // `output_path`: where standard output goes (empty: inherited).
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
        const std::string& output_path = "");
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t Pid() const { return pid_; }
  bool Running();
  // The exit status; -1 when the program had to be killed after `limit`, or died by a signal.
  int WaitExit(std::chrono::milliseconds limit = 60s);

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = -1;
};

struct ToolResult {
  int status;
  std::string output;
};
// Runs a tool to its end and returns its status and standard output.
ToolResult RunTool(const std::vector<std::string>& argv);

// The id of a visible window whose title matches `title_regex`, or empty after `limit`.
std::string WaitForWindow(const std::string& title_regex, std::chrono::milliseconds limit = 60s);
bool WaitForWindowGone(const std::string& window, std::chrono::milliseconds limit = 60s);
// The window that has the keyboard focus.
std::string FocusedWindow();
// Waits until `window` has the keyboard focus.
bool WaitForFocus(const std::string& window, std::chrono::milliseconds limit = 20s);

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};
// Position on the screen and size of a window's client area.
Geometry WindowGeometry(const std::string& window);

// Real input through the XTEST extension, as a user gives it.
void ClickAt(const std::string& window, int x, int y);
void TypeText(const std::string& text);
void PressKeys(const std::vector<std::string>& keys);

// The whole screen (and `window` alone, when given) as PNG files.
void SaveScreenshot(const std::string& path);
void SaveWindowShot(const std::string& window, const std::string& path);
// The colour of one pixel of a picture file, as ImageMagick names it ("srgb(r,g,b)" or a name).
std::string PixelAt(const std::string& picture, int x, int y);

// Polls `done` until it answers true or `limit` has passed.
template <typename Predicate>
bool Eventually(Predicate done, std::chrono::milliseconds limit = 20s);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace slidesaver::gui_test

#include <thread>

template <typename Predicate>
bool slidesaver::gui_test::Eventually(Predicate done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}
