// The change-password dialog's rules on a real password store, without a window.
#include "platform/linux/password_change.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "tests/unit/test_support.h"

namespace slidesaver::linux_platform {
namespace {

using Field = PasswordField;
enum class Before { NoPassword, Stored, Unreadable };

constexpr const char* kStoredPassword = "old one";

class PasswordChangeTest : public ::testing::Test {
 protected:
  void Prepare(Before before) {
    std::filesystem::remove(path_);
    if (before == Before::Stored) {
      ASSERT_EQ(store_.Store(Secret(kStoredPassword)), "");
    }
    if (before == Before::Unreadable) testing::WriteBytes(path_, testing::ToBytes("no hash\n"));
  }
  const SecretText& Secret(const std::string& text) {
    secret_.Assign(text.data(), text.size());
    return secret_;
  }
  bool Holds(const std::string& password) {
    return store_.Check(Secret(password)) == PasswordCheck::Right;
  }
  // Plays the dialog's fields: hands out what was typed and notes which fields were taken.
  PasswordChange::TakeField Typed(std::map<Field, std::string> typed) {
    taken_.clear();
    return [this, typed](Field field, SecretText& secret) {
      taken_.push_back(field);
      const std::string& text = typed.at(field);
      secret.Assign(text.data(), text.size());
    };
  }

  testing::TempFolder folder_;
  std::string path_ = folder_ / "password";
  PasswordStore store_{path_};
  SecretText secret_;
  std::vector<Field> taken_;
};

TEST_F(PasswordChangeTest, AsksForTheCurrentPasswordOnlyWhenOneCanBeRead) {
  const struct {
    Before before;
    std::vector<Field> fields;
    const char* note;
  } cases[] = {
      {Before::NoPassword, {Field::New, Field::Confirm}, nullptr},
      {Before::Stored, {Field::Current, Field::New, Field::Confirm}, nullptr},
      {Before::Unreadable,
       {Field::New, Field::Confirm},
       "保存されているパスワードを読み取れません。新しいパスワードを設定してください。"},
  };
  for (const auto& c : cases) {
    Prepare(c.before);
    const PasswordChange change(store_);
    EXPECT_EQ(change.Fields(), c.fields);
    EXPECT_STREQ(change.Note(), c.note);
  }
}

TEST_F(PasswordChangeTest, StoresTheNewPasswordOrSaysWhatIsWrong) {
  const char* kWrongCurrent = "現在のパスワードが正しくありません。";
  const char* kMismatch = "新しいパスワードと確認入力が一致しません。もう一度入力してください。";
  const struct {
    Before before;
    std::string current, fresh, confirm;
    const char* refusal;  // nullptr: stored
    Field focus;
    std::vector<Field> taken;
  } cases[] = {
      {Before::NoPassword, "", "first", "first", nullptr, {}, {Field::New, Field::Confirm}},
      {Before::NoPassword, "", "", "", nullptr, {}, {Field::New, Field::Confirm}},
      {Before::NoPassword, "", "one", "two", kMismatch, Field::New, {Field::New, Field::Confirm}},
      {Before::Stored,
       kStoredPassword,
       "new",
       "new",
       nullptr,
       {},
       {Field::Current, Field::New, Field::Confirm}},
      {Before::Stored,
       kStoredPassword,
       "new",
       "New",
       kMismatch,
       Field::New,
       {Field::Current, Field::New, Field::Confirm}},
      // A wrong current password leaves the new ones in their fields.
      {Before::Stored, "not it", "new", "new", kWrongCurrent, Field::Current, {Field::Current}},
      {Before::Unreadable, "", "fresh", "fresh", nullptr, {}, {Field::New, Field::Confirm}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fresh + "/" + c.confirm + " after " + c.current);
    Prepare(c.before);
    PasswordChange change(store_);
    const std::optional<PasswordRefusal> refusal = change.Submit(
        Typed({{Field::Current, c.current}, {Field::New, c.fresh}, {Field::Confirm, c.confirm}}));
    EXPECT_EQ(taken_, c.taken);
    if (!c.refusal) {
      EXPECT_FALSE(refusal) << refusal->message;
      EXPECT_TRUE(Holds(c.fresh));
      continue;
    }
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, c.refusal);
    EXPECT_EQ(refusal->focus, c.focus);
    if (c.before == Before::Stored) {
      EXPECT_TRUE(Holds(kStoredPassword));
    } else {
      EXPECT_FALSE(std::filesystem::exists(path_));
    }
  }
}

TEST_F(PasswordChangeTest, AStoredPasswordThatTurnsUnreadableOrAFailedStoreIsSaid) {
  Prepare(Before::Stored);
  PasswordChange change(store_);
  testing::WriteBytes(path_, testing::ToBytes("no hash\n"));
  std::optional<PasswordRefusal> refusal = change.Submit(
      Typed({{Field::Current, kStoredPassword}, {Field::New, "a"}, {Field::Confirm, "a"}}));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->message, "保存されているパスワードを読み取れません。");
  EXPECT_EQ(refusal->focus, Field::Current);

  PasswordStore under_file(path_ + "/password");  // a file where the folder should be
  PasswordChange first(under_file);
  refusal = first.Submit(Typed({{Field::New, "a"}, {Field::Confirm, "a"}}));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->message.rfind("パスワードを保存できませんでした。\n" + path_, 0), 0u)
      << refusal->message;
  EXPECT_EQ(refusal->focus, Field::New);
}

}  // namespace
}  // namespace slidesaver::linux_platform
