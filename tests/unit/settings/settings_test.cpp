// The settings file and the settings form's logic, on real files below a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/run_time_error.h"
#include "platform/fake/fake_platform.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

using Bytes4 = std::vector<uint8_t>;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { settings.SettingsPath = folder / "show.set"; }

  void Write(const std::vector<uint8_t>& bytes) {
    testing::WriteBytes(settings.SettingsPath, bytes);
  }
  Bytes4 Saved() { return testing::ReadBytes(settings.SettingsPath); }
  bool FileThere() { return std::filesystem::exists(settings.SettingsPath); }
  void Read() { ReadSettings(fake.files, settings); }

  testing::TempFolder folder;
  fake::FakePlatform fake;
  Settings settings;
};

TEST_F(SettingsTest, MissingFileMeansBothOnAndIsNotCreated) {
  Read();
  EXPECT_EQ(settings.BgmEnabled, -1);
  EXPECT_EQ(settings.SoundEnabled, -1);
  EXPECT_FALSE(FileThere());
}

TEST_F(SettingsTest, ReadsBothValuesLittleEndian) {
  const struct {
    std::vector<uint8_t> bytes;
    int16_t bgm, sound;
  } cases[] = {
      {{0xFF, 0xFF, 0x00, 0x00}, -1, 0},
      {{0x00, 0x00, 0xFF, 0xFF}, 0, -1},
      {{0x01, 0x00, 0x34, 0x12}, 1, 0x1234},  // other values are kept and count as on
      {{0xFF, 0xFF}, -1, 0},                  // short file: what isn't there is off
      {{0xFF, 0xFF, 0xFF}, -1, 0},
      {{}, 0, 0},  // the defaults apply only when the file is missing
      {{0x00, 0x00, 0xFF, 0xFF, 0xAA, 0xBB}, 0, -1},
  };
  for (const auto& c : cases) {
    Write(c.bytes);
    settings.BgmEnabled = 7;
    settings.SoundEnabled = 7;
    Read();
    EXPECT_EQ(settings.BgmEnabled, c.bgm) << c.bytes.size();
    EXPECT_EQ(settings.SoundEnabled, c.sound) << c.bytes.size();
  }
}

TEST_F(SettingsTest, UnreadableFileMeansBothOff) {
  Write({0xFF, 0xFF, 0xFF, 0xFF});
  fake.files.fail_reads = {"show.set"};
  Read();
  EXPECT_EQ(settings.BgmEnabled, 0);
  EXPECT_EQ(settings.SoundEnabled, 0);
}

TEST_F(SettingsTest, FolderInPlaceOfTheFileCountsAsMissing) {
  std::filesystem::create_directory(settings.SettingsPath);
  Read();
  EXPECT_EQ(settings.BgmEnabled, -1);
  EXPECT_EQ(settings.SoundEnabled, -1);
}

TEST_F(SettingsTest, FormStartsFromTheValuesRead) {
  const struct {
    int16_t bgm, sound;
    bool music, sounds;
  } cases[] = {
      {-1, -1, true, true}, {0, 0, false, false}, {-1, 0, true, false}, {5, 0, true, false}};
  for (const auto& c : cases) {
    settings.BgmEnabled = c.bgm;
    settings.SoundEnabled = c.sound;
    const SettingsForm form(fake.files, fake.dialogs, settings, "show");
    EXPECT_EQ(form.MusicEnabled(), c.music) << c.bgm;
    EXPECT_EQ(form.SoundsEnabled(), c.sounds) << c.sound;
    EXPECT_FALSE(form.Visible());
  }
}

// The views know only the layout: each choice must set its own switch to its own value and
// show as selected exactly when that switch has that value.
TEST_F(SettingsTest, EachChoiceOfTheLayoutSetsItsSwitchAndLeavesTheOtherAlone) {
  using Kind = platform::SettingsControl::Kind;
  SettingsForm form(fake.files, fake.dialogs, settings, "show");
  int choices = 0;
  for (const platform::SettingsControl& choice : form.Layout().controls) {
    if (choice.kind != Kind::Choice) continue;
    ++choices;
    for (const bool other_before : {false, true}) {
      const auto other = choice.setting == platform::SettingsSwitch::Music
                             ? platform::SettingsSwitch::Sounds
                             : platform::SettingsSwitch::Music;
      form.SetEnabled(other, other_before);
      form.SetEnabled(choice.setting, !choice.on);
      EXPECT_FALSE(form.Selected(choice)) << choice.caption;
      form.Choose(choice);
      EXPECT_TRUE(form.Selected(choice)) << choice.caption;
      EXPECT_EQ(form.Enabled(choice.setting), choice.on);
      EXPECT_EQ(form.Enabled(other), other_before);
    }
  }
  EXPECT_EQ(choices, 4);
  form.SetMusicEnabled(false);
  form.SetSoundsEnabled(true);
  EXPECT_FALSE(form.Enabled(platform::SettingsSwitch::Music));
  EXPECT_TRUE(form.Enabled(platform::SettingsSwitch::Sounds));
}

TEST_F(SettingsTest, AcceptWritesExactlyTheFourBytesOfTheChoices) {
  const struct {
    bool music, sounds;
    Bytes4 expected;
  } cases[] = {{false, false, {0, 0, 0, 0}},
               {true, true, {0xFF, 0xFF, 0xFF, 0xFF}},
               {true, false, {0xFF, 0xFF, 0, 0}},
               {false, true, {0, 0, 0xFF, 0xFF}}};
  for (const auto& c : cases) {
    Write(std::vector<uint8_t>(10, 0xAB));  // a longer file is replaced by exactly 4 bytes
    Read();
    SettingsForm form(fake.files, fake.dialogs, settings, "show");
    form.Show();
    form.SetMusicEnabled(c.music);
    form.SetSoundsEnabled(c.sounds);
    form.Accept();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Saved(), c.expected);
  }
  // Only the file changed: the values in memory apply from the next start.
  EXPECT_EQ(settings.BgmEnabled, static_cast<int16_t>(0xABAB));
}

TEST_F(SettingsTest, AcceptCreatesAMissingFile) {
  Read();
  SettingsForm form(fake.files, fake.dialogs, settings, "show");
  form.Accept();
  EXPECT_EQ(Saved(), (Bytes4{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(settings.BgmEnabled, -1);
}

TEST_F(SettingsTest, CancelWritesNothing) {
  Read();
  SettingsForm form(fake.files, fake.dialogs, settings, "show");
  form.Show();
  form.SetMusicEnabled(false);
  form.Cancel();
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(FileThere());
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFileReportsAndEndsTheProcess) {
  Write({0, 0, 0xFF, 0xFF});
  Read();
  fake.files.fail_writes = {"show.set"};
  SettingsForm form(fake.files, fake.dialogs, settings, "show");
  form.Show();
  form.SetMusicEnabled(true);
  try {
    form.Accept();
    FAIL() << "a failed save must end the process";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(Saved(), (Bytes4{0, 0, 0xFF, 0xFF}));
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  const fake::MessageBoxCall& box = fake.dialogs.message_boxes[0];
  EXPECT_EQ(box.title, "show");
  EXPECT_EQ(box.text.rfind("実行時エラー '75':\n\nパス/ファイル アクセス エラーです。\n\n", 0), 0u)
      << box.text;
  EXPECT_NE(box.text.find("show.set"), std::string::npos);
  EXPECT_EQ(box.icon, platform::MessageIcon::Warning);
}

TEST_F(SettingsTest, SaveReplacesTheFileAtomically) {
  Write({1, 2, 3, 4, 5});
  EXPECT_EQ(SaveSettings(fake.files, settings.SettingsPath, -1, 0), "");
  EXPECT_EQ(Saved(), (Bytes4{0xFF, 0xFF, 0, 0}));
  EXPECT_EQ(fake.files.LogFor("show.set"),
            std::vector<std::string>{"WriteFileAtomic " + settings.SettingsPath});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);  // nothing left beside it
}

}  // namespace
}  // namespace slidesaver
