#include "show/show_music.h"

#include "package/extract_files.h"

namespace slidesaver {
namespace {
constexpr size_t kMciReplyCapacity = 256;  // characters, the terminating NUL included
}

bool ShowMusic::Wanted() const {
  return !app_.Package.BgmFileName.empty() && app_.settings.BgmEnabled != 0;
}

void ShowMusic::Send(const std::string& command) {
  mci_reply_ = audio_.MciSendString(command);
  if (mci_reply_.size() > kMciReplyCapacity - 1) mci_reply_.resize(kMciReplyCapacity - 1);
}

void ShowMusic::Open() {
  if (!Wanted()) return;
  // A name the extraction refused to write names no file: no music.
  if (!IsSafeFileName(app_.Package.BgmFileName, separator_, &files_)) return;
  Send("open \"" + app_.TempDir + app_.Package.BgmFileName + "\" alias bgm");
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
  if (!app_.Package.BgmFileName.empty()) Send("close bgm");
}

}  // namespace slidesaver
