// The password dialogs on their own display: /A of the real player, and the check that the
// show asks for, called by dialog_host over a full-screen window of its own.
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "gui_session.h"
#include "platform/linux/sodium/password_store.h"

namespace slidesaver::gui_test {
namespace {

using linux_platform::PasswordCheck;
using linux_platform::PasswordStore;
using linux_platform::SecretText;

PasswordCheck Check(const std::string& path, const std::string& password) {
  SecretText secret;
  secret.Assign(password.data(), password.size());
  return PasswordStore(path).Check(secret);
}

void Store(const std::string& path, const std::string& password) {
  SecretText secret;
  secret.Assign(password.data(), password.size());
  ASSERT_EQ(PasswordStore(path).Store(secret), "");
}

// The value of "name=" in a program's output file, once it is there.
std::string OutputValue(const std::string& output_path, const std::string& name) {
  std::string value;
  Eventually([&] {
    const std::string text = ReadFile(output_path);
    const size_t at = text.find(name + "=");
    if (at == std::string::npos || text.find('\n', at) == std::string::npos) return false;
    value = text.substr(at + name.size() + 1, text.find('\n', at) - at - name.size() - 1);
    return true;
  });
  return value;
}

class PasswordChange : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(user_.Root() + "/app");
    InstallPlayer(player_);
  }
  std::string Open(const std::vector<std::string>& arguments = {"/A"}) {
    std::vector<std::string> argv{player_};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    child_ = std::make_unique<Child>(argv, user_.Environment());
    const std::string window = WaitForWindow("^パスワードの変更$");
    EXPECT_FALSE(window.empty()) << "the password dialog did not appear";
    EXPECT_TRUE(window.empty() || WaitForFocus(window)) << "the dialog did not take the focus";
    return window;
  }
  // The dialog is still up a moment after an answer it refused.
  void ExpectStillAsking(const std::string& window) {
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(child_->Running());
    EXPECT_FALSE(WaitForWindow("^パスワードの変更$", 1s).empty());
    (void)window;
  }

  PrivateUser user_;
  std::string player_ = user_.Root() + "/app/show.scr";
  std::string password_ = user_.PasswordPath();
  std::unique_ptr<Child> child_;
};

TEST_F(PasswordChange, FirstPasswordIsStoredAsAPrivateArgon2idHash) {
  ASSERT_FALSE(Open().empty());
  TypeText("first secret");
  PressKeys({"Tab"});
  TypeText("first secret");
  PressKeys({"Return"});
  ASSERT_EQ(child_->WaitExit(), 0);

  const std::string stored = ReadFile(password_);
  EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u) << stored;
  EXPECT_EQ(stored.find("first secret"), std::string::npos);
  struct stat info {};
  ASSERT_EQ(stat(password_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(Check(password_, "first secret"), PasswordCheck::Right);
  EXPECT_EQ(Check(password_, "first secreT"), PasswordCheck::Wrong);
}

TEST_F(PasswordChange, AsksForTheCurrentPasswordAndRefusesAWrongOne) {
  Store(password_, "old one");
  const std::string before = ReadFile(password_);
  const std::string window = Open();
  ASSERT_FALSE(window.empty());
  TypeText("not it");
  PressKeys({"Tab"});
  TypeText("new one");
  PressKeys({"Tab"});
  TypeText("new one");
  PressKeys({"Return"});
  ExpectStillAsking(window);
  EXPECT_EQ(ReadFile(password_), before);

  // The wrong answer was cleared and the field has the focus again; the new ones are kept.
  TypeText("old one");
  PressKeys({"Return"});
  ASSERT_EQ(child_->WaitExit(), 0);
  EXPECT_EQ(Check(password_, "new one"), PasswordCheck::Right);
  EXPECT_EQ(Check(password_, "old one"), PasswordCheck::Wrong);
}

TEST_F(PasswordChange, DifferentNewPasswordsAreAskedAgain) {
  const std::string window = Open();
  ASSERT_FALSE(window.empty());
  TypeText("one");
  PressKeys({"Tab"});
  TypeText("two");
  PressKeys({"Return"});
  ExpectStillAsking(window);
  EXPECT_FALSE(FileExists(password_));

  TypeText("three");
  PressKeys({"Tab"});
  TypeText("three");
  PressKeys({"Return"});
  ASSERT_EQ(child_->WaitExit(), 0);
  EXPECT_EQ(Check(password_, "three"), PasswordCheck::Right);
}

TEST_F(PasswordChange, EscapeChangesNothing) {
  Store(password_, "kept");
  const std::string before = ReadFile(password_);
  ASSERT_FALSE(Open().empty());
  TypeText("kept");
  PressKeys({"Tab"});
  TypeText("other");
  PressKeys({"Tab"});
  TypeText("other");
  PressKeys({"Escape"});
  ASSERT_EQ(child_->WaitExit(), 0);
  EXPECT_EQ(ReadFile(password_), before);
}

TEST_F(PasswordChange, UnreadableStoredPasswordIsReplacedWithoutAskingForIt) {
  std::filesystem::create_directories(user_.ConfigFolder());
  WriteFile(password_, "this is no hash\n");
  ASSERT_FALSE(Open().empty());
  TypeText("fresh");
  PressKeys({"Tab"});
  TypeText("fresh");
  PressKeys({"Return"});
  ASSERT_EQ(child_->WaitExit(), 0);
  EXPECT_EQ(Check(password_, "fresh"), PasswordCheck::Right);
}

TEST_F(PasswordChange, DialogBelongsToTheOwnerWindowGivenOnTheCommandLine) {
  const std::string host_output = user_.Root() + "/owner.txt";
  Child owner({DIALOG_HOST, "owner"}, user_.Environment(), host_output);
  const std::string owner_window = OutputValue(host_output, "window");
  ASSERT_FALSE(owner_window.empty());

  const std::string window = Open({"/A", owner_window});
  ASSERT_FALSE(window.empty());
  const std::string transient = RunTool({"xprop", "-id", window, "WM_TRANSIENT_FOR"}).output;
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%lx", std::stoul(owner_window));
  EXPECT_NE(transient.find(hex), std::string::npos) << transient;
  PressKeys({"Escape"});
  EXPECT_EQ(child_->WaitExit(), 0);

  // An owner that doesn't exist: the dialog stands on its own.
  ASSERT_FALSE(Open({"/A", "2147483647"}).empty());
  PressKeys({"Escape"});
  EXPECT_EQ(child_->WaitExit(), 0);
}

class PasswordCheckDialog : public ::testing::Test {
 protected:
  // Starts dialog_host's show and waits for the check's dialog over it.
  std::string Open() {
    child_ = std::make_unique<Child>(std::vector<std::string>{DIALOG_HOST, "verify"},
                                     user_.Environment(), output_);
    show_window_ = OutputValue(output_, "window");
    const std::string window = WaitForWindow("^スクリーン セーバー$");
    EXPECT_FALSE(window.empty()) << "the password dialog did not appear";
    EXPECT_TRUE(window.empty() || WaitForFocus(window)) << "the dialog did not take the focus";
    return window;
  }
  std::string Result() {
    EXPECT_EQ(child_->WaitExit(), 0);
    return OutputValue(output_, "result");
  }

  PrivateUser user_;
  std::string output_ = user_.Root() + "/verify.txt";
  std::string password_ = user_.PasswordPath();
  std::string show_window_;
  std::unique_ptr<Child> child_;
};

TEST_F(PasswordCheckDialog, RightPasswordIsAcceptedFromADialogAboveTheShow) {
  Store(password_, "let me in");
  const std::string window = Open();
  ASSERT_FALSE(window.empty());

  const std::string transient = RunTool({"xprop", "-id", window, "WM_TRANSIENT_FOR"}).output;
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%lx", std::stoul(show_window_));
  EXPECT_NE(transient.find(hex), std::string::npos) << transient;
  const std::string state = RunTool({"xprop", "-id", window, "_NET_WM_STATE"}).output;
  EXPECT_NE(state.find("_NET_WM_STATE_ABOVE"), std::string::npos) << state;
  // Seen on the screen: the middle of the dialog is not the show's black.
  const std::string shot = user_.Root() + "/screen.png";
  SaveScreenshot(shot);
  SaveScreenshot(TEST_OUTPUT_DIR "/password-check-dialog-screen.png");
  const Geometry at = WindowGeometry(window);
  const std::string pixel = PixelAt(shot, at.x + at.width / 2, at.y + at.height / 2);
  EXPECT_NE(pixel, "black") << "the dialog is not on top of the show";
  EXPECT_NE(pixel, "srgb(0,0,0)") << "the dialog is not on top of the show";

  TypeText("let me in");
  PressKeys({"Return"});
  EXPECT_EQ(Result(), "1");
}

TEST_F(PasswordCheckDialog, WrongPasswordAndEscapeAreRefused) {
  Store(password_, "let me in");
  ASSERT_FALSE(Open().empty());
  TypeText("let me In");
  PressKeys({"Return"});
  EXPECT_EQ(Result(), "0");

  ASSERT_FALSE(Open().empty());
  TypeText("let me in");
  PressKeys({"Escape"});
  EXPECT_EQ(Result(), "0");
}

TEST_F(PasswordCheckDialog, NoStoredPasswordIsAcceptedWithoutAsking) {
  Child host({DIALOG_HOST, "verify"}, user_.Environment(), output_);
  EXPECT_EQ(host.WaitExit(), 0);
  EXPECT_EQ(OutputValue(output_, "result"), "1");
}

// Nothing to check against: the dialog says so, and its OK lets the show end.
TEST_F(PasswordCheckDialog, UnreadableStoredPasswordIsSaidAndLetsTheShowEnd) {
  std::filesystem::create_directories(user_.ConfigFolder());
  WriteFile(password_, "$argon2id$v=19$m=65536,t=2,p=1$broken\n");
  const std::string window = Open();
  ASSERT_FALSE(window.empty());
  SaveWindowShot(window, TEST_OUTPUT_DIR "/password-unreadable.png");
  PressKeys({"Return"});
  EXPECT_EQ(Result(), "1");
}

}  // namespace
}  // namespace slidesaver::gui_test
