#include "settings/settings_form_layout.h"

#include <array>

namespace slidesaver {
namespace {

using platform::SettingsControl;
using Kind = platform::SettingsControl::Kind;
using platform::SettingsSwitch;

// Two frames, each with its ON and OFF choice 240 and 1320 twips from the frame's left and
// 360 below its top; the buttons on the right.
constexpr int32_t kFrameLeft = 120, kMusicTop = 120, kSoundsTop = 1080;
constexpr int32_t kFrameWidth = 2535, kFrameHeight = 855;
constexpr int32_t kOnLeft = kFrameLeft + 240, kOffLeft = kFrameLeft + 1320, kChoiceDown = 360;
constexpr int32_t kChoiceWidth = 855, kChoiceHeight = 255;
constexpr int32_t kButtonLeft = 2880, kButtonWidth = 1455, kButtonHeight = 330;

constexpr std::array<SettingsControl, 8> kControls{{
    {Kind::Frame, "BGM", kFrameLeft, kMusicTop, kFrameWidth, kFrameHeight},
    {Kind::Choice, "ON", kOnLeft, kMusicTop + kChoiceDown, kChoiceWidth, kChoiceHeight,
     SettingsSwitch::Music, true},
    {Kind::Choice, "OFF", kOffLeft, kMusicTop + kChoiceDown, kChoiceWidth, kChoiceHeight,
     SettingsSwitch::Music, false},
    {Kind::Frame, "Sound", kFrameLeft, kSoundsTop, kFrameWidth, kFrameHeight},
    {Kind::Choice, "ON", kOnLeft, kSoundsTop + kChoiceDown, kChoiceWidth, kChoiceHeight,
     SettingsSwitch::Sounds, true},
    {Kind::Choice, "OFF", kOffLeft, kSoundsTop + kChoiceDown, kChoiceWidth, kChoiceHeight,
     SettingsSwitch::Sounds, false},
    {Kind::AcceptButton, "OK", kButtonLeft, 240, kButtonWidth, kButtonHeight},
    {Kind::CancelButton, "キャンセル", kButtonLeft, 630, kButtonWidth, kButtonHeight},
}};

constexpr platform::SettingsDialogLayout kLayout{"設定", 4455, 2070, kControls};

}  // namespace

const platform::SettingsDialogLayout& SettingsFormLayout() { return kLayout; }

}  // namespace slidesaver
