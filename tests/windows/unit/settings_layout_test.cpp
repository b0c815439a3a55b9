// The settings window's controls in pixels, from the form's twips.
#include <gtest/gtest.h>

#include "platform/win32/win_settings_dialog.h"
#include "platform/win32/windows_api.h"
#include "settings/settings_form_layout.h"

namespace slidesaver::win32 {
namespace {

TEST(SettingsLayoutTest, FifteenTwipsAPixelAt96Dpi) {
  const PixelLayout layout = PlaceControls(SettingsFormLayout(), 96);
  EXPECT_EQ(layout.client_width, 297);
  EXPECT_EQ(layout.client_height, 138);
  ASSERT_EQ(layout.controls.size(), 8u);
  const PlacedControl& frame1 = layout.controls[0];
  EXPECT_EQ(frame1.id, kFirstFrameId);
  EXPECT_EQ((std::array{frame1.left, frame1.top, frame1.width, frame1.height}),
            (std::array{8, 8, 169, 57}));
  // Choices sit inside their frames: the second frame's "OFF" at 120 + 1320, 1080 + 360 twips.
  const PlacedControl& sound_off = layout.controls[5];
  EXPECT_EQ(sound_off.id, kFirstChoiceId + 3);
  EXPECT_STREQ(sound_off.control->caption, "OFF");
  EXPECT_EQ((std::array{sound_off.left, sound_off.top, sound_off.width, sound_off.height}),
            (std::array{96, 96, 57, 17}));
  const PlacedControl& cancel = layout.controls[7];
  EXPECT_EQ(cancel.id, IDCANCEL);
  EXPECT_STREQ(cancel.control->caption, "キャンセル");
  EXPECT_EQ((std::array{cancel.left, cancel.top, cancel.width, cancel.height}),
            (std::array{192, 42, 97, 22}));
}

TEST(SettingsLayoutTest, ScalesWithTheSystemDpi) {
  const PixelLayout layout = PlaceControls(SettingsFormLayout(), 144);
  EXPECT_EQ(layout.client_width, 446);  // 4455 twips at 144 DPI, rounded
  EXPECT_EQ(layout.controls[6].id, IDOK);
  EXPECT_EQ(layout.controls[6].left, 288);
  EXPECT_EQ(layout.controls[6].top, 24);
  EXPECT_EQ(layout.controls[6].height, 33);
}

}  // namespace
}  // namespace slidesaver::win32
