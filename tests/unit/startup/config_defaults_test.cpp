// The configuration file's defaults: any option the player knows, by its name, before the
// command line's own; a line it can't use is an error naming the file and the line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "startup/config_defaults.h"
#include "startup/program_options.h"

namespace slidesaver {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ConfigDefaults, EachLineIsAnOptionAndAMistakeNamesItsLine) {
  struct Case {
    std::string text;
    std::vector<std::string> arguments;
    std::string error;
  };
  const Case cases[] = {
      {"", {}, ""},
      {"# photos\n\n  time = 8000 \r\nfolder=/home/a b/Pictures\nbackground = #102030\n",
       {"--time=8000", "--folder=/home/a b/Pictures", "--background=#102030"},
       ""},
      {"time = 1\nbogus = 2\n", {}, "me.conf:2: unknown option --bogus=2"},
      {"\n\njust words\n", {}, "me.conf:3: not a 'name = value' line"},
      {" = 5\n", {}, "me.conf:1: not a 'name = value' line"},
      {"root = yes\n", {}, "me.conf:1: option --root takes no value"},
      {"help = \n", {}, "me.conf:1: option --help takes no value"},
      {"show = \n", {}, "me.conf:1: option --show needs a file"},
      {"idle = 300\n", {}, "me.conf:1: idle is no default: the idle watcher is started by itself"},
      {"show = a.scr\n\nfolder = /b\n",
       {},
       "me.conf:3: one show at a time: me.conf:1 names one already"},
      {"folder = /a\nfolder = /b\n",
       {},
       "me.conf:2: one show at a time: me.conf:1 names one already"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ConfigDefaults defaults = ReadConfigDefaults(c.text, "me.conf");
    EXPECT_EQ(defaults.error, c.error);
    if (c.error.empty()) {
      EXPECT_EQ(defaults.arguments, c.arguments);
    }
  }
}

TEST(ConfigDefaults, TheCommandLineWinsOverTheFile) {
  std::vector<std::string> arguments =
      ReadConfigDefaults("time = 8000\norder = name\nfolder = /a\n", "me.conf").arguments;
  for (const char* given : {"--time", "3000", "--folder=/b", "/S"}) arguments.push_back(given);
  const ProgramOptions options = ParseProgramOptions(arguments);
  ASSERT_EQ(options.action, ProgramOptions::Action::Run) << options.error;
  EXPECT_EQ(options.folder, "/b");
  EXPECT_EQ(options.folder_choices.at("time"), "3000");
  EXPECT_EQ(options.folder_choices.at("order"), "name");
  EXPECT_THAT(options.mode_arguments, ElementsAre("/S"));
  EXPECT_EQ(ParseProgramOptions({"--folder", "/a", "--show", "x.scr"}).error,
            "--folder and --show: one show at a time");
  EXPECT_THAT(ParseProgramOptions({"--folder=/a", "--root"}).mode_arguments, IsEmpty());
  EXPECT_TRUE(ParseProgramOptions({"--root", "--xscreensaver-images"}).xscreensaver_images);
}

// A show named on the command line replaces the file's, of either kind; what stays of the
// file's show, folder and folder choices is known by its line.
TEST(ConfigDefaults, TheCommandLinesShowReplacesTheFilesAndTheFilesValuesKeepTheirLines) {
  struct Case {
    std::string file;
    std::vector<std::string> command_line;
    std::optional<std::string> show, folder;
    std::map<std::string, std::string> file_lines;
  };
  const Case cases[] = {
      {"show = a.scr\ntime = 8000\n", {"--folder", "/p", "/S"}, {}, "/p", {{"time", "c:2"}}},
      {"folder = /p\nfit = fill\n", {"--root", "--show", "b.scr"}, "b.scr", {}, {}},
      {"folder = /p\n", {"--xscreensaver-images", "--root"}, {}, {}, {}},
      {"folder = /p\ntime = 1\nmusic = m.mid\n",
       {"--time=5", "/S"},
       {},
       "/p",
       {{"folder", "c:1"}, {"music", "c:3"}}},
      {"show = a.scr\n", {"/S"}, "a.scr", {}, {{"show", "c:1"}}},
      {"time = 1\ntime = 2\n", {"/S"}, {}, {}, {{"time", "c:2"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const ConfigDefaults defaults = ReadConfigDefaults(c.file, "c");
    ASSERT_EQ(defaults.error, "");
    const PlayerArguments given = WithConfigDefaults(defaults, c.command_line);
    const ProgramOptions options = ParseProgramOptions(given.arguments);
    ASSERT_EQ(options.action, ProgramOptions::Action::Run) << options.error;
    EXPECT_EQ(options.show_file, c.show);
    EXPECT_EQ(options.folder, c.folder);
    EXPECT_EQ(given.file_lines, c.file_lines);
  }
  // Both on the command line are still one show too many.
  EXPECT_EQ(ParseProgramOptions(WithConfigDefaults(ReadConfigDefaults("show = a\n", "c"),
                                                   {"--folder=/p", "--show=b"})
                                    .arguments)
                .error,
            "--folder and --show: one show at a time");
}

}  // namespace
}  // namespace slidesaver
