#include "platform/fake/fake_event_loop.h"

#include <algorithm>

#include "platform/fake/fake_show_window.h"

namespace slidesaver::fake {

std::vector<LoggedCall> FakeCallLog::With(std::string_view prefix) const {
  std::vector<LoggedCall> out;
  for (const LoggedCall& c : calls_) {
    if (std::string_view(c.text).substr(0, prefix.size()) == prefix) out.push_back(c);
  }
  return out;
}

std::vector<std::string> FakeCallLog::Texts(bool include_clock) const {
  std::vector<std::string> out;
  for (const LoggedCall& c : calls_) {
    const bool clock =
        c.text == "TickCount" || c.text == "Yield" || c.text.starts_with("YieldUntil");
    if (include_clock || !clock) out.push_back(c.text);
  }
  return out;
}

int64_t FakeEventLoop::TickCount() {
  log_.Add("TickCount");
  return log_.Now();
}

void FakeEventLoop::CountYield() {
  if (++yields_ > max_yields_) throw FakeShowRanAway{"too many yields"};
  if (log_.Now() > last_tick_) throw FakeShowRanAway{"the show outlived its last tick"};
}

void FakeEventLoop::Yield() {
  log_.Add("Yield");
  CountYield();
  Deliver();
}

std::vector<int64_t> FakeEventLoop::Deadlines() const {
  std::vector<int64_t> out;
  for (const LoggedCall& call : log_.With("YieldUntil "))
    out.push_back(std::stoll(call.text.substr(11)));
  return out;
}

void FakeEventLoop::YieldUntil(int64_t deadline) {
  log_.Add("YieldUntil " + std::to_string(deadline));
  CountYield();
  const int64_t now = log_.Now();
  const bool input_waiting = !script_.empty() && script_.front().tick <= now;
  if (now <= deadline && !input_waiting) {
    // Blocks until the deadline has passed or the next input arrives.
    int64_t wake = deadline + 1;
    for (const ScriptedInput& in : script_) {
      if (in.tick > now) {
        wake = std::min<int64_t>(wake, in.tick);
        break;
      }
    }
    log_.SetNow(wake);
  }
  Deliver();
}

void FakeEventLoop::Deliver() {
  DeliverScript();
  if (on_yield) on_yield(yields_ - 1);
}

void FakeEventLoop::DeliverScript() {
  while (!script_.empty() && script_.front().tick <= log_.Now()) {
    const ScriptedInput in = script_.front();
    script_.erase(script_.begin());
    if (in.kind == ScriptedKind::MouseMove) window_.SetCursorPos(in.cursor);
    platform::InputSink* sink = window_.Sink();
    if (!sink) continue;  // no form listens: the message goes nowhere
    switch (in.kind) {
      case ScriptedKind::KeyDown:
        sink->KeyDown();
        break;
      case ScriptedKind::MouseDown:
        sink->MouseDown();
        break;
      case ScriptedKind::MouseMove:
        sink->MouseMove();
        break;
      case ScriptedKind::Close:
        sink->CloseRequested();
        break;
    }
  }
}

void FakeEventLoop::Schedule(ScriptedInput input) {
  auto at = std::upper_bound(script_.begin(), script_.end(), input.tick,
                             [](int64_t t, const ScriptedInput& s) { return t < s.tick; });
  script_.insert(at, input);
}

void FakeEventLoop::KeyDownAt(int64_t tick) { Schedule({tick, ScriptedKind::KeyDown}); }
void FakeEventLoop::MouseDownAt(int64_t tick) { Schedule({tick, ScriptedKind::MouseDown}); }
void FakeEventLoop::MouseMoveAt(int64_t tick, platform::Point cursor) {
  Schedule({tick, ScriptedKind::MouseMove, cursor});
}
void FakeEventLoop::CloseAt(int64_t tick) { Schedule({tick, ScriptedKind::Close}); }

void FakeEventLoop::SetLimits(int64_t last_tick, int64_t max_yields) {
  last_tick_ = last_tick;
  max_yields_ = max_yields;
}

}  // namespace slidesaver::fake
