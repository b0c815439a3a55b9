// The settings window's controls in pixels, from the form's twips.
#include <gtest/gtest.h>

#include "platform/win32/win_settings_dialog.h"
#include "platform/win32/windows_api.h"

namespace slidesaver::win32 {
namespace {

TEST(SettingsLayoutTest, FifteenTwipsAPixelAt96Dpi) {
  const SettingsLayout layout = SettingsDialogLayout(96);
  EXPECT_EQ(layout.client_width, 297);
  EXPECT_EQ(layout.client_height, 138);
  const ControlPlace& frame1 = layout.controls[0];
  EXPECT_EQ(frame1.id, kFrame1Id);
  EXPECT_EQ((std::array{frame1.left, frame1.top, frame1.width, frame1.height}),
            (std::array{8, 8, 169, 57}));
  // Options sit inside their frames: Frame2's "OFF" at 120 + 1320, 1080 + 360 twips.
  const ControlPlace& sound_off = layout.controls[5];
  EXPECT_EQ(sound_off.id, kOption1Id + 3);
  EXPECT_STREQ(sound_off.caption, "OFF");
  EXPECT_EQ((std::array{sound_off.left, sound_off.top, sound_off.width, sound_off.height}),
            (std::array{96, 96, 57, 17}));
  const ControlPlace& cancel = layout.controls[7];
  EXPECT_EQ(cancel.id, IDCANCEL);
  EXPECT_STREQ(cancel.caption, "キャンセル");
  EXPECT_EQ((std::array{cancel.left, cancel.top, cancel.width, cancel.height}),
            (std::array{192, 42, 97, 22}));
}

TEST(SettingsLayoutTest, ScalesWithTheSystemDpi) {
  const SettingsLayout layout = SettingsDialogLayout(144);
  EXPECT_EQ(layout.client_width, 446);  // 4455 twips at 144 DPI, rounded
  EXPECT_EQ(layout.controls[6].id, IDOK);
  EXPECT_EQ(layout.controls[6].left, 288);
  EXPECT_EQ(layout.controls[6].top, 24);
  EXPECT_EQ(layout.controls[6].height, 33);
}

}  // namespace
}  // namespace slidesaver::win32
