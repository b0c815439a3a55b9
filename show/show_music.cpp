#include "show/show_music.h"

namespace slidesaver {
namespace {
constexpr size_t kMciReplyCapacity = 256;  // characters, the terminating NUL included
}

bool ShowMusic::Wanted() const { return !name_.empty() && settings_.BgmEnabled != 0; }

void ShowMusic::Send(const std::string& command) {
  mci_reply_ = audio_.MciSendString(command);
  if (mci_reply_.size() > kMciReplyCapacity - 1) mci_reply_.resize(kMciReplyCapacity - 1);
}

void ShowMusic::Open() {
  if (!Wanted()) return;
  // A name the extraction refused to write names no file: no music.
  const std::optional<std::string> path = source_.PathOf(name_);
  if (!path) return;
  Send("open \"" + *path + "\" alias bgm");
  Send("play bgm");
}

void ShowMusic::KeepAlive() {
  if (!Wanted()) return;
  Send("status bgm mode");
  if (mci_reply_.compare(0, 7, "stopped") == 0) {
    Send("seek bgm to start");
    Send("play bgm");
  }
}

void ShowMusic::Close() {
  if (!name_.empty()) Send("close bgm");
}

}  // namespace slidesaver
