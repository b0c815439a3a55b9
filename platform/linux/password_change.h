#pragma once
// What the change-password dialog accepts and refuses, apart from its window: the current
// password when a readable one is stored, then the new one twice.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/sodium/password_store.h"

namespace slidesaver::linux_platform {

// Said wherever a stored password can't be read (this dialog and the check before a show ends).
inline constexpr const char* kUnreadablePasswordText = "保存されているパスワードを読み取れません。";

enum class PasswordField { Current, New, Confirm };

// A refused answer: what the dialog says, and the field that gets the focus.
struct PasswordRefusal {
  std::string message;
  PasswordField focus;
};

class PasswordChange {
 public:
  // Copies a field of the dialog into `secret` and empties the field.
  using TakeField = std::function<void(PasswordField field, SecretText& secret)>;

  // Reads the store's state, which decides the fields, once: before the dialog is shown.
  explicit PasswordChange(PasswordStore& store);

  // The note above the fields; nullptr when there is none.
  const char* Note() const;
  // The fields to ask for, in order.
  std::vector<PasswordField> Fields() const;

  // OK: takes the fields it needs, in order, and stores the new password. nullopt once it is
  // stored; otherwise the dialog stays open with the refusal. A refused current password
  // leaves the new ones in their fields.
  std::optional<PasswordRefusal> Submit(const TakeField& take);

 private:
  PasswordStore& store_;
  StoredPassword stored_;
  // Allocated with the dialog, wiped as soon as they have been used.
  SecretText current_, new_, confirm_;
};

}  // namespace slidesaver::linux_platform
