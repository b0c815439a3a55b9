// The show for hours: a show of all 35 transitions (plain cuts, overlay and transparent slides,
// sounds and music among them) runs on the fake platform's virtual clock through many
// transitions, and the process's resident memory is taken after a tenth of them and at the
// end. Memory that grows with the number of transitions is a leak a screen saver can't have.
//   soak [TRANSITIONS]     (default 100000); exit status 1 when memory grew by 1 MiB or more
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "package/extracted_show.h"
#include "platform/fake/fake_platform.h"
#include "show/show_form.h"

namespace slidesaver {
namespace {

constexpr int64_t kMiB = 1024 * 1024;

int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// Counts the pictures the show loads, one for each transition, and asks the show to end
// after the last one.
class CountingPictures : public platform::PictureLoader {
 public:
  CountingPictures(fake::FakePlatform& fake, int64_t transitions)
      : fake_(fake), transitions_(transitions) {}

  gdi::Bitmap Load(const std::string& path) override {
    ++loads_;
    const int64_t done = loads_ - 1;  // the first picture comes before any transition
    if (done == transitions_ / 10) resident_early_ = ResidentBytes();
    if (done == transitions_) {
      resident_end_ = ResidentBytes();
      fake_.events.KeyDownAt(fake_.log.Now());
    }
    return fake_.pictures.Load(path);
  }

  int64_t Loads() const { return loads_; }
  int64_t ResidentEarly() const { return resident_early_; }
  int64_t ResidentEnd() const { return resident_end_; }

 private:
  fake::FakePlatform& fake_;
  int64_t transitions_;
  int64_t loads_ = 0;
  int64_t resident_early_ = 0;
  int64_t resident_end_ = 0;
};

// Slide i brings in effect i % 36 (0 a plain cut) at a speed that keeps the frames few;
// every third slide is drawn over the screen, every fifth of those leaves out the background
// colour; pictures of several sizes, some reaching past the show area.
PackageHeader AllTransitions(fake::FakePictures& pictures) {
  PackageHeader show;
  show.ShowWidth = 160;
  show.ShowHeight = 120;
  show.BackgroundColor = 0x00302010;
  show.BgmFileName = "music.mid";
  for (int32_t i = 0; i < 36; ++i) {
    const std::string name = "picture" + std::to_string(i);
    const int32_t w = 40 + (i * 37) % 180, h = 30 + (i * 23) % 130;
    gdi::Bitmap picture = gdi::Bitmap::Color(w, h, 0x102030u * static_cast<uint32_t>(i + 1));
    for (int32_t y = 0; y < h; y += 3) picture.Row(y)[y % w] = 0x103020;  // background colour
    pictures.Add(name, std::move(picture));
    SlideEntry slide;
    slide.PictureFileName = name;
    if (i % 4 == 1) slide.SoundFileName = "sound" + std::to_string(i % 3);
    slide.DisplayTime = 10;
    slide.PictureX = (i * 13) % 100 - 20;
    slide.PictureY = (i * 7) % 80 - 10;
    slide.EffectNumber = i;
    slide.SpeedExponent = 3;
    slide.Overlay = i % 3 == 2 ? -1 : 0;
    slide.Transparent = i % 15 == 14 ? -1 : 0;
    show.Slides.push_back(slide);
  }
  show.SlideCount = static_cast<int32_t>(show.Slides.size());
  return show;
}

}  // namespace
}  // namespace slidesaver

int main(int argc, char** argv) {
  using namespace slidesaver;
  const int64_t transitions = argc > 1 ? std::atoll(argv[1]) : 100000;
  if (transitions < 10) {
    std::fprintf(stderr, "usage: soak [TRANSITIONS (at least 10)]\n");
    return 2;
  }
  fake::FakePlatform fake;
  fake.events.SetLimits(INT32_MAX - 1, INT64_MAX);
  // The fakes log every call and keep every presented frame; the soak keeps only the last
  // few, so that their memory is flat.
  fake.window.SetCaptureImages(false);
  fake.events.on_yield = [&fake](int64_t) {
    if (fake.log.Calls().size() > 4096) fake.log.Clear();
    if (fake.window.Frames().size() > 4096) fake.window.ClearFrames();
  };
  CountingPictures pictures(fake, transitions);
  platform::Platform platform{fake.process, fake.files, fake.system, fake.events,
                              fake.window,  fake.audio, pictures,    fake.dialogs};
  const PackageHeader show = AllTransitions(fake.pictures);
  Settings settings;
  settings.BgmEnabled = -1;
  settings.SoundEnabled = -1;
  const ExtractedShow extracted(fake.files, "/soak/temp1/");  // not made: nothing to remove

  RunShowForm(platform, show, settings, extracted);

  if (!fake.dialogs.message_boxes.empty()) {
    std::fprintf(stderr, "soak: the show ended with an error: %s\n",
                 fake.dialogs.message_boxes[0].text.c_str());
    return 1;
  }
  if (pictures.Loads() <= transitions) {
    std::fprintf(stderr, "soak: the show ended after %lld transitions\n",
                 static_cast<long long>(pictures.Loads() - 1));
    return 1;
  }
  const int64_t growth = pictures.ResidentEnd() - pictures.ResidentEarly();
  std::printf("resident after %lld transitions: %.2f MiB\n",
              static_cast<long long>(transitions / 10),
              static_cast<double>(pictures.ResidentEarly()) / kMiB);
  std::printf("resident after %lld transitions: %.2f MiB\n", static_cast<long long>(transitions),
              static_cast<double>(pictures.ResidentEnd()) / kMiB);
  std::printf("growth: %+.3f MiB over %.1f minutes of virtual time\n",
              static_cast<double>(growth) / kMiB, fake.log.Now() / 6e4);
  return growth < kMiB ? 0 : 1;
}
