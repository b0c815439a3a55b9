#include "show/form1.h"

#include <new>

#include "common/run_time_error.h"
#include "package/extract_files.h"

namespace slidesaver {

Form1::Form1(platform::Platform& platform, const AppState& app)
    : Picture1(&platform.window),
      platform_(platform),
      app_(app),
      music_(platform.audio, platform.files, app, platform.process.PathSeparator()) {
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
  const auto& slides = app_.Package.Slides;
  if (index < 0 || static_cast<size_t>(index) >= slides.size()) throw SubscriptOutOfRangeError();
  return slides[static_cast<size_t>(index)];
}

std::string Form1::TempPath(const std::string& file_name) const { return app_.TempDir + file_name; }

void Form1::LoadPicture(int32_t slide_index) {
  const std::string& name = Slide(slide_index).PictureFileName;
  const std::string path = TempPath(name);
  // A name the extraction refused to write names no file of the show.
  if (!IsSafeFileName(name, platform_.process.PathSeparator(), &platform_.files))
    throw FileNotFoundError(path);
  MemPicture.SetPicture(platform_.pictures.Load(path));
}

void RunShowForm(platform::Platform& platform, AppState& app) {
  Form1 form(platform, app);
  int16_t cancel = 0;
  try {
    form.Form_Load();
  } catch (...) {
    // Whatever ends the process from inside the show, the extracted files go first.
    form.Form_Unload(cancel);
    throw;
  }
  form.Form_Unload(cancel);
}

}  // namespace slidesaver
