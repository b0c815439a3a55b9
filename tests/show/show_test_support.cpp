#include "tests/show/show_test_support.h"

#include <utility>

namespace slidesaver::testing {

ShowTest::ShowTest() {
  package.ShowWidth = 80;
  package.ShowHeight = 60;
  package.BackgroundColor = 0x00302010;  // 0x00BBGGRR: red 0x10, green 0x20, blue 0x30
  settings.BgmEnabled = -1;
  settings.SoundEnabled = -1;
  fake.events.SetLimits(10'000'000, 2'000'000);
}

SlideEntry& ShowTest::AddSlide(const std::string& name, uint32_t rgb, int32_t w, int32_t h) {
  fake.pictures.Add(name, gdi::Bitmap::Color(w, h, rgb));
  SlideEntry slide;
  slide.PictureFileName = name;
  slide.DisplayTime = 1000;
  package.Slides.push_back(slide);
  package.SlideCount = static_cast<int32_t>(package.Slides.size());
  return package.Slides.back();
}

void ShowTest::Run() { RunShowForm(platform, package, settings, extracted); }

namespace {
fake::FakeCallLog* recording_log = nullptr;

template <int N>
void RecordingEffect(gdi::Surface& target, gdi::Surface&, gdi::Surface& to, FrameContext& ctx) {
  recording_log->Add("Effect " + std::to_string(N) + " speed " + std::to_string(ctx.speed_factor));
  target.DrawPicture(to.Image(), 0, 0);
}

// The effect table with each transition replaced by one that logs its number.
template <int... N>
const EffectEntry* RecordingFor(int32_t number, std::integer_sequence<int, N...>) {
  static const EffectEntry table[] = {
      {N + 1, EffectTable()[N].name, EffectTable()[N].pace, RecordingEffect<N + 1>}...};
  return FindEffect(number) ? &table[number - 1] : nullptr;
}

const EffectEntry* RecordingLookup(int32_t number) {
  return RecordingFor(number, std::make_integer_sequence<int, kEffectCount>{});
}
}  // namespace

void ShowTest::RunRecordingEffects() {
  recording_log = &fake.log;
  {
    ShowForm form(platform, package, settings, extracted);
    form.SetEffectLookup(RecordingLookup);
    form.Run();
    form.HideWindow();
  }
  recording_log = nullptr;
}

std::vector<std::string> ShowTest::Calls(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& text : fake.log.Texts()) {
    if (text.starts_with(prefix)) out.push_back(text);
  }
  return out;
}

std::vector<int64_t> ShowTest::TicksOf(const std::string& prefix) const {
  std::vector<int64_t> out;
  for (const fake::LoggedCall& call : fake.log.With(prefix)) out.push_back(call.tick);
  return out;
}

uint32_t ShowTest::ShownPixel(int32_t x, int32_t y) const {
  const gdi::Rect& area = fake.window.ShowArea();
  return ScreenPixel(area.left + x, area.top + y);
}

}  // namespace slidesaver::testing
