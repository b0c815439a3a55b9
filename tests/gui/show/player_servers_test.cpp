// The real player against display and sound servers that stop answering: a socket that takes
// the connection and never says a word (for Wayland, X11 and PulseAudio), and an X server
// stopped with SIGSTOP while the show plays. A close signal still ends the player within about
// a second, the normal way, with nothing left on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "tests/gui/show/own_x_server.h"
#include "tests/gui/show/player_session.h"

namespace slidesaver::gui_testing {
namespace {

using namespace std::chrono_literals;
using ::testing::IsEmpty;

// Takes every connection and keeps it open without a word.
class MuteServer {
 public:
  // `address`: a socket's path, or an abstract name after a leading '\0'.
  explicit MuteServer(const std::string& address) {
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    std::memcpy(name.sun_path, address.data(), std::min(address.size(), sizeof name.sun_path - 1));
    const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                                    address.size() + (address[0] == '\0' ? 0 : 1));
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&name), length) != 0 ||
        listen(listener_, 16) != 0 || pipe(stop_) != 0) {
      return;
    }
    listening_ = true;
    thread_ = std::thread([this] { TakeConnections(); });
  }
  ~MuteServer() {
    if (thread_.joinable()) {
      [[maybe_unused]] const ssize_t n = write(stop_[1], "x", 1);
      thread_.join();
    }
    for (int fd : {listener_, stop_[0], stop_[1]})
      if (fd >= 0) close(fd);
  }
  bool listening() const { return listening_; }
  int accepted() const { return accepted_.load(); }

 private:
  void TakeConnections() {
    std::vector<int> connections;
    for (;;) {
      pollfd ready[2] = {{listener_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
      if (poll(ready, 2, -1) < 0 || ready[1].revents != 0) break;
      const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection >= 0) connections.push_back(connection), ++accepted_;
    }
    for (int fd : connections) close(fd);
  }

  int listener_ = -1;
  int stop_[2] = {-1, -1};
  bool listening_ = false;
  std::atomic<int> accepted_{0};
  std::thread thread_;
};

// An X display number whose abstract socket (which Xlib tries first) is a mute server's.
std::unique_ptr<MuteServer> MuteXServer(std::string& display) {
  for (int number = 700; number < 800; ++number) {
    char name[32];
    const int length = std::snprintf(name, sizeof name, "@/tmp/.X11-unix/X%d", number);
    name[0] = '\0';
    auto server = std::make_unique<MuteServer>(std::string(name, static_cast<size_t>(length)));
    if (server->listening()) {
      char shown[16];
      std::snprintf(shown, sizeof shown, ":%d", number);
      display = shown;
      return server;
    }
  }
  return nullptr;
}

PackageHeader OneSlideShowWithMusic(PlayerSession& session) {
  PackageHeader show;
  show.ShowWidth = 400;
  show.ShowHeight = 300;
  show.SlideCount = 1;
  SlideEntry slide;
  slide.PictureFileName = "0";
  slide.PictureData = Bytes::Copy(MakePicture(session.folder(), "red.jpg", 400, 300, "#ff0000"));
  slide.DisplayTime = 600000;
  show.Slides = {slide};
  // Ten seconds of 8-bit silence, looped: the sound device is opened for it.
  std::vector<uint8_t> wav = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A',  'V',
                              'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,    0,
                              1,   0,   0x22, 0x56, 0,   0,   0x22, 0x56, 0,    0,    1,
                              0,   8,   0,    'd',  'a', 't', 'a',  0x54, 0x5D, 0x03, 0};
  wav.resize(wav.size() + 220500, 0x80);
  const uint32_t riff = static_cast<uint32_t>(wav.size() - 8);
  for (int i = 0; i < 4; ++i) wav[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  show.BgmFileName = "music.wav";
  show.BgmData = Bytes::Copy(wav);
  return show;
}

enum class Server { kMuteWayland, kMuteX, kStoppedX, kMuteSound };

TEST(PlayerServers, ACloseSignalEndsThePlayerWhenItsServerNeverAnswers) {
  struct Case {
    const char* name;
    Server server;
    int signal;
  };
  const Case cases[] = {
      {"a Wayland socket that never speaks", Server::kMuteWayland, SIGTERM},
      {"an X socket that never speaks", Server::kMuteX, SIGINT},
      {"an X server stopped during the show", Server::kStoppedX, SIGHUP},
      {"a sound server that never speaks", Server::kMuteSound, SIGTERM},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlayerSession session;
    session.Write(OneSlideShowWithMusic(session), std::make_pair(int16_t{-1}, int16_t{-1}));
    std::unique_ptr<MuteServer> mute;
    std::optional<OwnXServer> x;
    std::string display;
    switch (c.server) {
      case Server::kMuteWayland:
        mute = std::make_unique<MuteServer>(session.folder() + "/wayland-mute");
        session.Start({{"WAYLAND_DISPLAY", session.folder() + "/wayland-mute"}}, {"--wayland"});
        break;
      case Server::kMuteX:
        mute = MuteXServer(display);
        ASSERT_TRUE(mute) << "no free display number";
        session.Start({{"DISPLAY", display}});
        break;
      case Server::kStoppedX:
        x.emplace();
        ASSERT_FALSE(x->display().empty()) << "Xvfb did not start";
        session.Start({{"DISPLAY", x->display()}});
        break;
      case Server::kMuteSound:
        mute = std::make_unique<MuteServer>(session.folder() + "/pulse-mute");
        session.Start({{"SDL_AUDIODRIVER", "pulseaudio"},
                       {"PULSE_SERVER", "unix:" + session.folder() + "/pulse-mute"}});
        break;
    }
    // Until the player waits on its server: connected to the mute one, or showing its slide on
    // the X server about to stop.
    bool waiting = false;
    for (int i = 0; i < 600 && !waiting; ++i) {
      if (c.server == Server::kStoppedX) {
        waiting = !session.ExtractionFolders().empty() &&
                  Shell("DISPLAY=" + x->display() + " xdotool search --onlyvisible --pid " +
                        std::to_string(session.pid()) + " 2>/dev/null")
                      .has_value();
      } else {
        waiting = mute->accepted() > 0;
      }
      if (!waiting) std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(waiting) << session.Log();
    if (c.server == Server::kStoppedX) {
      kill(x->pid(), SIGSTOP);
      std::this_thread::sleep_for(300ms);  // the player's next requests go unanswered
    }
    ASSERT_EQ(session.WaitForExit(0ms), std::nullopt) << session.Log();
    const auto signalled = std::chrono::steady_clock::now();
    session.Signal(c.signal);
    // About half a second (the figure is printed); a player that waits on its server instead
    // waits for ever.
    const std::optional<int> status = session.WaitForExit(20s);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - signalled);
    std::printf("%s: ended %lld ms after the signal\n", c.name,
                static_cast<long long>(took.count()));
    EXPECT_EQ(status, 0) << session.Log();
    EXPECT_THAT(session.ExtractionFolders(), IsEmpty());
  }
}

// The processes whose environment names this runtime folder: the player's, and whatever it
// started, daemons included.
std::vector<pid_t> ProcessesOf(const std::string& runtime_folder) {
  std::vector<pid_t> found;
  const std::string mark = "XDG_RUNTIME_DIR=" + runtime_folder;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream file(entry.path() / "environ", std::ios::binary);
    for (std::string variable; std::getline(file, variable, '\0');) {
      if (variable == mark) found.push_back(std::stoi(name));
    }
  }
  return found;
}

// Without a session bus every show left an X11-autolaunched dbus-daemon behind (SDL asks for
// the bus as its video starts), and its error box the accessibility daemons too. Nothing the
// player starts stays now.
TEST(PlayerServers, WithoutASessionBusNoDaemonIsLeftBehind) {
  PlayerSession session;
  PackageHeader show = OneSlideShowWithMusic(session);
  show.Slides[0].PictureData = Bytes::Copy(std::vector<uint8_t>(4096, 0x5A));  // no picture
  session.Write(show);
  session.Start({{"DBUS_SESSION_BUS_ADDRESS", ""}});
  std::optional<std::string> box;
  for (int i = 0; i < 300 && !box; ++i) {
    box = Shell("xdotool search --onlyvisible --name '^エラー$' 2>/dev/null");
    if (!box) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(box.has_value()) << "no error box\n" << session.Log();
  const std::string id = box->substr(0, box->find('\n'));
  Shell("xdotool windowfocus --sync " + id + " key --window " + id + " Return");
  EXPECT_EQ(session.WaitForExit(20s), 0);
  const std::vector<pid_t> left = ProcessesOf(session.folder() + "/run");
  for (pid_t pid : left) kill(pid, SIGTERM);  // the test's own, through the player
  EXPECT_THAT(left, IsEmpty());
}

}  // namespace
}  // namespace slidesaver::gui_testing
