#pragma once
#include <cstdint>
#include <string>

#include "effects/dispatch.h"
#include "package/extracted_show.h"
#include "package/package.h"
#include "platform/gdi/surface.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "show/show_music.h"
#include "show/show_state.h"

namespace slidesaver {

// The show form: a black full-screen window with the visible show area Picture1 and three
// hidden surfaces. Its load handler is the whole show; its unload handler cleans up.
class Form1 : public platform::InputSink {
 public:
  Form1(platform::Platform& platform, const PackageHeader& package, const Settings& settings,
        const ExtractedShow& extracted);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Set-up, the show, the password check and the shutdown; every run-time error ends the
  // show with one message box.
  void Form_Load();
  // The show window goes away; a failure is ignored.
  void Form_Unload();

  // The input handlers: they only ask the show to stop.
  void Form_KeyDown();
  void Picture1_KeyDown();
  void Form_MouseDown();
  void Picture1_MouseDown();
  void Form_MouseMove();
  void Picture1_MouseMove();

  // platform::InputSink: the window's input, delivered inside the yields.
  void KeyDown(platform::InputTarget target) override;
  void MouseDown(platform::InputTarget target) override;
  void MouseMove(platform::InputTarget target) override;
  void CloseRequested() override;

  const ShowState& State() const { return state_; }
  // The transition of each EffectNumber 1 to 35 (EffectFor unless a test records them).
  void SetEffectLookup(Effect (*lookup)(int32_t effect_number)) { effect_for_ = lookup; }

  gdi::Surface Picture1;
  gdi::Surface NowPicture;
  gdi::Surface NextPicture;
  gdi::Surface MemPicture;

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
  // The error trap: the show window goes away, the set-up is undone, the box is shown.
  void ReportError(const std::string& description, const std::string& source);

  void HideCursor();
  void ShowCursor();
  void CheckMouseMoved();
  void LoadPicture(int32_t slide_index);
  const SlideEntry& Slide(int32_t index) const;

  platform::Platform& platform_;
  const PackageHeader& package_;
  const Settings& settings_;
  const ExtractedShow& extracted_;
  ShowState state_;
  ShowMusic music_;
  bool grabbed_ = false;
  Effect (*effect_for_)(int32_t) = EffectFor;
  gdi::Painter painter_;
};

// Loads the show form (the whole show runs inside its load handler), then unloads it.
void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, const ExtractedShow& extracted);

}  // namespace slidesaver
