#pragma once
#include <optional>
#include <string>

namespace slidesaver::linux_platform {

// The user's private folder for the player's run-time files, ending with '/':
// $XDG_RUNTIME_DIR/slidesaver/, or /tmp/slidesaver-<uid>/ when that variable is unset or empty.
// It is created with mode 0700; an existing one is used only when it is a real folder (not a
// symlink) owned by the user, and is then narrowed to 0700. Empty when none can be had; then
// `problem`, when given, says why.
std::optional<std::string> PrivateRuntimeFolder(std::string* problem = nullptr);

}  // namespace slidesaver::linux_platform
