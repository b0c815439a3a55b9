#pragma once
// The show's sound: one background music, and the slides' sounds, one at a time. A file that
// cannot be played is silence: nothing here reports a failure.
#include <string>

namespace slidesaver::platform {

class Audio {
 public:
  virtual ~Audio() = default;
  // Opens the music file and plays it once, from its beginning.
  virtual void StartMusic(const std::string& path) = 0;
  // The open music has played to its end (false when none is open).
  virtual bool MusicEnded() = 0;
  // Plays the open music again from its beginning.
  virtual void RestartMusic() = 0;
  // Stops and closes the music, when one is open.
  virtual void CloseMusic() = 0;
  // Plays a sound file once; it ends the sound that plays.
  virtual void PlaySound(const std::string& path) = 0;
  // Ends the sound that plays, if one does.
  virtual void StopSound() = 0;
};

}  // namespace slidesaver::platform
