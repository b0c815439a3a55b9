#include "tests/gui/show/player_session.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "package/write_package.h"

extern char** environ;

namespace slidesaver::gui_testing {
namespace fs = std::filesystem;

std::optional<std::string> Shell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  std::array<char, 65536> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
  const int status = pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> MakePicture(const std::string& folder, const std::string& file, int w, int h,
                                 const std::string& colour) {
  return DrawPicture(
      folder, file,
      "-size " + std::to_string(w) + "x" + std::to_string(h) + " 'xc:" + colour + "'");
}

std::vector<uint8_t> DrawPicture(const std::string& folder, const std::string& file,
                                 const std::string& drawing) {
  const std::string path = folder + "/" + file;
  const std::string command = "convert " + drawing + " -type TrueColor '" + path + "'";
  if (!Shell(command)) throw std::runtime_error("convert failed: " + command);
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Screenshot::Pixel(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  return (uint32_t{rgb[at]} << 16) | (uint32_t{rgb[at + 1]} << 8) | rgb[at + 2];
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

PlayerSession::PlayerSession() {
  std::string pattern = (fs::temp_directory_path() / "slidesaver-gui-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  fs::create_directory(folder_ + "/run");
  fs::permissions(folder_ + "/run", fs::perms::owner_all);
}

PlayerSession::~PlayerSession() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

void PlayerSession::Write(const PackageHeader& show,
                          std::optional<std::pair<int16_t, int16_t>> settings) {
  std::ifstream player(SLIDESAVER_PLAYER, std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(player), std::istreambuf_iterator<char>()};
  const std::vector<uint8_t> package = WritePackage(show);
  std::ofstream out(folder_ + "/show.scr", std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.write(reinterpret_cast<const char*>(package.data()),
            static_cast<std::streamsize>(package.size()));
  out.close();
  fs::permissions(folder_ + "/show.scr", fs::perms::owner_all);
  if (settings) {
    const uint8_t set[4] = {
        static_cast<uint8_t>(settings->first & 0xFF), static_cast<uint8_t>(settings->first >> 8),
        static_cast<uint8_t>(settings->second & 0xFF), static_cast<uint8_t>(settings->second >> 8)};
    std::ofstream s(folder_ + "/show.set", std::ios::binary);
    s.write(reinterpret_cast<const char*>(set), 4);
  }
}

void PlayerSession::Start(const std::map<std::string, std::string>& environment,
                          const std::vector<std::string>& options) {
  std::vector<std::string> arguments = options;
  arguments.push_back("/S");
  Spawn(folder_ + "/show.scr", arguments, environment);
}

void PlayerSession::StartPlayer(const std::vector<std::string>& arguments,
                                const std::map<std::string, std::string>& environment) {
  std::map<std::string, std::string> with_config = environment;
  with_config.emplace("XDG_CONFIG_HOME", folder_ + "/config");
  Spawn(SLIDESAVER_PLAYER, arguments, with_config);
}

void PlayerSession::Spawn(std::string program, std::vector<std::string> arguments,
                          const std::map<std::string, std::string>& environment) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const size_t eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  env["XDG_RUNTIME_DIR"] = folder_ + "/run";
  env["SDL_AUDIODRIVER"] = "dummy";  // no sound card in a test
  for (const auto& [name, value] : environment) {
    if (value.empty()) {
      env.erase(name);
    } else {
      env[name] = value;
    }
  }
  std::vector<std::string> entries;
  for (const auto& [name, value] : env) entries.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);

  std::vector<char*> argv{program.data()};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, (folder_ + "/stderr.txt").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int started =
      posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) throw std::runtime_error("the player did not start");
}

std::string PlayerSession::Log() const {
  std::ifstream in(folder_ + "/stderr.txt", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<int> PlayerSession::WaitForExit(std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (pid_ > 0) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() > end) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

void PlayerSession::Signal(int sig) {
  if (pid_ > 0) kill(pid_, sig);
}

Screenshot PlayerSession::Capture() const {
  Screenshot shot;
  const auto size = Shell("xdpyinfo | awk '/dimensions:/ {print $2}'");
  if (!size || std::sscanf(size->c_str(), "%dx%d", &shot.width, &shot.height) != 2) return shot;
  const auto raw = Shell("import -window root -depth 8 rgb:- 2>/dev/null");
  if (!raw || raw->size() != static_cast<size_t>(shot.width) * shot.height * 3) {
    shot.width = shot.height = 0;
    return shot;
  }
  shot.rgb.assign(raw->begin(), raw->end());
  return shot;
}

Screenshot PlayerSession::CaptureArea(int x, int y, int w, int h, int rows) const {
  // Straight from the X server, the rows within one grab of it: quick enough to catch the
  // frames of a transition, which a whole-screen import of 4K is not.
  Screenshot shot;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return shot;
  const int height = rows > 0 ? rows : h;
  std::vector<XImage*> images;
  XGrabServer(display);
  for (int row = 0; row < (rows > 0 ? rows : 1); ++row) {
    const int top = rows > 0 ? y + (2 * row + 1) * h / (2 * rows) : y;
    images.push_back(XGetImage(display, DefaultRootWindow(display), x, top, w, rows > 0 ? 1 : h,
                               AllPlanes, ZPixmap));
  }
  XUngrabServer(display);
  XCloseDisplay(display);
  bool complete = true;
  for (XImage* image : images) complete = complete && image;
  if (complete) {
    shot.width = w;
    shot.height = height;
    shot.rgb.reserve(static_cast<size_t>(w) * height * 3);
    for (XImage* image : images) {
      for (int iy = 0; iy < image->height; ++iy) {
        for (int ix = 0; ix < w; ++ix) {
          const unsigned long pixel = XGetPixel(image, ix, iy);
          shot.rgb.push_back(static_cast<uint8_t>((pixel >> 16) & 0xFF));
          shot.rgb.push_back(static_cast<uint8_t>((pixel >> 8) & 0xFF));
          shot.rgb.push_back(static_cast<uint8_t>(pixel & 0xFF));
        }
      }
    }
  }
  for (XImage* image : images) {
    if (image) XDestroyImage(image);
  }
  return shot;
}

bool PlayerSession::WaitForScreen(const std::function<bool(const Screenshot&)>& check,
                                  std::chrono::milliseconds timeout) const {
  const auto end = std::chrono::steady_clock::now() + timeout;
  do {
    const Screenshot shot = Capture();
    if (shot.width > 0 && check(shot)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

std::vector<std::string> PlayerSession::RuntimeEntries() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_ + "/run/slidesaver", ec))
    out.push_back(entry.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

size_t PlayerSession::FilesIn(const std::string& folder) {
  size_t n = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) ++n;
  return n;
}

std::vector<std::string> PlayerSession::ExtractionFolders() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_ + "/run/slidesaver", ec)) {
    if (entry.is_directory() && entry.path().filename().string().starts_with("temp")) {
      out.push_back(entry.path().string());
    }
  }
  return out;
}

}  // namespace slidesaver::gui_testing
