// The Linux process and system pieces: the program file, the Windows-style argument text, the
// single-instance lock, the private runtime folder and the active window.
#include <gtest/gtest.h>  // before Xlib, whose None macro clashes with gtest's None

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/runtime_folder.h"
#include "tests/unit/linux_platform/env_guard.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using testing::EnvGuard;

std::unique_ptr<platform::Process> ProcessWith(std::vector<std::string> args) {
  static std::vector<std::vector<char>> storage;  // argv must outlive the call only
  std::vector<char*> argv;
  for (const std::string& a : args) {
    storage.emplace_back(a.begin(), a.end());
    storage.back().push_back('\0');
    argv.push_back(storage.back().data());
  }
  argv.push_back(nullptr);
  return linux_platform::MakeLinuxProcess(static_cast<int>(args.size()), argv.data());
}

TEST(LinuxProcess, ProgramFolderAndBaseNameComeFromTheRunningFile) {
  auto process = ProcessWith({"whatever-argv0"});
  const fs::path self = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(process->ProgramFolder(), self.parent_path().string());
  EXPECT_EQ(process->ProgramBaseName(), self.stem().string());
  EXPECT_EQ(linux_platform::MakePosixFileSystem()->GetPathRules().separator, '/');
}

TEST(LinuxProcess, ArgumentsAreJoinedAsTheWindowsCommandLineCarriesThem) {
  EXPECT_EQ(ProcessWith({"p"})->CommandLineArguments(), "");
  EXPECT_EQ(ProcessWith({"p", "/S"})->CommandLineArguments(), "/S");
  EXPECT_EQ(ProcessWith({"p", "/A", "567"})->CommandLineArguments(), "/A 567");
  EXPECT_EQ(ProcessWith({"p", "/c:12", "a b", ""})->CommandLineArguments(), "/c:12 \"a b\" \"\"");
  EXPECT_EQ(ProcessWith({"p", "say \"hi\"", "x\\"})->CommandLineArguments(),
            "\"say \\\"hi\\\"\" x\\");
  EXPECT_EQ(ProcessWith({"p", "dir\\ "})->CommandLineArguments(), "\"dir\\ \"");
  EXPECT_EQ(ProcessWith({"p", "tail\\ x\\"})->CommandLineArguments(), "\"tail\\ x\\\\\"");
}

TEST(LinuxProcess, OneInstanceClaimPerProgramFileUntilItsOwnerEnds) {
  testing::TempFolder runtime;
  EnvGuard env("XDG_RUNTIME_DIR", runtime.path().c_str());
  auto first = ProcessWith({"p"});
  EXPECT_FALSE(first->AnotherInstanceRunning());
  EXPECT_FALSE(first->AnotherInstanceRunning());  // the claim holder asks again: still first
  {
    auto second = ProcessWith({"p"});
    EXPECT_TRUE(second->AnotherInstanceRunning());
  }
  first.reset();  // the claim ends with its owner
  auto third = ProcessWith({"p"});
  EXPECT_FALSE(third->AnotherInstanceRunning());
  // The lock lives in the private runtime folder.
  EXPECT_TRUE(fs::exists(runtime / "slidesaver/instances.lock"));
}

std::unique_ptr<platform::Process> ProcessOf(const std::string& show_file, uint32_t window = 0,
                                             bool single_instance = true) {
  linux_platform::ProcessSetup setup;
  setup.show_file = show_file;
  setup.instance_window = window;
  setup.single_instance = single_instance;
  return linux_platform::MakeLinuxProcess(setup);
}

// One claim per show file, and per window for a screen saver's program; however many files and
// windows, one lock file; the lock files of earlier versions go when nobody holds them.
TEST(LinuxProcess, ClaimsPerFileAndWindowShareOneLockFile) {
  testing::TempFolder runtime, shows;
  EnvGuard env("XDG_RUNTIME_DIR", runtime.path().c_str());
  const std::string folder = runtime / "slidesaver";
  fs::create_directory(folder);
  testing::WriteBytes(folder + "/instance-00000000000000aa.lock", {});
  testing::WriteBytes(folder + "/instance-00000000000000bb.lock", {});
  const int held = open((folder + "/instance-00000000000000bb.lock").c_str(), O_RDWR);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);  // a player of an earlier version runs

  std::vector<std::string> files;
  for (int i = 0; i < 20; ++i) {
    files.push_back(shows / ("show" + std::to_string(i) + ".scr"));
    testing::WriteBytes(files.back(), {1});
  }
  std::vector<std::unique_ptr<platform::Process>> first;
  for (const std::string& file : files) {
    for (uint32_t window : {0u, 0x400008u, 0x600008u}) {
      first.push_back(ProcessOf(file, window));
      EXPECT_FALSE(first.back()->AnotherInstanceRunning()) << file << " " << window;
      EXPECT_TRUE(ProcessOf(file, window)->AnotherInstanceRunning()) << file << " " << window;
    }
  }
  // The same file by another path (a link) is the same claim; without a claim any number run.
  fs::create_symlink(files[0], shows / "link.scr");
  EXPECT_TRUE(ProcessOf(shows / "link.scr")->AnotherInstanceRunning());
  EXPECT_FALSE(ProcessOf(files[0], 0, false)->AnotherInstanceRunning());
  first.clear();
  EXPECT_FALSE(ProcessOf(files[0], 0x400008)->AnotherInstanceRunning());

  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(folder)) {
    left.push_back(e.path().filename().string());
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"instance-00000000000000bb.lock", "instances.lock"}));
  close(held);
}

TEST(LinuxProcess, AShowFileIsTheProgramFileForItsNames) {
  testing::TempFolder shows;
  testing::WriteBytes(shows / "holiday.2024.scr", {1});
  auto process = ProcessOf(shows / "holiday.2024.scr");
  EXPECT_EQ(process->ProgramFolder(), fs::canonical(shows.path()).string());
  EXPECT_EQ(process->ProgramBaseName(), "holiday.2024");
}

TEST(SettingsFileOfShow, BesideTheShowElseInTheConfigFolder) {
  testing::TempFolder shows, config;
  EnvGuard env("XDG_CONFIG_HOME", config.path().c_str());
  EXPECT_EQ(linux_platform::SettingsFileOfShow(shows / "holiday.scr"), shows / "holiday.set");
  EXPECT_EQ(linux_platform::SettingsFileOfShow("demo.scr"), "demo.set");
  // A folder that cannot be written (here: one that does not exist).
  EXPECT_EQ(linux_platform::SettingsFileOfShow(shows / "gone/demo.scr"),
            config / "slidesaver/demo.set");
  EXPECT_TRUE(fs::is_directory(config / "slidesaver"));
  if (geteuid() != 0) {  // root writes everywhere
    fs::create_directory(shows / "read-only");
    fs::permissions(shows / "read-only", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(linux_platform::SettingsFileOfShow(shows / "read-only/x.bin"),
              config / "slidesaver/x.set");
  }
  testing::TempFolder home;
  EnvGuard no_config("XDG_CONFIG_HOME", nullptr);
  EnvGuard home_env("HOME", home.path().c_str());
  EXPECT_EQ(linux_platform::SettingsFileOfShow("/nowhere/a.scr"),
            home / ".config/slidesaver/a.set");
}

TEST(RuntimeFolder, CreatedPrivateUnderTheUsersRuntimeFolder) {
  testing::TempFolder runtime;
  EnvGuard env("XDG_RUNTIME_DIR", runtime.path().c_str());
  EXPECT_EQ(linux_platform::PrivateRuntimeFolder(), runtime.path() + "/slidesaver/");
  EXPECT_EQ(fs::status(runtime / "slidesaver").permissions() & fs::perms::all,
            fs::perms::owner_all);
  // An existing folder that others may read is narrowed.
  chmod((runtime / "slidesaver").c_str(), 0755);
  EXPECT_TRUE(linux_platform::PrivateRuntimeFolder());
  EXPECT_EQ(fs::status(runtime / "slidesaver").permissions() & fs::perms::all,
            fs::perms::owner_all);
  // The system's extraction base folder is this folder.
  EXPECT_EQ(linux_platform::MakeLinuxSystem()->ExtractionBaseFolder().path,
            runtime.path() + "/slidesaver/");
}

TEST(RuntimeFolder, WithoutXdgRuntimeDirATmpFolderOfTheUser) {
  EnvGuard env("XDG_RUNTIME_DIR", nullptr);
  const std::string expected = "/tmp/slidesaver-" + std::to_string(getuid()) + "/";
  EXPECT_EQ(linux_platform::PrivateRuntimeFolder(), expected);
  EnvGuard empty("XDG_RUNTIME_DIR", "");
  EXPECT_EQ(linux_platform::PrivateRuntimeFolder(), expected);
}

TEST(RuntimeFolder, RefusedWhenASymlinkAFileOrSomeoneElses) {
  testing::TempFolder runtime;
  EnvGuard env("XDG_RUNTIME_DIR", runtime.path().c_str());
  fs::create_directory(runtime / "elsewhere");
  fs::create_directory_symlink(runtime / "elsewhere", runtime / "slidesaver");
  EXPECT_FALSE(linux_platform::PrivateRuntimeFolder());
  // The system says why, for the message box and the log.
  const platform::BaseFolder refused = linux_platform::MakeLinuxSystem()->ExtractionBaseFolder();
  EXPECT_EQ(refused.path, "");
  EXPECT_EQ(refused.problem, runtime.path() +
                                 "/slidesaver is not a folder (a symlink or a file stands in its "
                                 "place)");
  fs::remove(runtime / "slidesaver");

  testing::WriteBytes(runtime / "slidesaver", {1});
  std::string problem;
  EXPECT_FALSE(linux_platform::PrivateRuntimeFolder(&problem));
  EXPECT_NE(problem.find("not a folder"), std::string::npos) << problem;
  fs::remove(runtime / "slidesaver");

  EnvGuard missing("XDG_RUNTIME_DIR", (runtime / "not-there").c_str());
  EXPECT_FALSE(linux_platform::PrivateRuntimeFolder(&problem));
  EXPECT_EQ(problem,
            "cannot create " + runtime.path() + "/not-there/slidesaver: No such file or directory");

  if (geteuid() == 0) {  // only root can hand a folder to another user
    EnvGuard back("XDG_RUNTIME_DIR", runtime.path().c_str());
    fs::create_directory(runtime / "slidesaver");
    ASSERT_EQ(chown((runtime / "slidesaver").c_str(), 4242, 4242), 0);
    EXPECT_FALSE(linux_platform::PrivateRuntimeFolder(&problem));
    EXPECT_EQ(problem, runtime.path() + "/slidesaver belongs to another user");
  }
}

TEST(LinuxSystem, ForegroundWindowIsTheActiveX11WindowOrZero) {
  auto system = linux_platform::MakeLinuxSystem();
  Display* display = XOpenDisplay(nullptr);
  if (!display) GTEST_SKIP() << "needs the display of tests/gui/run-with-xvfb.sh";
  const Window root = DefaultRootWindow(display);
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  XDeleteProperty(display, root, active);
  XSync(display, False);
  EXPECT_EQ(system->ForegroundWindow(), 0u);  // no window manager tells

  const Window window = XCreateSimpleWindow(display, root, 0, 0, 10, 10, 0, 0, 0);
  XChangeProperty(display, root, active, XA_WINDOW, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&window), 1);
  XSync(display, False);
  EXPECT_EQ(system->ForegroundWindow(), static_cast<platform::WindowHandle>(window));
  XDeleteProperty(display, root, active);
  XDestroyWindow(display, window);
  XCloseDisplay(display);

  EnvGuard no_display("DISPLAY", nullptr);
  EXPECT_EQ(system->ForegroundWindow(), 0u);
}

}  // namespace
}  // namespace slidesaver
