#pragma once
// A whole show on the fake platform: slides made of one-colour pictures, a virtual clock,
// scripted input, and one log of every call of the show's services.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "package/extracted_show.h"
#include "package/package.h"
#include "platform/fake/fake_platform.h"
#include "settings/settings.h"
#include "show/show_form.h"
#include "tests/unit/test_support.h"

namespace slidesaver::testing {

constexpr const char kUnknownError[] = "不明のエラーが発生しました。";

class ShowTest : public ::testing::Test {
 protected:
  ShowTest();

  // A slide showing a w × h picture of one colour (0x00RRGGBB) named `name`, 1000 ms on
  // the screen, then a plain copy to the next one.
  SlideEntry& AddSlide(const std::string& name, uint32_t rgb, int32_t w = 20, int32_t h = 10);
  void Run();  // loads the form, runs the show, unloads it
  // The same with every transition of the effect table replaced by one that logs
  // "Effect <number> speed <speed_factor>" and copies the to-picture.
  void RunRecordingEffects();

  // The non-clock calls in order, optionally only those starting with prefix.
  std::vector<std::string> Calls(const std::string& prefix = "") const;
  // The ticks of the calls starting with prefix.
  std::vector<int64_t> TicksOf(const std::string& prefix) const;
  std::string Path(const std::string& name) const { return extracted.Folder() + name; }
  // A pixel of the fake screen, 0x00RRGGBB.
  uint32_t ScreenPixel(int32_t x, int32_t y) const { return fake.window.Screen().Pixel(x, y); }
  // A pixel of the show area as presented last, relative to the show area.
  uint32_t ShownPixel(int32_t x, int32_t y) const;

  TempFolder temp;
  fake::FakePlatform fake;
  platform::Platform& platform = fake.platform();
  PackageHeader package;
  Settings settings;
  ExtractedShow extracted{fake.files, temp.path() + "/temp1/"};  // not made: nothing to remove
};

}  // namespace slidesaver::testing
