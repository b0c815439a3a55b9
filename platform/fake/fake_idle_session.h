#pragma once
// The idle watcher's platform in tests: a session on the call log's virtual clock, with
// scripted input, another screen saver, the session lost and the close request, and shows
// that play until the first input (as /S does) unless told otherwise. Time moves only while
// the watcher waits, straight to the next thing that happens.
//
// The source keeps its promises the way an X server's idle alarms do: AwaitIdle says Idle at
// once when the user already is, AwaitActive says Active at once when input came after the
// last Idle; or, told so, it says Idle and Active in turn by itself, as a Wayland compositor
// does. The log says "show started", "show ended STATUS" (by itself or by input), "show
// ended by the watcher", and "watcher: LINE" for what the watcher tells the user.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_event_loop.h"
#include "platform/idle_host.h"
#include "platform/idle_source.h"

namespace slidesaver::fake {

class FakeIdleSession : public platform::IdleSource, public platform::IdleHost {
 public:
  FakeIdleSession(FakeCallLog& log, int64_t idle_time) : log_(log), idle_time_(idle_time) {}

  void InputAt(int64_t tick);
  void OtherSaverDuring(int64_t from, int64_t to);  // [from, to)
  void LoseSourceAt(int64_t tick);
  void CloseAt(int64_t tick);
  // The next show started ends by itself `after` ms later with `status` (a crash: 128 + the
  // signal), unless input ends it first.
  void NextShowEndsAfter(int64_t after, int status);
  // The next show started ends only then: input does not end it (its password check is open).
  void NextShowEndsOnlyAfter(int64_t after, int status);
  // Idle and Active in turn whatever the watcher awaits, as a compositor tells them.
  void TellInTurn() { in_turn_ = true; }
  void NextShowFailsToStart(std::string why);

  // platform::IdleSource
  void AwaitIdle() override { idle_awaited_ = !in_turn_; }
  void AwaitActive() override { active_awaited_ = !in_turn_; }
  platform::IdleNews Next() override;
  bool OtherSaverRuns() override;
  std::string SessionName() const override { return "fake:0"; }
  // platform::IdleHost
  std::unique_ptr<platform::StartedShow> StartShow() override;
  platform::IdleWake Wait(platform::StartedShow* show) override;
  void Log(const std::string& line) override { log_.Add("watcher: " + line); }

  // A show of this session.
  struct Show {
    std::optional<int> status;  // once it has ended
    int64_t end_at = -1;        // when it ends by itself (-1: only input ends it)
    int end_status = 0;
    bool input_ends_it = true;
  };
  void ShowGone(const Show& show);

 private:
  enum class Happening { Input, Lose, Close };
  struct Scripted {
    int64_t tick;
    Happening what;
  };
  void Script(int64_t tick, Happening what);
  // The news the source's promises hold at this moment.
  void KeepPromises();
  // The next moment something happens, or -1 when nothing will.
  int64_t NextMoment() const;
  void EndShow(int status);

  FakeCallLog& log_;
  int64_t idle_time_;
  int64_t last_input_ = 0;
  int64_t last_idle_ = -1;
  bool idle_awaited_ = false;
  bool active_awaited_ = false;
  bool in_turn_ = false;
  bool idle_told_ = false;  // in turn: Idle was the last news
  bool lost_ = false;
  bool closed_ = false;
  std::deque<Scripted> script_;  // by tick
  std::vector<std::pair<int64_t, int64_t>> other_saver_;
  std::deque<platform::IdleNews> news_;
  Show* show_ = nullptr;
  Show next_show_;
  std::string next_failure_;
};

}  // namespace slidesaver::fake
