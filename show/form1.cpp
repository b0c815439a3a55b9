#include "show/form1.h"

#include <new>

#include "common/run_time_error.h"

namespace slidesaver {

Form1::Form1(platform::Platform& platform, const PackageHeader& package, const Settings& settings,
             const ExtractedShow& extracted)
    : Picture1(&platform.window),
      platform_(platform),
      package_(package),
      settings_(settings),
      extracted_(extracted),
      music_(platform.audio, package, settings, extracted) {
  platform_.window.SetInputSink(this);
}

Form1::~Form1() { platform_.window.SetInputSink(nullptr); }

void Form1::Form_Load() {
  try {
    SetUp();
    bool restart = false;
    do {
      if (restart) LoadPicture(0);
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

const SlideEntry& Form1::Slide(int32_t index) const {
  const auto& slides = package_.Slides;
  if (index < 0 || static_cast<size_t>(index) >= slides.size()) throw SubscriptOutOfRangeError();
  return slides[static_cast<size_t>(index)];
}

void Form1::LoadPicture(int32_t slide_index) {
  const std::string& name = Slide(slide_index).PictureFileName;
  const std::optional<std::string> path = extracted_.PathOf(name);
  // A name the extraction refused to write names no file of the show.
  if (!path) throw FileNotFoundError(extracted_.Folder() + name);
  MemPicture.SetPicture(platform_.pictures.Load(*path));
}

void Form1::Form_Unload() {
  try {
    platform_.window.Hide();
  } catch (...) {
  }
}

void RunShowForm(platform::Platform& platform, const PackageHeader& package,
                 const Settings& settings, const ExtractedShow& extracted) {
  Form1 form(platform, package, settings, extracted);
  try {
    form.Form_Load();
  } catch (...) {
    // Whatever ends the process from inside the show, the window goes first.
    form.Form_Unload();
    throw;
  }
  form.Form_Unload();
}

}  // namespace slidesaver
