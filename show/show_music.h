#pragma once
// The show's background music: opened at set-up, kept looping by the slide-show loop, closed
// at the end of the show.
#include <string>

#include "package/package.h"
#include "platform/audio.h"
#include "settings/settings.h"
#include "slides/slide_source.h"

namespace slidesaver {

class ShowMusic {
 public:
  ShowMusic(platform::Audio& audio, const PackageHeader& package, const Settings& settings,
            const SlideSource& source)
      : audio_(audio), name_(package.BgmFileName), settings_(settings), source_(source) {}

  // Starts the music when the Package has music and the settings allow it.
  void Open();
  // Once per pass: restarts the music from its beginning when it has played to its end.
  void KeepAlive();
  // Closes the music whenever the Package names a music file, opened or not.
  void Close();

 private:
  bool Wanted() const;

  platform::Audio& audio_;
  const std::string& name_;  // as stored in the Package
  const Settings& settings_;
  const SlideSource& source_;
};

}  // namespace slidesaver
