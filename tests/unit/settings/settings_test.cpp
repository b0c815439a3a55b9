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

TEST_F(SettingsTest, FormLoadSelectsOneChoicePerGroup) {
  const struct {
    int16_t bgm, sound;
    bool on0, off1, on2, off3;
  } cases[] = {{-1, -1, true, false, true, false},
               {0, 0, false, true, false, true},
               {-1, 0, true, false, false, true},
               {5, 0, true, false, false, true}};
  for (const auto& c : cases) {
    settings.BgmEnabled = c.bgm;
    settings.SoundEnabled = c.sound;
    FrmSetting form(fake.files, fake.dialogs, settings, "show");
    form.Form_Load();
    EXPECT_EQ(form.Option1(0), c.on0);
    EXPECT_EQ(form.Option1(1), c.off1);
    EXPECT_EQ(form.Option1(2), c.on2);
    EXPECT_EQ(form.Option1(3), c.off3);
  }
}

TEST_F(SettingsTest, GroupsAreIndependent) {
  settings.BgmEnabled = -1;
  settings.SoundEnabled = -1;
  FrmSetting form(fake.files, fake.dialogs, settings, "show");
  form.Form_Load();
  form.SelectOption1(1);
  EXPECT_FALSE(form.Option1(0));
  EXPECT_TRUE(form.Option1(1));
  EXPECT_TRUE(form.Option1(2));  // the sound group is untouched
  form.SelectOption1(3);
  form.SelectOption1(2);
  EXPECT_TRUE(form.Option1(2));
  EXPECT_FALSE(form.Option1(3));
  EXPECT_TRUE(form.Option1(1));
  form.SelectOption1(4);
  form.SelectOption1(-1);
  EXPECT_FALSE(form.Option1(4));
  EXPECT_FALSE(form.Option1(-1));
  EXPECT_TRUE(form.Option1(1) && form.Option1(2));
}

TEST_F(SettingsTest, OkWritesExactlyTheFourBytesOfTheChoices) {
  const struct {
    int bgm_choice, sound_choice;
    Bytes4 expected;
  } cases[] = {{1, 3, {0, 0, 0, 0}},
               {0, 2, {0xFF, 0xFF, 0xFF, 0xFF}},
               {0, 3, {0xFF, 0xFF, 0, 0}},
               {1, 2, {0, 0, 0xFF, 0xFF}}};
  for (const auto& c : cases) {
    Write(std::vector<uint8_t>(10, 0xAB));  // a longer file is replaced by exactly 4 bytes
    Read();
    FrmSetting form(fake.files, fake.dialogs, settings, "show");
    form.Form_Load();
    form.Show();
    form.SelectOption1(c.bgm_choice);
    form.SelectOption1(c.sound_choice);
    form.Command1_Click(0);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(Saved(), c.expected);
  }
  // Only the file changed: the values in memory apply from the next start.
  EXPECT_EQ(settings.BgmEnabled, static_cast<int16_t>(0xABAB));
}

TEST_F(SettingsTest, OkCreatesAMissingFile) {
  Read();
  FrmSetting form(fake.files, fake.dialogs, settings, "show");
  form.Form_Load();
  form.Command1_Click(0);
  EXPECT_EQ(Saved(), (Bytes4{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(settings.BgmEnabled, -1);
}

TEST_F(SettingsTest, CancelWritesNothing) {
  Read();
  FrmSetting form(fake.files, fake.dialogs, settings, "show");
  form.Form_Load();
  form.Show();
  form.SelectOption1(1);
  form.Command1_Click(1);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(FileThere());

  Write({0, 0, 0, 0});
  FrmSetting again(fake.files, fake.dialogs, settings, "show");
  again.Form_Load();
  again.SelectOption1(0);
  again.Command1_Click(7);  // any index other than 0 cancels
  EXPECT_EQ(Saved(), (Bytes4{0, 0, 0, 0}));
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFileReportsAndEndsTheProcess) {
  Write({0, 0, 0xFF, 0xFF});
  Read();
  fake.files.fail_writes = {"show.set"};
  FrmSetting form(fake.files, fake.dialogs, settings, "show");
  form.Form_Load();
  form.Show();
  form.SelectOption1(0);
  try {
    form.Command1_Click(0);
    FAIL() << "a failed save must end the process";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  EXPECT_EQ(Saved(), (Bytes4{0, 0, 0xFF, 0xFF}));
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.message_boxes[0].title, "show");
  EXPECT_NE(fake.dialogs.message_boxes[0].text.find("show.set"), std::string::npos);
  EXPECT_EQ(fake.dialogs.message_boxes[0].icon, platform::MessageIcon::Warning);
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
