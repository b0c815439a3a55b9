#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "gdi/surface.h"
#include "package/extracted_show.h"
#include "package/package.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "show/show_music.h"
#include "show/show_state.h"
#include "slides/slide_source.h"

namespace slidesaver {

// The show form: a black full-screen window with the visible show area in its middle, and
// three hidden surfaces: the from-picture and the to-picture of the coming transition, and the
// slide picture as it was loaded. Run() is the whole show.
class ShowForm : public platform::InputSink {
 public:
  // `package_problem`: why the Package was read only in part (empty when it was read whole).
  ShowForm(platform::Platform& platform, const PackageHeader& package, const Settings& settings,
           const ExtractedShow& extracted, std::string package_problem = {});
  // The slides of `source` (a folder's photos) in a show that `package` describes.
  ShowForm(platform::Platform& platform, const PackageHeader& package, const Settings& settings,
           SlideSource& source);
  ~ShowForm() override;
  ShowForm(const ShowForm&) = delete;
  ShowForm& operator=(const ShowForm&) = delete;

  // Set-up, the show, the password check and the shutdown; every run-time error ends the
  // show with one message box.
  void Run();
  // The show window goes away; a failure is ignored.
  void HideWindow();

  // platform::InputSink: the window's input, delivered inside the yields. It only asks the
  // show to stop.
  void KeyDown() override;
  void MouseDown() override;
  void MouseMove() override;
  void CloseRequested() override;

  const ShowState& State() const { return state_; }
  // The transition of each EffectNumber (FindEffect unless a test records them).
  void SetEffectLookup(const EffectEntry* (*lookup)(int32_t effect_number)) {
    find_effect_ = lookup;
  }

  gdi::Surface visible_area;   // the show area the window presents
  gdi::Surface from_picture;   // the outgoing slide as it stands
  gdi::Surface to_picture;     // the incoming slide as it will stand
  gdi::Surface slide_picture;  // the picture file of a slide, at its own size

 private:
  // Window set-up up to the music.
  void SetUp();
  // Hides the cursor, clears the stop request and takes the cursor's resting place.
  void StartShow();
  // The slide-show loop: the first picture, then passes until a stop is requested.
  void RunSlideShow();
  void DrawFirstPicture();
  void RunPass();
  void ComposeFromPicture(const SlideEntry& outgoing);
  void ComposeToPicture(const SlideEntry& incoming);
  void PlaySlideSound(const SlideEntry& incoming);
  void RunTransition(int32_t effect_number);
  // The shutdown up to the password check: true when the show ends, false when a refused
  // password sends it back to its start.
  bool PasswordAllowsEnd();
  void EndShow();
  // The error trap: the show window goes away, the set-up is undone, the box is shown, with
  // what the show knows went wrong before (a damaged Package, files not written) after its
  // texts, and the whole of it goes to the log.
  void ReportError(const std::string& description, const std::string& source);
  std::vector<std::string> KnownCauses() const;

  void RequestStop();
  void StopIfCursorMoved();
  // Takes the slide's picture from the source. While the source is not ready the show answers
  // its input; a close request, and in the running show any stop request, ends the wait and
  // leaves the slide without a picture.
  void LoadSlidePicture(int32_t slide_index, bool show_running);
  const SlideEntry& Slide(int32_t index) const;

  platform::Platform& platform_;
  const PackageHeader& package_;
  const Settings& settings_;
  std::unique_ptr<SlideSource> own_source_;  // the Package's own slides, when no source is given
  SlideSource& source_;
  std::string package_problem_;
  ShowState state_;
  ShowMusic music_;
  bool grabbed_ = false;
  std::optional<int32_t> first_pass_tick_;  // the tick the slide show's first pass began at
  const EffectEntry* (*find_effect_)(int32_t) = FindEffect;
  gdi::Painter painter_;
};

// Runs the show in a show form, then hides its window.
void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, const ExtractedShow& extracted,
                 std::string package_problem = {});
void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, SlideSource& source);

}  // namespace slidesaver
