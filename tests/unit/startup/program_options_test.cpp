// The Linux player's options beside the modes, one table.
#include <gtest/gtest.h>

#include "startup/program_options.h"

namespace slidesaver {
namespace {

using Action = ProgramOptions::Action;
using Args = std::vector<std::string>;

struct Case {
  Args arguments;
  Action action;
  ShowTarget target = ShowTarget::Mode;
  uint32_t window_id = 0;
  std::optional<std::string> show_file = std::nullopt;
  Args mode_arguments = {};
  std::string error = {};  // a part of the message
  bool wayland = false;
  gdi::AreaFit fit = gdi::AreaFit::OwnSize;
};

const Case kCases[] = {
    // The modes pass through as they are, numbers after them too.
    {{}, Action::Run},
    {{"/S"}, Action::Run, ShowTarget::Mode, 0, std::nullopt, {"/S"}},
    {{"/A", "-7"}, Action::Run, ShowTarget::Mode, 0, std::nullopt, {"/A", "-7"}},
    {{"/c:12", "x y"}, Action::Run, ShowTarget::Mode, 0, std::nullopt, {"/c:12", "x y"}},
    // --show with the value apart, after '=', with one dash, before or after the mode.
    {{"--show", "a.scr", "/S"}, Action::Run, ShowTarget::Mode, 0, "a.scr", {"/S"}},
    {{"/C", "-show=b c.scr"}, Action::Run, ShowTarget::Mode, 0, "b c.scr", {"/C"}},
    {{"--show", "-odd.scr"}, Action::Run, ShowTarget::Mode, 0, "-odd.scr"},
    // The targets; the last one counts (a settings app appends --window-id to --root).
    {{"-root"}, Action::Run, ShowTarget::Root},
    {{"--root", "--show", "d.scr", "--window-id", "0x1A00003"},
     Action::Run,
     ShowTarget::WindowId,
     0x1A00003,
     "d.scr"},
    {{"-window-id=4194312"}, Action::Run, ShowTarget::WindowId, 4194312},
    {{"--window-id", "0XFFFFFFFF"}, Action::Run, ShowTarget::WindowId, 0xFFFFFFFF},
    {{"--window-id", "5", "--window"}, Action::Run, ShowTarget::OwnWindow},
    // --wayland with a mode or a target.
    {{"-wayland", "/S"}, Action::Run, ShowTarget::Mode, 0, std::nullopt, {"/S"}, {}, true},
    {{"--window", "--wayland"}, Action::Run, ShowTarget::OwnWindow, 0, std::nullopt, {}, {}, true},
    // The fit, with any target or mode; the last one counts.
    {{"--fit", "fill", "/S"},
     Action::Run,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {"/S"},
     {},
     false,
     gdi::AreaFit::Fill},
    {{"--fit=fill", "-fit=sharp", "--root"},
     Action::Run,
     ShowTarget::Root,
     0,
     std::nullopt,
     {},
     {},
     false,
     gdi::AreaFit::Sharp},
    {{"--fit", "none"}, Action::Run},
    {{"--fit", "Fill"},
     Action::UsageError,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {},
     "--fit takes none, fill or sharp, not Fill"},
    {{"--fit"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "needs a value"},
    // "--" ends the options.
    {{"--", "-x"}, Action::Run, ShowTarget::Mode, 0, std::nullopt, {"-x"}},
    // --help and --version win over the rest, but not over a mistake.
    {{"/S", "--help"}, Action::Help, ShowTarget::Mode, 0, std::nullopt, {"/S"}},
    {{"-version", "--root"}, Action::Version, ShowTarget::Root},
    {{"--help", "--bogus"},
     Action::UsageError,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {},
     "unknown option --bogus"},
    // Mistakes.
    {{"-"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "unknown option -"},
    {{"--show"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "needs a value"},
    {{"--show="}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "needs a file"},
    {{"--root=1"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "takes no value"},
    {{"--wayland=x"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "takes no value"},
    {{"--window-id", "0"},
     Action::UsageError,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {},
     "not a window id: 0"},
    {{"--window-id", "0x"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "0x"},
    {{"--window-id", "12ab"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "12ab"},
    {{"--window-id", "4294967296"},
     Action::UsageError,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {},
     "4294967296"},
    {{"--window-id", "-5"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "-5"},
    {{"--root", "/S"},
     Action::UsageError,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {},
     "no mode argument (/S)"},
    // The idle watcher: whole seconds, full screen only.
    {{"--idle", "0"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "not 0"},
    {{"--idle=86401"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "not 86401"},
    {{"--idle", "2.5"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "1 to 86400"},
    {{"--idle", "5", "/S"}, Action::UsageError, ShowTarget::Mode, 0, std::nullopt, {}, "(/S)"},
    {{"--idle", "5", "--root"},
     Action::UsageError,
     ShowTarget::Mode,
     0,
     std::nullopt,
     {},
     "--root"},
};

TEST(ProgramOptions, EveryFormAndMistake) {
  for (const Case& c : kCases) {
    std::string trace;
    for (const std::string& a : c.arguments) trace += "[" + a + "] ";
    SCOPED_TRACE(trace);
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    EXPECT_EQ(options.action, c.action);
    EXPECT_NE(options.error.find(c.error), std::string::npos) << options.error;
    if (c.action == Action::UsageError) continue;
    EXPECT_TRUE(options.error.empty());
    EXPECT_EQ(options.target, c.target);
    EXPECT_EQ(options.window_id, c.window_id);
    EXPECT_EQ(options.show_file, c.show_file);
    EXPECT_EQ(options.mode_arguments, c.mode_arguments);
    EXPECT_EQ(options.wayland, c.wayland);
    EXPECT_EQ(options.fit, c.fit);
  }
}

// The show the watcher starts gets the watcher's show, place and fit as options, and /S; the
// idle time is the watcher's alone.
TEST(ProgramOptions, IdleShowArgumentsCarryTheShowButNotTheIdleTime) {
  const struct {
    Args arguments;
    Args show;
  } cases[] = {
      {{"--idle", "300"}, {"/S"}},
      {{"-idle=86400", "--show", "-odd.scr", "--fit", "sharp", "--wayland"},
       {"--show=-odd.scr", "--fit=sharp", "--wayland", "/S"}},
      {{"--idle", "1", "--folder", "/p", "--time", "800", "--xscreensaver-images"},
       {"--folder=/p", "--xscreensaver-images", "--time=800", "/S"}},
  };
  for (const auto& c : cases) {
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    ASSERT_EQ(options.action, Action::Run) << options.error;
    ASSERT_TRUE(options.idle_seconds);
    EXPECT_EQ(IdleShowArguments(options), c.show);
    // What the show is given, it reads back as the watcher had it.
    const ProgramOptions show = ParseProgramOptions(IdleShowArguments(options));
    EXPECT_FALSE(show.idle_seconds);
    EXPECT_EQ(show.show_file, options.show_file);
    EXPECT_EQ(show.folder, options.folder);
    EXPECT_EQ(show.folder_choices, options.folder_choices);
    EXPECT_EQ(show.fit, options.fit);
    EXPECT_EQ(show.mode_arguments, Args{"/S"});
  }
}

TEST(ProgramOptions, UsageNamesEveryOptionAndMode) {
  const std::string usage = UsageText();
  for (const char* word :
       {"--show FILE", "--root", "--window-id ID", "--window ", "--wayland", "--fit FIT", "--help",
        "--version", "/S", "/C", "/A", "/P", "XSCREENSAVER_WINDOW", "--idle SECONDS"}) {
    EXPECT_NE(usage.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace slidesaver
