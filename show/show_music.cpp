#include "show/show_music.h"

namespace slidesaver {

bool ShowMusic::Wanted() const { return !name_.empty() && settings_.BgmEnabled != 0; }

void ShowMusic::Open() {
  if (!Wanted()) return;
  // A name the extraction refused to write names no file: no music.
  const std::optional<std::string> path = source_.PathOf(name_);
  if (!path) return;
  audio_.StartMusic(*path);
}

void ShowMusic::KeepAlive() {
  if (Wanted() && audio_.MusicEnded()) audio_.RestartMusic();
}

void ShowMusic::Close() {
  if (!name_.empty()) audio_.CloseMusic();
}

}  // namespace slidesaver
