// The start-up procedure in every mode on the fake platform, with the program's .scr and .set
// files in a temporary folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/run_time_error.h"
#include "package/read_package.h"
#include "package/write_package.h"
#include "platform/fake/fake_platform.h"
#include "startup/start_up.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using testing::Slide;

class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest() {
    fake.process.folder = program.path();
    fake.process.base_name = "aquarium";
    fake.system.base_folder = extraction.path();
    fake.system.foreground_window = 0x4242;
    fake.pictures.SetFileSystem(&fake.files);
    fake.events.SetLimits(1'000'000, 1'000'000);
  }

  // The program file with a Package appended (the player's own bytes come first).
  void InstallPackage(const PackageHeader& package) { InstallPackageBytes(WritePackage(package)); }
  void InstallPackageBytes(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> file(4096 + bytes.size(), 0x90);
    std::copy(bytes.begin(), bytes.end(), file.begin() + 4096);
    testing::WriteBytes(program / "aquarium.scr", file);
  }
  void Run(const std::string& arguments) {
    fake.process.arguments = arguments;
    StartUp(fake.platform(), app);
  }
  bool Logged(const std::string& entry) {
    return std::find(fake.files.log.begin(), fake.files.log.end(), entry) != fake.files.log.end();
  }

  testing::TempFolder program;
  testing::TempFolder extraction;
  fake::FakePlatform fake;
  AppState app;
};

PackageHeader WithSettings(int16_t has_settings) {
  PackageHeader p = testing::Show({Slide("0", "JPEG")});
  p.HasSettings = has_settings;
  return p;
}

TEST_F(StartUpTest, SecondInstanceEndsBeforeAnythingElse) {
  InstallPackage(WithSettings(-1));
  fake.process.another_instance = true;
  for (const char* args : {"/S", "/C", "/A 5", ""}) {
    Run(args);
    EXPECT_TRUE(fake.files.log.empty()) << args;
    EXPECT_TRUE(fake.dialogs.message_boxes.empty());
    EXPECT_EQ(fake.dialogs.settings_dialogs, 0);
    EXPECT_TRUE(fake.dialogs.password_changes.empty());
    EXPECT_EQ(app.Package.SlideCount, 0);
  }
}

TEST_F(StartUpTest, ReadsPackageAndSettingsBeforeLookingAtTheMode) {
  InstallPackage(WithSettings(-1));
  testing::WriteBytes(program / "aquarium.set", {0xFF, 0xFF, 0, 0});
  for (const char* args : {"/P 1234", "", "/X", "/p"}) {
    app = AppState();
    fake.files.log.clear();
    Run(args);
    EXPECT_EQ(fake.files.log.front(), "OpenForReading " + (program / "aquarium.scr")) << args;
    EXPECT_TRUE(Logged("FileExists " + (program / "aquarium.set")));
    EXPECT_EQ(app.Package.SlideCount, 1);
    EXPECT_EQ(app.Package.HasSettings, -1);
    EXPECT_EQ(app.settings.SettingsPath, program / "aquarium.set");
    EXPECT_EQ(app.settings.BgmEnabled, -1);
    EXPECT_EQ(app.settings.SoundEnabled, 0);
    // Nothing is done: no dialog, no extraction, no window.
    EXPECT_TRUE(fake.dialogs.message_boxes.empty());
    EXPECT_EQ(fake.dialogs.settings_dialogs, 0);
    EXPECT_TRUE(fake.dialogs.password_changes.empty());
    EXPECT_TRUE(fs::is_empty(extraction.path()));
    EXPECT_TRUE(fake.log.Calls().empty());
  }
}

TEST_F(StartUpTest, MissingSettingsFileIsNotCreatedInAnyMode) {
  InstallPackage(WithSettings(0));
  for (const char* args : {"/P", "/C", "/A 3", ""}) {
    Run(args);
    EXPECT_EQ(app.settings.BgmEnabled, -1);
    EXPECT_FALSE(fs::exists(program / "aquarium.set")) << args;
  }
}

TEST_F(StartUpTest, OwnFileIsTheScrOfTheBaseNameWithOneSeparator) {
  // A root folder already ends with the separator.
  fake.process.folder = "/";
  Run("/P");
  EXPECT_EQ(fake.files.log.front(), "OpenForReading /aquarium.scr");
  EXPECT_EQ(app.settings.SettingsPath, "/aquarium.set");

  fake.files.path_rules.separator = '\\';
  fake.process.folder = "C:\\";
  fake.files.log.clear();
  Run("/P");
  EXPECT_EQ(fake.files.log.front(), "OpenForReading C:\\aquarium.scr");
  EXPECT_EQ(app.settings.SettingsPath, "C:\\aquarium.set");

  fake.process.folder = "C:\\Shows";
  fake.files.log.clear();
  Run("/P");
  EXPECT_EQ(fake.files.log.front(), "OpenForReading C:\\Shows\\aquarium.scr");

  // C:\表 ends with the trail byte 0x5C of a double-byte character, not with a separator.
  fake.files.UseCodePage932();
  fake.process.folder = "C:\\\x95\x5c";
  fake.files.log.clear();
  Run("/P");
  EXPECT_EQ(fake.files.log.front(), "OpenForReading C:\\\x95\x5c\\aquarium.scr");
  EXPECT_EQ(app.settings.SettingsPath, "C:\\\x95\x5c\\aquarium.set");
}

TEST_F(StartUpTest, BrokenOrMissingPackageLeavesInitialValuesAndGoesOn) {
  // Missing file: /C still answers, with HasSettings 0.
  Run("/C");
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(app.Package.SlideCount, 0);

  // A PackageSize pointing outside the file.
  testing::WriteBytes(program / "aquarium.scr", {1, 2, 3, 4, 5, 0xFF, 0xFF, 0, 0});
  Run("/C");
  EXPECT_EQ(fake.dialogs.message_boxes.size(), 2u);
  EXPECT_TRUE(app.Package.Slides.empty());
}

TEST_F(StartUpTest, ConfigureWithoutSettingsShowsOnlyTheMessage) {
  InstallPackage(WithSettings(0));
  Run("/C");
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, "設定項目はありません");
  EXPECT_EQ(fake.dialogs.message_boxes[0].title, "スクリーンセーバー");
  EXPECT_EQ(fake.dialogs.message_boxes[0].icon, platform::MessageIcon::Information);
  EXPECT_EQ(fake.dialogs.settings_dialogs, 0);
  EXPECT_FALSE(fs::exists(program / "aquarium.set"));
}

TEST_F(StartUpTest, ConfigureShowsTheLoadedFormModally) {
  InstallPackage(WithSettings(-1));
  testing::WriteBytes(program / "aquarium.set", {0, 0, 0xFF, 0xFF});
  bool seen = false;
  fake.dialogs.on_settings_dialog = [&](platform::SettingsDialogModel& form) {
    seen = true;
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.Enabled(platform::SettingsSwitch::Music));  // from the file
    EXPECT_TRUE(form.Enabled(platform::SettingsSwitch::Sounds));
    form.SetEnabled(platform::SettingsSwitch::Music, true);
    form.SetEnabled(platform::SettingsSwitch::Sounds, false);
    form.Accept();
  };
  Run("/c:4711");  // everything after the two characters is ignored
  EXPECT_TRUE(seen);
  EXPECT_EQ(fake.dialogs.settings_dialogs, 1);
  EXPECT_TRUE(fake.dialogs.message_boxes.empty());
  EXPECT_EQ(testing::ReadBytes(program / "aquarium.set"), (std::vector<uint8_t>{0xFF, 0xFF, 0, 0}));
  EXPECT_EQ(app.settings.BgmEnabled, 0);  // memory keeps what was read at the start
}

TEST_F(StartUpTest, ConfigureClosedWithoutAButtonWritesNothing) {
  InstallPackage(WithSettings(1));
  Run("/C");
  EXPECT_EQ(fake.dialogs.settings_dialogs, 1);
  EXPECT_FALSE(fs::exists(program / "aquarium.set"));
}

TEST_F(StartUpTest, FailedSettingsSaveEndsTheProcessThroughTheResumeNextPolicy) {
  InstallPackage(WithSettings(-1));
  fake.files.fail_writes = {"aquarium.set"};
  fake.dialogs.on_settings_dialog = [](platform::SettingsDialogModel& form) { form.Accept(); };
  try {
    Run("/C");
    FAIL() << "the process should end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 1);
  }
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.message_boxes[0].title, "aquarium");
}

TEST_F(StartUpTest, AFailedStepIsSkippedWithALogLineButRunningOutOfMemoryIsNot) {
  InstallPackage(WithSettings(-1));
  fake.dialogs.on_settings_dialog = [](platform::SettingsDialogModel&) {
    throw std::runtime_error("no display");
  };
  Run("/C");
  EXPECT_THAT(fake.process.logged,
              ::testing::ElementsAre("skipped the settings dialog: no display"));

  fake.dialogs.on_settings_dialog = [](platform::SettingsDialogModel&) { throw std::bad_alloc(); };
  EXPECT_THROW(Run("/C"), std::bad_alloc);
}

TEST_F(StartUpTest, PasswordChangeGetsTheOwnerWindowOrTheForegroundWindow) {
  InstallPackage(WithSettings(0));
  const struct {
    const char* args;
    platform::WindowHandle owner;
    bool asks_foreground;
  } cases[] = {{"/a 567", 567, false},           {"/A", 0x4242, true},
               {"/A abc", 0x4242, true},         {"/A 0", 0x4242, true},
               {"/A 99999999999", 0x4242, true}, {"/A 2.5", 2, false},
               {"/A -1", 0xFFFFFFFF, false}};
  for (const auto& c : cases) {
    fake.dialogs.password_changes.clear();
    fake.log.Clear();
    Run(c.args);
    ASSERT_EQ(fake.dialogs.password_changes.size(), 1u) << c.args;
    EXPECT_EQ(fake.dialogs.password_changes[0], c.owner) << c.args;
    EXPECT_EQ(!fake.log.With("ForegroundWindow").empty(), c.asks_foreground) << c.args;
  }
  EXPECT_TRUE(fake.dialogs.message_boxes.empty());
}

TEST_F(StartUpTest, ShowExtractsThenRunsTheShowAndTheFilesGoWhenItEnds) {
  InstallPackage(testing::Show({Slide("0", "JPEG-0"), Slide("1", "JPEG-1")}));
  fake.pictures.Add("0", gdi::Bitmap::Color(640, 480, 0xFF0000));
  fake.pictures.Add("1", gdi::Bitmap::Color(640, 480, 0x00FF00));
  const std::string folder = extraction.path() + "/temp1/";
  for (const char* args : {"/s", "/S", "/S and more"}) {
    fake.files.log.clear();
    fake.events.KeyDownAt(fake.log.Now() + 100);
    Run(args);
    EXPECT_TRUE(Logged("WriteFile " + folder + "0")) << args;
    EXPECT_TRUE(Logged("WriteFile " + folder + "1"));
    EXPECT_FALSE(fake.log.With("LoadPicture " + folder + "0").empty());
    // The files and the folder went, so the next run takes temp1 again.
    EXPECT_TRUE(fs::is_empty(extraction.path())) << args;
  }
  EXPECT_TRUE(fake.dialogs.message_boxes.empty());
  // A show left by an exception leaves nothing behind either.
  fake.events.SetLimits(fake.log.Now() + 5000, 1'000'000);  // nobody stops it: the test gives up
  EXPECT_THROW(Run("/S"), fake::FakeShowRanAway);
  EXPECT_TRUE(fs::is_empty(extraction.path()));
}

// What went wrong before the show follows the error box's texts and goes to the log: a Package
// cut short, a disk that filled up. A file that could not be written is not there in part.
TEST_F(StartUpTest, ShowErrorsSayWhatWentWrongBeforeThem) {
  // The last slide's data is cut off; PackageSize still gives where the Package starts.
  PackageHeader two = testing::Show({Slide("0", "JPEG-0"), Slide("1", "JPEG-1")});
  std::vector<uint8_t> package = WritePackage(two);
  package.resize(package.size() - 24);
  const uint32_t size = static_cast<uint32_t>(package.size() + 4);
  for (int shift = 0; shift < 32; shift += 8)
    package.push_back(static_cast<uint8_t>(size >> shift));
  PackageHeader expected;
  const std::string problem = ReadPackage(package, nullptr, expected).problem;
  ASSERT_NE(problem, "");
  InstallPackageBytes(package);
  fake.pictures.Add("0", gdi::Bitmap::Color(640, 480, 0xFF0000));
  Run("/S");
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  const std::string cause = "The show's Package can't be read: " + problem;
  EXPECT_THAT(fake.dialogs.message_boxes[0].text,
              ::testing::StartsWith("不明のエラーが発生しました。\r\n"));
  EXPECT_THAT(fake.dialogs.message_boxes[0].text,
              ::testing::EndsWith("\r\nslidesaver\r\n" + cause));
  EXPECT_THAT(fake.process.logged.back(), ::testing::EndsWith("(slidesaver); " + cause));

  fake.dialogs.message_boxes.clear();
  InstallPackage(two);
  fake.pictures.Add("1", gdi::Bitmap::Color(640, 480, 0x00FF00));
  const std::string folder = extraction.path() + "/temp1/";
  fake.files.fail_writes = {folder + "0"};  // the disk is full when the first picture comes
  Run("/S");
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.message_boxes[0].text,
            "不明のエラーが発生しました。\r\nFile not found: " + folder +
                "0\r\nslidesaver\r\nThe show's file " + folder +
                "0 could not be written: No space left on device");
  EXPECT_NE(std::find(fake.process.logged.begin(), fake.process.logged.end(),
                      "cannot write " + folder + "0: No space left on device"),
            fake.process.logged.end());
  EXPECT_TRUE(fs::is_empty(extraction.path()));
}

// A close request (a signal) while the files are written: the extraction stops, what it wrote
// goes, and the process ends without a show.
TEST_F(StartUpTest, CloseRequestDuringExtractionRemovesWhatWasWrittenAndEnds) {
  InstallPackage(testing::Show({Slide("0", "A"), Slide("1", "B"), Slide("2", "C")}));
  fake.process.close_requested_after = 2;  // after the music and the first picture
  try {
    Run("/S");
    FAIL() << "the process should end";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  const std::string folder = extraction.path() + "/temp1/";
  EXPECT_TRUE(Logged("WriteFile " + folder + "0"));
  EXPECT_FALSE(Logged("WriteFile " + folder + "1"));
  EXPECT_TRUE(fs::is_empty(extraction.path()));
  EXPECT_TRUE(fake.log.With("Show").empty());
}

// Folders of earlier runs whose process is gone (a free lock) are removed before a number is
// chosen, and the first free number is taken; a folder in use, and one that is not ours, stay.
TEST_F(StartUpTest, LeftOverFoldersOfEndedRunsAreRemovedFirst) {
  InstallPackage(testing::Show({Slide("0", "A")}));
  fake.pictures.Add("0", gdi::Bitmap::Color(640, 480, 0xFF0000));
  const auto folder = [&](const std::string& name, bool locked) {
    fs::create_directory(extraction / name);
    testing::WriteBytes(extraction / (name + "/0"), {1, 2, 3});
    testing::WriteBytes(extraction / (name + ".lock"), {});
    if (locked) fake.files.locks_held_elsewhere.insert(extraction / (name + ".lock"));
  };
  folder("temp1", false);  // left by a killed run
  folder("temp2", true);   // another show plays
  folder("temp3", false);
  fs::create_directory(extraction / "temp4");  // not ours: no lock
  fake.events.KeyDownAt(fake.log.Now() + 100);
  Run("/S");
  EXPECT_TRUE(Logged("WriteFile " + extraction.path() + "/temp1/0"));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(extraction.path()))
    left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"temp2", "temp2.lock", "temp4"}));
}

TEST_F(StartUpTest, ShowWithoutAnExtractionFolderEndsWithTheMessage) {
  InstallPackage(WithSettings(0));
  fake.system.base_folder.reset();
  try {
    Run("/S");
    FAIL() << "the process should end";
  } catch (const ProcessExit& exit) {
    EXPECT_NE(exit.status, 0);
  }
  ASSERT_EQ(fake.dialogs.message_boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.message_boxes[0].text, "実行できません\r\nno folder for the test");
  EXPECT_EQ(fake.log.Texts(), std::vector<std::string>{"MessageBox ポムレット"});  // no show
}

// The Linux player's options: a show file of another name (any name), its own settings file, and
// the show played in a given window whatever the mode.
TEST_F(StartUpTest, ShowFileAndPlayShowOptions) {
  testing::TempFolder other;
  const std::string show_file = other / "holiday.bin";
  const PackageHeader show = testing::Show({Slide("0", "JPEG-0")});
  std::vector<uint8_t> bytes = WritePackage(WithSettings(-1));
  testing::WriteBytes(show_file, bytes);
  testing::WriteBytes(other / "config.set", {0, 0, 0, 0});

  StartOptions options;
  options.show_file = show_file;
  options.settings_file = other / "config.set";
  fake.process.arguments = "/C";
  StartUp(fake.platform(), app, options);
  EXPECT_EQ(fake.files.log.front(), "OpenForReading " + show_file);
  EXPECT_EQ(app.settings.SettingsPath, other / "config.set");
  EXPECT_EQ(app.settings.BgmEnabled, 0);
  EXPECT_EQ(fake.dialogs.settings_dialogs, 1);

  // play_show runs the show even without a mode argument.
  bytes = WritePackage(show);
  testing::WriteBytes(show_file, bytes);
  fake.pictures.Add("0", gdi::Bitmap::Color(640, 480, 0xFF0000));
  fake.events.CloseAt(fake.log.Now() + 100);
  options.play_show = true;
  fake.process.arguments = "";
  app = AppState();
  StartUp(fake.platform(), app, options);
  EXPECT_FALSE(fake.log.With("LoadPicture " + extraction.path() + "/temp1/0").empty());
  EXPECT_TRUE(fs::is_empty(extraction.path()));
}

TEST_F(StartUpTest, AShowFileWithoutAPackageIsAnErrorBeforeAnythingHappens) {
  testing::WriteBytes(program / "plain.txt", {'n', 'o', ' ', 's', 'h', 'o', 'w'});
  StartOptions named;
  named.show_file = program / "plain.txt";
  StartOptions own;  // the program's own file (aquarium.scr) is missing
  own.play_show = true;
  for (const StartOptions& options : {named, own}) {
    fake.log.Clear();
    try {
      fake.process.arguments = "/S";
      StartUp(fake.platform(), app, options);
      ADD_FAILURE() << "a show without a Package ran";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(options.show_file.value_or("aquarium.scr")),
                std::string::npos)
          << error.what();
    }
    EXPECT_TRUE(fs::is_empty(extraction.path()));
    EXPECT_TRUE(fake.log.Calls().empty());
    EXPECT_TRUE(fake.dialogs.message_boxes.empty());
  }
}

// A show that makes itself (the folder's) enters through the same start-up: a second instance
// plays nothing, the show is made for the screen's size and plays with its music on, and neither
// a Package nor a settings file is read.
TEST_F(StartUpTest, AShowOfItsOwnSlidesIsMadeForTheScreenAndPlaysWithoutAPackage) {
  class OwnSlides : public ShowSource {
   public:
    OwnSlides() {
      show_ = testing::Show({testing::Slide("red", "")});
      show_.BgmFileName = "music.mid";
    }
    const PackageHeader& Show() const override { return show_; }
    const SlideEntry& Slide(int32_t index) const override {
      return show_.Slides[static_cast<size_t>(index)];
    }
    gdi::Bitmap Picture(int32_t) override { return gdi::Bitmap::Color(4, 4); }
    std::optional<std::string> PathOf(const std::string& name) const override { return name; }
    std::vector<std::string> KnownCauses() const override { return {}; }

   private:
    PackageHeader show_;
  };
  for (const bool another_instance : {true, false}) {
    SCOPED_TRACE(another_instance);
    fake::FakePlatform fake;
    fake.window.SetScreenSize({320, 200});
    fake.process.another_instance = another_instance;
    fake.events.KeyDownAt(5000);
    std::vector<platform::ScreenSize> made_for;
    StartOptions options;
    options.own_show = [&](platform::ScreenSize area,
                           std::function<void(const std::string&)> report) {
      made_for.push_back(area);
      report("a line of the show's");
      return std::make_unique<OwnSlides>();
    };
    StartUp(fake.platform(), app, options);
    EXPECT_EQ(made_for.size(), another_instance ? 0u : 1u);
    if (another_instance) continue;
    EXPECT_EQ(made_for[0].width, 320);
    EXPECT_EQ(made_for[0].height, 200);
    EXPECT_THAT(fake.process.logged, ::testing::ElementsAre("a line of the show's"));
    EXPECT_THAT(fake.log.Texts(), ::testing::Contains("music started music.mid"));
    EXPECT_TRUE(fake.files.log.empty()) << fake.files.log.front();
  }
  // One that can't be made is an error before anything is shown.
  StartOptions failing;
  failing.own_show = [](platform::ScreenSize,
                        std::function<void(const std::string&)>) -> std::unique_ptr<ShowSource> {
    throw std::runtime_error("/nowhere: not a folder");
  };
  EXPECT_THROW(StartUp(fake.platform(), app, failing), std::runtime_error);
  EXPECT_THAT(fake.log.Texts(), ::testing::Not(::testing::Contains("Show")));
}

}  // namespace
}  // namespace slidesaver
