#include "show/show_form.h"

#include <new>

#include "common/run_time_error.h"

namespace slidesaver {

ShowForm::ShowForm(platform::Platform& platform, const PackageHeader& package,
                   const Settings& settings, const ExtractedShow& extracted,
                   std::string package_problem)
    : visible_area(&platform.window),
      platform_(platform),
      package_(package),
      settings_(settings),
      extracted_(extracted),
      package_problem_(std::move(package_problem)),
      music_(platform.audio, package, settings, extracted) {
  platform_.window.SetInputSink(this);
}

ShowForm::~ShowForm() { platform_.window.SetInputSink(nullptr); }

void ShowForm::Run() {
  try {
    SetUp();
    bool restart = false;
    do {
      if (restart) LoadSlidePicture(0);
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

const SlideEntry& ShowForm::Slide(int32_t index) const {
  const auto& slides = package_.Slides;
  if (index < 0 || static_cast<size_t>(index) >= slides.size()) throw SubscriptOutOfRangeError();
  return slides[static_cast<size_t>(index)];
}

void ShowForm::LoadSlidePicture(int32_t slide_index) {
  const std::string& name = Slide(slide_index).PictureFileName;
  const std::optional<std::string> path = extracted_.PathOf(name);
  // A name the extraction refused to write names no file of the show.
  if (!path) throw FileNotFoundError(extracted_.Folder() + name);
  // The picture before goes first: two pictures of the budget's size are never held at once.
  slide_picture.SetPicture(gdi::Bitmap());
  slide_picture.SetPicture(platform_.pictures.Load(*path));
}

void ShowForm::HideWindow() {
  try {
    platform_.window.Hide();
  } catch (...) {
  }
}

void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, const ExtractedShow& extracted,
                 std::string package_problem) {
  ShowForm form(platform, package, settings, extracted, std::move(package_problem));
  try {
    form.Run();
  } catch (...) {
    // Whatever ends the process from inside the show, the window goes first.
    form.HideWindow();
    throw;
  }
  form.HideWindow();
}

}  // namespace slidesaver
