// The clean-up when the show form is unloaded: every extracted file and the folder go, and
// nothing outside the folder is touched.
#include <filesystem>

#include "tests/show/show_test_support.h"

namespace slidesaver::testing {
namespace {

namespace fs = std::filesystem;
constexpr uint32_t kRed = 0xFF0000;

class CleanupTest : public ShowTest {
 protected:
  void SetUp() override {
    app.TempDir = temp.path() + "/temp1/";
    fs::create_directory(app.TempDir);
  }
  void Touch(const std::string& path) { WriteBytes(path, {1, 2, 3}); }
  void Unload() {
    Form1 form(platform, app);
    int16_t cancel = 0;
    form.Form_Unload(cancel);
  }
};

TEST_F(CleanupTest, SharedNamesAreDeletedOnceAndTheFolderGoes) {
  app.Package.BgmFileName = "m.mid";
  AddSlide("p", kRed).SoundFileName = "s.wav";
  AddSlide("q", kRed);
  AddSlide("p", kRed).SoundFileName = "s.wav";
  for (const char* name : {"p", "q", "s.wav", "m.mid"}) Touch(app.TempDir + name);
  Unload();
  EXPECT_FALSE(fs::exists(app.TempDir));
  EXPECT_EQ(fake.files.LogFor(app.TempDir + "p"),
            (std::vector<std::string>{"FileExists " + app.TempDir + "p",
                                      "DeleteFile " + app.TempDir + "p",
                                      "FileExists " + app.TempDir + "p"}));
}

TEST_F(CleanupTest, LeftoversKeepTheFolderAndFailuresAreIgnored) {
  AddSlide("p", kRed);
  Touch(app.TempDir + "p");
  Touch(app.TempDir + "stranger");
  Unload();
  EXPECT_FALSE(fs::exists(app.TempDir + "p"));
  EXPECT_TRUE(fs::exists(app.TempDir + "stranger"));  // not ours: the folder stays
}

TEST_F(CleanupTest, NamesThatLeaveTheFolderDeleteNothing) {
  Touch(temp.path() + "/outside");
  AddSlide("../outside", kRed).SoundFileName = "../outside";
  app.Package.BgmFileName = "../outside";
  Unload();
  EXPECT_TRUE(fs::exists(temp.path() + "/outside"));
  EXPECT_FALSE(fs::exists(app.TempDir));
}

TEST_F(CleanupTest, SlideCountLargerThanTheSlidesIsBoundedByThem) {
  AddSlide("p", kRed);
  app.Package.SlideCount = 1000;
  Touch(app.TempDir + "p");
  Unload();
  EXPECT_FALSE(fs::exists(app.TempDir));
}

TEST_F(CleanupTest, NoExtractionFolderDeletesNothing) {
  Touch(temp.path() + "/p");
  AddSlide("p", kRed);
  app.TempDir.clear();
  Unload();
  EXPECT_TRUE(fake.files.log.empty());
}

TEST_F(CleanupTest, ShowLeftByAnExceptionStillCleansUp) {
  AddSlide("p", kRed);
  Touch(app.TempDir + "p");
  fake.events.SetLimits(5000, 1'000'000);  // nobody stops it: the test platform gives up
  EXPECT_THROW(Run(), fake::FakeShowRanAway);
  EXPECT_FALSE(fs::exists(app.TempDir));
}

TEST_F(CleanupTest, AWholeShowEndsWithoutItsFolder) {
  AddSlide("p", kRed);
  Touch(app.TempDir + "p");
  fake.events.KeyDownAt(1500);
  Run();
  EXPECT_FALSE(fs::exists(app.TempDir));
}

}  // namespace
}  // namespace slidesaver::testing
