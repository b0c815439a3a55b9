#pragma once
// The test platform's clock and message loop. Time is virtual: it stands still while the
// show computes and moves only when the show waits, straight to the deadline or to the next
// scripted input, so a whole show runs in milliseconds and every tick is predictable.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "platform/show_window.h"

namespace slidesaver::fake {

class FakeShowWindow;

// Every platform call of the show services, with the virtual tick at which it was made.
struct LoggedCall {
  int64_t tick;
  std::string text;
  bool operator==(const LoggedCall&) const = default;
};

class FakeCallLog {
 public:
  void Add(std::string text) { calls_.push_back({now_, std::move(text)}); }
  const std::vector<LoggedCall>& Calls() const { return calls_; }
  // The calls whose text starts with prefix, in order.
  std::vector<LoggedCall> With(std::string_view prefix) const;
  // Texts only, leaving out the clock and message-loop calls, which are many.
  std::vector<std::string> Texts(bool include_clock = false) const;
  void Clear() { calls_.clear(); }

  int64_t Now() const { return now_; }
  void SetNow(int64_t tick) { now_ = tick; }

 private:
  int64_t now_ = 0;
  std::vector<LoggedCall> calls_;
};

// Thrown when a show runs longer than the test allows (not a std::exception, so the show's
// error trap lets it through to the test).
struct FakeShowRanAway {
  std::string why;
};

enum class ScriptedKind { KeyDown, MouseDown, MouseMove, Close };

struct ScriptedInput {
  int64_t tick;
  ScriptedKind kind;
  platform::Point cursor{};  // MouseMove: where the cursor is when the event is handled
};

class FakeEventLoop : public platform::EventLoop {
 public:
  FakeEventLoop(FakeCallLog& log, FakeShowWindow& window) : log_(log), window_(window) {}

  int64_t TickCount() override;
  void Yield() override;
  void YieldUntil(int64_t deadline) override;

  // Input handled by the first yield at or after tick.
  void KeyDownAt(int64_t tick);
  void MouseDownAt(int64_t tick);
  void MouseMoveAt(int64_t tick, platform::Point cursor);
  void CloseAt(int64_t tick);  // a signal or the system's close request

  void SetNow(int64_t tick) { log_.SetNow(tick); }
  // A show still running at this tick (or after this many yields) is a runaway.
  void SetLimits(int64_t last_tick, int64_t max_yields);
  int64_t Yields() const { return yields_; }
  // The deadlines of the waits so far, in order.
  std::vector<int64_t> Deadlines() const;

  // Runs at the end of every yield, after the scripted input, with the yield's 0-based index:
  // what an input handler would do at that moment.
  std::function<void(int64_t yield)> on_yield;

 private:
  void Schedule(ScriptedInput input);
  void Deliver();
  void DeliverScript();
  void CountYield();

  FakeCallLog& log_;
  FakeShowWindow& window_;
  std::vector<ScriptedInput> script_;  // sorted by tick, stable
  int64_t last_tick_ = 100'000'000;
  int64_t max_yields_ = 5'000'000;
  int64_t yields_ = 0;
};

}  // namespace slidesaver::fake
