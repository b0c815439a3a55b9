#pragma once
// The screen-saver password dialogs: changing the password (/A) and checking it before a
// show with the password switched on may end.
#include <cstdint>

#include "platform/linux/sodium/password_store.h"

namespace slidesaver::linux_platform {

constexpr int kPasswordChanged = 0;
constexpr int kPasswordNotChanged = 1;  // cancelled, or no display to ask on

// Asks for the current password when one is stored, then for the new one twice, and stores
// it. The dialog is a transient of the X11 window `owner` when that window exists.
int RunChangePasswordDialog(PasswordStore& store, uint32_t owner);

// Asks for the password over the show window `show` and answers non-zero when it is right.
// No stored password: accepted without asking. A stored password that can't be read:
// refused, after saying so.
int RunVerifyPasswordDialog(const PasswordStore& store, uint32_t show);

}  // namespace slidesaver::linux_platform
