#pragma once
// The background music under the MCI alias bgm: opened at set-up, kept looping by the
// slide-show loop, closed at the end of the show.
#include <string>

#include "platform/audio.h"
#include "platform/file_system.h"
#include "startup/app_state.h"

namespace slidesaver {

class ShowMusic {
 public:
  ShowMusic(platform::Audio& audio, platform::FileSystem& files, const AppState& app,
            char path_separator)
      : audio_(audio), files_(files), app_(app), separator_(path_separator) {}

  // "open" and "play" when the Package has music and the settings allow it.
  void Open();
  // Once per pass: restarts the music from its beginning when it has played to its end.
  void KeepAlive();
  // "close bgm" whenever the Package names a music file, opened or not.
  void Close();

 private:
  bool Wanted() const;
  // mciSendString with the 256-character reply buffer of the show.
  void Send(const std::string& command);

  platform::Audio& audio_;
  platform::FileSystem& files_;  // knows the double-byte lead bytes of the code page
  const AppState& app_;
  char separator_;
  std::string mci_reply_;
};

}  // namespace slidesaver
