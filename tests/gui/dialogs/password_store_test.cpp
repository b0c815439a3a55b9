// The password store and the password switch: files on disk, no display.
#include "platform/linux/sodium/password_store.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include <gtest/gtest.h>

#include "gui_session.h"
#include "platform/linux/posix/password_switch.h"

namespace slidesaver::linux_platform {
namespace {

namespace fs = std::filesystem;
using gui_test::FileExists;
using gui_test::PrivateUser;
using gui_test::ReadFile;
using gui_test::WriteFile;

std::unique_ptr<SecretText> Secret(const std::string& text) {
  auto secret = std::make_unique<SecretText>();
  EXPECT_TRUE(secret->Assign(text.data(), text.size()));
  return secret;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class PasswordStoreTest : public ::testing::Test {
 protected:
  PrivateUser user_;
  std::string path_ = user_.PasswordPath();
  PasswordStore store_{path_};
};

TEST_F(PasswordStoreTest, StoresAPrivateArgon2idHashThatVerifies) {
  const mode_t old_mask = umask(0);  // the mode must not depend on the caller's umask
  const std::string error = store_.Store(*Secret("パスワード 1"));
  umask(old_mask);
  ASSERT_EQ(error, "");

  const std::string stored = ReadFile(path_);
  EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u) << stored;
  EXPECT_EQ(stored.find('\n'), stored.size() - 1);
  struct stat info {};
  ASSERT_EQ(stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(stat(user_.ConfigFolder().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0077, 0u) << "the created config folder is not private";

  EXPECT_EQ(store_.State(), StoredPassword::Set);
  EXPECT_EQ(store_.Check(*Secret("パスワード 1")), PasswordCheck::Right);
  EXPECT_EQ(store_.Check(*Secret("パスワード 2")), PasswordCheck::Wrong);
  EXPECT_EQ(store_.Check(*Secret("パスワード 1 ")), PasswordCheck::Wrong);
  EXPECT_EQ(store_.Check(*Secret("")), PasswordCheck::Wrong);
}

TEST_F(PasswordStoreTest, EachStoreReplacesTheHashWithAFreshlySaltedOne) {
  ASSERT_EQ(store_.Store(*Secret("same")), "");
  const std::string first = ReadFile(path_);
  ASSERT_EQ(store_.Store(*Secret("same")), "");
  EXPECT_NE(ReadFile(path_), first);
  ASSERT_EQ(store_.Store(*Secret("")), "");  // an empty password is a password too
  EXPECT_EQ(store_.Check(*Secret("")), PasswordCheck::Right);
  EXPECT_EQ(store_.Check(*Secret("same")), PasswordCheck::Wrong);
  EXPECT_EQ(std::distance(fs::directory_iterator(user_.ConfigFolder()), fs::directory_iterator()),
            1)
      << "a temporary file was left beside the password";
}

TEST_F(PasswordStoreTest, MissingFileMeansNoPassword) {
  EXPECT_EQ(store_.State(), StoredPassword::None);
  EXPECT_EQ(store_.Check(*Secret("anything")), PasswordCheck::NoPassword);
  EXPECT_EQ(PasswordStore("").State(), StoredPassword::None);
}

TEST_F(PasswordStoreTest, FilesWithoutAUsableHashAreUnreadableNotNoPassword) {
  ASSERT_EQ(store_.Store(*Secret("real")), "");
  const std::string real = ReadFile(path_);
  const std::string huge_memory =
      "$argon2id$v=19$m=4194304,t=2,p=1" + real.substr(real.rfind('$', real.rfind('$') - 1));
  const std::vector<std::string> corrupt = {
      "",
      "\n",
      "password\n",
      real.substr(0, real.size() / 2),
      real.substr(0, real.size() - 2) + "!\n",
      "$argon2id$v=19$m=65536,t=2,p=1$\n",
      "$scrypt$" + real.substr(10),
      huge_memory,  // would make every check take gigabytes
      std::string(5000, 'a'),
      real + real,
  };
  for (const std::string& content : corrupt) {
    WriteFile(path_, content);
    EXPECT_EQ(store_.State(), StoredPassword::Unreadable) << content;
    EXPECT_EQ(store_.Check(*Secret("real")), PasswordCheck::Unreadable) << content;
  }
  fs::remove(path_);
  fs::create_directory(path_);
  EXPECT_EQ(store_.State(), StoredPassword::Unreadable);
  EXPECT_EQ(store_.Check(*Secret("real")), PasswordCheck::Unreadable);
}

TEST_F(PasswordStoreTest, AFailedStoreKeepsThePreviousFileAndLeavesNothingBehind) {
  ASSERT_EQ(store_.Store(*Secret("before")), "");
  // A folder where the file should be: the rename fails.
  PasswordStore blocked(user_.ConfigFolder() + "/blocked");
  fs::create_directories(user_.ConfigFolder() + "/blocked/inside");
  EXPECT_NE(blocked.Store(*Secret("after")), "");
  EXPECT_TRUE(fs::is_directory(user_.ConfigFolder() + "/blocked/inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(user_.ConfigFolder()), fs::directory_iterator()),
            2);
  // A file where the folder should be.
  PasswordStore under_file(path_ + "/password");
  const std::string error = under_file.Store(*Secret("after"));
  EXPECT_NE(error, "");
  EXPECT_NE(error.find(path_), std::string::npos) << error;
  EXPECT_EQ(store_.Check(*Secret("before")), PasswordCheck::Right);
}

TEST(SecretTextTest, HoldsUpToItsCapacityAndComparesExactly) {
  SecretText a, b;
  const std::string longest(SecretText::kCapacity, 'x');
  EXPECT_TRUE(a.Assign(longest.data(), longest.size()));
  EXPECT_EQ(a.size(), longest.size());
  EXPECT_FALSE(b.Assign((longest + "x").data(), longest.size() + 1));
  EXPECT_EQ(b.size(), 0u);
  b.Assign(longest.data(), longest.size());
  EXPECT_TRUE(a.Equals(b));
  b.Assign("x", 1);
  EXPECT_FALSE(a.Equals(b));
  a.Clear();
  EXPECT_EQ(a.size(), 0u);
  EXPECT_EQ(a.data()[0], '\0');
}

TEST(PasswordFilesTest, LiveInTheUsersConfigFolder) {
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(PasswordStore::DefaultPath(), "/somewhere/config/slidesaver/password");
  }
  ScopedEnv home("HOME", "/home/someone");
  for (const char* config : {static_cast<const char*>(nullptr), "", "relative/config"}) {
    ScopedEnv unused("XDG_CONFIG_HOME", config);
    EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/slidesaver");
  }
}

class PasswordSwitchTest : public ::testing::Test {
 protected:
  bool SwitchWith(const std::string& content) {
    WriteFile(path_, content);
    return ReadPasswordSwitch(path_);
  }
  PrivateUser user_;
  std::string path_ = user_.Root() + "/desktop.conf";
};

TEST_F(PasswordSwitchTest, NonZeroNumberSwitchesThePasswordOn) {
  EXPECT_FALSE(ReadPasswordSwitch(path_)) << "a missing file is off";
  EXPECT_TRUE(SwitchWith("ScreenSaveUsePassword=1\n"));
  EXPECT_FALSE(SwitchWith("ScreenSaveUsePassword=0\n"));
  EXPECT_TRUE(SwitchWith("ScreenSaveUsePassword=-1"));
  EXPECT_TRUE(SwitchWith("ScreenSaveUsePassword=4294967295\n"));
  EXPECT_TRUE(SwitchWith("  screensaveusepassword = 7 \r\n"));
  EXPECT_TRUE(SwitchWith("# desktop\nOther=0\nScreenSaveUsePassword=1\nMore=x\n"));
  EXPECT_FALSE(SwitchWith(""));
  EXPECT_FALSE(SwitchWith("Other=1\n"));
  EXPECT_FALSE(SwitchWith("ScreenSaveUsePassword\n"));
  EXPECT_FALSE(SwitchWith("ScreenSaveUsePasswordX=1\n"));
}

TEST_F(PasswordSwitchTest, ValueThatIsNotA32BitNumberIsOff) {
  for (const char* value : {"yes", "1x", "0x1", "4294967296", "-2147483649", "", "1 2"})
    EXPECT_FALSE(SwitchWith(std::string("ScreenSaveUsePassword=") + value + "\n")) << value;
  EXPECT_FALSE(SwitchWith("ScreenSaveUsePassword=1\nScreenSaveUsePassword=0\n"))
      << "the last line decides";
  EXPECT_TRUE(SwitchWith("ScreenSaveUsePassword=0\nScreenSaveUsePassword=1\n"));
  EXPECT_FALSE(SwitchWith("ScreenSaveUsePassword=1\nScreenSaveUsePassword=on\n"));
  EXPECT_TRUE(SwitchWith(std::string(10000, 'x') + "\nScreenSaveUsePassword=1\n"));
}

// A line of a gigabyte is never read whole: the switch is read in a child whose peak memory
// stays small, and what lies beyond the first megabyte is not read at all.
TEST_F(PasswordSwitchTest, AGigabyteLineIsNotReadWhole) {
  WriteFile(path_, "ScreenSaveUsePassword=1\n");
  fs::resize_file(path_, uint64_t{1} << 30);  // NUL bytes, without a line end
  {
    std::ofstream tail(path_, std::ios::binary | std::ios::app);
    tail << "\nScreenSaveUsePassword=0\n";
  }
  const pid_t child = fork();
  if (child == 0) _exit(ReadPasswordSwitch(path_) ? 1 : 0);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "the first line decides; the last one is not reached";
  EXPECT_LT(usage.ru_maxrss, 128 * 1024) << "KiB at the peak";
}

TEST_F(PasswordSwitchTest, IsReadFromTheUsersConfigFolder) {
  ScopedEnv config("XDG_CONFIG_HOME", (user_.Root() + "/config").c_str());
  EXPECT_FALSE(ReadPasswordSwitch());
  fs::create_directories(user_.ConfigFolder());
  WriteFile(user_.ConfigFolder() + "/desktop.conf", "ScreenSaveUsePassword=1\n");
  EXPECT_TRUE(ReadPasswordSwitch());
}

}  // namespace
}  // namespace slidesaver::linux_platform
