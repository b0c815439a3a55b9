// The idle watcher's rules on a session whose time is virtual: when shows start and end, what
// the watcher says, and how it ends.
#include "idle/idle_watcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_idle_session.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

using fake::FakeIdleSession;
using fake::LoggedCall;

constexpr int64_t kIdle = 1000;

struct WatchCase {
  const char* name;
  std::function<void(FakeIdleSession&)> script;
  std::vector<LoggedCall> log;
  int status;
};

void PrintTo(const WatchCase& c, std::ostream* out) { *out << c.name; }

class IdleWatcherRules : public ::testing::TestWithParam<WatchCase> {};

TEST_P(IdleWatcherRules, ShowsStartAndEndAsTheRulesSay) {
  fake::FakeCallLog log;
  FakeIdleSession session(log, kIdle);
  GetParam().script(session);
  EXPECT_EQ(idle::WatchIdle(session, session), GetParam().status);
  EXPECT_THAT(log.Calls(), ::testing::ElementsAreArray(GetParam().log));
}

const std::string kStandsAside =
    "watcher: another screen saver keeps the session, or a program holds idle off: no show this "
    "time";

INSTANTIATE_TEST_SUITE_P(
    Session, IdleWatcherRules,
    ::testing::Values(
        WatchCase{"IdleTimeStartsTheShowAndTheCloseRequestEndsIt",
                  [](FakeIdleSession& s) { s.CloseAt(5000); },
                  {{1000, "show started"}, {5000, "show ended by the watcher"}},
                  0},
        WatchCase{"InputBeforeTheIdleTimePutsTheShowOff",
                  [](FakeIdleSession& s) {
                    s.InputAt(600);
                    s.InputAt(1400);
                    s.CloseAt(3000);
                  },
                  {{2400, "show started"}, {3000, "show ended by the watcher"}},
                  0},
        // Input ends the show; the next one comes a whole idle time after the last input.
        WatchCase{"InputEndsTheShowAndTheNextWaitsAWholeIdleTime",
                  [](FakeIdleSession& s) {
                    s.InputAt(1500);
                    s.InputAt(2200);
                    s.CloseAt(3500);
                  },
                  {{1000, "show started"},
                   {1500, "show ended 0"},
                   {3200, "show started"},
                   {3500, "show ended by the watcher"}},
                  0},
        // A show that ends by itself while the user stays away is not started again until
        // they have come back and gone again.
        WatchCase{"ACrashedShowWaitsForInputAndAWholeIdleTime",
                  [](FakeIdleSession& s) {
                    s.NextShowEndsAfter(300, 139);
                    s.InputAt(4000);
                    s.CloseAt(6000);
                  },
                  {{1000, "show started"},
                   {1300, "show ended 139"},
                   {1300, "watcher: the show ended with status 139"},
                   {5000, "show started"},
                   {6000, "show ended by the watcher"}},
                  0},
        WatchCase{"AShowThatEndsWellSaysNothing",
                  [](FakeIdleSession& s) {
                    s.NextShowEndsAfter(300, 0);
                    s.InputAt(1500);
                    s.CloseAt(2600);
                  },
                  {{1000, "show started"},
                   {1300, "show ended 0"},
                   {2500, "show started"},
                   {2600, "show ended by the watcher"}},
                  0},
        WatchCase{"AShowThatCannotStartIsTriedAgainAfterInputAndAnIdleTime",
                  [](FakeIdleSession& s) {
                    s.NextShowFailsToStart("cannot start /bin/player: No such file or directory");
                    s.InputAt(2000);
                    s.CloseAt(3500);
                  },
                  {{1000, "watcher: cannot start /bin/player: No such file or directory"},
                   {3000, "show started"},
                   {3500, "show ended by the watcher"}},
                  0},
        // Looked for at each idle time: no show while another saver keeps the session.
        WatchCase{"NoShowWhileAnotherSaverRuns",
                  [](FakeIdleSession& s) {
                    s.OtherSaverDuring(0, 2500);
                    s.InputAt(1200);
                    s.InputAt(2300);
                    s.CloseAt(4000);
                  },
                  {{1000, kStandsAside},
                   {2200, kStandsAside},
                   {3300, "show started"},
                   {4000, "show ended by the watcher"}},
                  0},
        // A compositor says Idle and Active by itself: idle again while the show still plays
        // (input did not end it) starts no second show.
        WatchCase{"OneShowAtATimeWhenTheSourceTellsInTurn",
                  [](FakeIdleSession& s) {
                    s.TellInTurn();
                    s.NextShowEndsOnlyAfter(2000, 0);
                    s.InputAt(1500);
                    s.InputAt(4000);
                    s.CloseAt(5500);
                  },
                  {{1000, "show started"},
                   {3000, "show ended 0"},
                   {5000, "show started"},
                   {5500, "show ended by the watcher"}},
                  0},
        WatchCase{"InputEndsTheShowWhenTheSourceTellsInTurn",
                  [](FakeIdleSession& s) {
                    s.TellInTurn();
                    s.InputAt(1500);
                    s.CloseAt(3000);
                  },
                  {{1000, "show started"},
                   {1500, "show ended 0"},
                   {2500, "show started"},
                   {3000, "show ended by the watcher"}},
                  0},
        WatchCase{"ALostSessionEndsTheShowAndTheWatcher",
                  [](FakeIdleSession& s) {
                    s.LoseSourceAt(1800);
                    s.CloseAt(5000);
                  },
                  {{1000, "show started"}, {1800, "show ended by the watcher"}},
                  1},
        WatchCase{"ALostSessionEndsAWaitingWatcher",
                  [](FakeIdleSession& s) {
                    s.InputAt(700);
                    s.LoseSourceAt(900);
                  },
                  {},
                  1},
        WatchCase{"TheCloseRequestEndsAWaitingWatcher",
                  [](FakeIdleSession& s) {
                    s.InputAt(500);
                    s.CloseAt(1200);
                  },
                  {},
                  0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IdleWatcherLock, OneWatcherPerSession) {
  struct LockCase {
    bool held_elsewhere;
    std::vector<LoggedCall> log;
    int status;
  };
  for (const LockCase& c :
       {LockCase{false, {{1000, "show started"}, {1500, "show ended by the watcher"}}, 0},
        LockCase{true, {{0, "watcher: an idle watcher already runs for display fake:0"}}, 1}}) {
    fake::FakeCallLog log;
    FakeIdleSession session(log, kIdle);
    session.CloseAt(1500);
    testing::TempFolder run;
    const std::string lock = run / "idle-fake:0.lock";
    fake::FakeFileSystem files;
    if (c.held_elsewhere) files.locks_held_elsewhere.insert(lock);
    EXPECT_EQ(idle::WatchIdleAlone(session, session, files, run.path() + "/"), c.status);
    EXPECT_THAT(log.Calls(), ::testing::ElementsAreArray(c.log));
    EXPECT_THAT(files.LogFor("idle-"), ::testing::ElementsAre("TakeOwnerLock " + lock));
    EXPECT_TRUE(files.HeldLocks().empty()) << "the lock stays after the watcher";
    EXPECT_FALSE(files.Exists(lock)) << "its file stays after the watcher";
  }
}

TEST(IdleWatcherLock, ALockThatCannotBeTakenIsNamed) {
  fake::FakeCallLog log;
  FakeIdleSession session(log, kIdle);
  testing::TempFolder run;
  fake::FakeFileSystem files;
  files.fail_writes.push_back("idle-");
  EXPECT_EQ(idle::WatchIdleAlone(session, session, files, run.path() + "/"), 1);
  EXPECT_THAT(log.Texts(),
              ::testing::ElementsAre("watcher: cannot take the idle watcher's lock " +
                                     (run / "idle-fake:0.lock") + ": Permission denied"));
}

}  // namespace
}  // namespace slidesaver
