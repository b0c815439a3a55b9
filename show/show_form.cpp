#include "show/show_form.h"

#include <new>

#include "common/run_time_error.h"
#include "slides/extracted_slides.h"

namespace slidesaver {
namespace {

// How long the show waits for a source's picture between two looks at its input.
constexpr int32_t kPictureWaitSlice = 20;

}  // namespace

ShowForm::ShowForm(platform::Platform& platform, const PackageHeader& package,
                   const Settings& settings, const ExtractedShow& extracted,
                   std::string package_problem)
    : visible_area(&platform.window),
      platform_(platform),
      package_(package),
      settings_(settings),
      own_source_(std::make_unique<ExtractedSlides>(package, extracted, platform.pictures)),
      source_(*own_source_),
      package_problem_(std::move(package_problem)),
      music_(platform.audio, package, settings, source_) {
  platform_.window.SetInputSink(this);
}

ShowForm::ShowForm(platform::Platform& platform, const PackageHeader& package,
                   const Settings& settings, SlideSource& source)
    : visible_area(&platform.window),
      platform_(platform),
      package_(package),
      settings_(settings),
      source_(source),
      music_(platform.audio, package, settings, source_) {
  platform_.window.SetInputSink(this);
}

ShowForm::~ShowForm() { platform_.window.SetInputSink(nullptr); }

void ShowForm::Run() {
  try {
    SetUp();
    bool restart = false;
    do {
      if (restart) LoadSlidePicture(0, false);
      StartShow();
      RunSlideShow();
      restart = true;
    } while (!PasswordAllowsEnd());
    EndShow();
  } catch (const RunTimeError& e) {
    ReportError(e.Description(), e.Source());
  } catch (const std::bad_alloc&) {
    ReportError("Out of memory", "slidesaver");
  } catch (const std::exception& e) {
    ReportError(e.what(), "slidesaver");
  }
}

const SlideEntry& ShowForm::Slide(int32_t index) const { return source_.Slide(index); }

void ShowForm::LoadSlidePicture(int32_t slide_index, bool show_running) {
  // The picture before goes first: two pictures of the budget's size are never held at once.
  slide_picture.SetPicture(gdi::Bitmap());
  while (!source_.WaitForPicture(slide_index, kPictureWaitSlice)) {
    platform_.events.Yield();
    if (state_.close_requested || (show_running && state_.stop_requested)) return;
  }
  slide_picture.SetPicture(source_.Picture(slide_index));
}

void ShowForm::HideWindow() {
  try {
    platform_.window.Hide();
  } catch (...) {
  }
}

namespace {

void RunThenHide(ShowForm& form) {
  try {
    form.Run();
  } catch (...) {
    // Whatever ends the process from inside the show, the window goes first.
    form.HideWindow();
    throw;
  }
  form.HideWindow();
}

}  // namespace

void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, const ExtractedShow& extracted,
                 std::string package_problem) {
  ShowForm form(platform, package, settings, extracted, std::move(package_problem));
  RunThenHide(form);
}

void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, SlideSource& source) {
  ShowForm form(platform, package, settings, source);
  RunThenHide(form);
}

}  // namespace slidesaver
