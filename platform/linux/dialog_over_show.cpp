#include "platform/linux/dialog_over_show.h"

#include <utility>

namespace slidesaver::linux_platform {
namespace {

std::function<void()>& Listener() {
  static std::function<void()> listener;
  return listener;
}

}  // namespace

void ListenForDialogOverShow(std::function<void()> listener) { Listener() = std::move(listener); }

void DialogOverShowAppeared() {
  if (Listener()) Listener()();
}

}  // namespace slidesaver::linux_platform
