#include "platform/linux/password_change.h"

namespace slidesaver::linux_platform {
namespace {

constexpr const char* kUnreadableChangeText =
    "保存されているパスワードを読み取れません。新しいパスワードを設定してください。";
constexpr const char* kWrongCurrentText = "現在のパスワードが正しくありません。";
constexpr const char* kMismatchText =
    "新しいパスワードと確認入力が一致しません。もう一度入力してください。";
constexpr const char* kNotStoredText = "パスワードを保存できませんでした。";

}  // namespace

PasswordChange::PasswordChange(PasswordStore& store) : store_(store), stored_(store.State()) {}

const char* PasswordChange::Note() const {
  return stored_ == StoredPassword::Unreadable ? kUnreadableChangeText : nullptr;
}

// A password that can't be read can't be asked for: a new one replaces it, which gives no more
// than deleting the file would.
std::vector<PasswordField> PasswordChange::Fields() const {
  if (stored_ == StoredPassword::Set)
    return {PasswordField::Current, PasswordField::New, PasswordField::Confirm};
  return {PasswordField::New, PasswordField::Confirm};
}

std::optional<PasswordRefusal> PasswordChange::Submit(const TakeField& take) {
  const bool ask_current = stored_ == StoredPassword::Set;
  if (ask_current) {
    take(PasswordField::Current, current_);
    const PasswordCheck check = store_.Check(current_);
    current_.Clear();
    if (check == PasswordCheck::Wrong)
      return PasswordRefusal{kWrongCurrentText, PasswordField::Current};
    if (check == PasswordCheck::Unreadable)
      return PasswordRefusal{kUnreadablePasswordText, PasswordField::Current};
  }
  take(PasswordField::New, new_);
  take(PasswordField::Confirm, confirm_);
  const bool same = new_.Equals(confirm_);
  confirm_.Clear();
  if (!same) {
    new_.Clear();
    return PasswordRefusal{kMismatchText, PasswordField::New};
  }
  const std::string error = store_.Store(new_);
  new_.Clear();
  if (!error.empty()) {
    return PasswordRefusal{std::string(kNotStoredText) + "\n" + error,
                           ask_current ? PasswordField::Current : PasswordField::New};
  }
  return std::nullopt;
}

}  // namespace slidesaver::linux_platform
