#include "platform/fake/fake_idle_session.h"

#include <algorithm>
#include <stdexcept>

namespace slidesaver::fake {
namespace {

class FakeStartedShow : public platform::StartedShow {
 public:
  FakeStartedShow(FakeIdleSession& session, FakeCallLog& log, FakeIdleSession::Show show)
      : session_(session), log_(log), show_(show) {}
  ~FakeStartedShow() override {
    if (!show_.status) log_.Add("show ended by the watcher");
    session_.ShowGone(show_);
  }
  FakeStartedShow(const FakeStartedShow&) = delete;
  FakeStartedShow& operator=(const FakeStartedShow&) = delete;

  int Wait() override {
    // A real wait would block for good: the watcher waits only for a show that has ended.
    if (!show_.status) throw std::logic_error("the watcher waits for a show that plays");
    return *show_.status;
  }

  FakeIdleSession::Show& State() { return show_; }

 private:
  FakeIdleSession& session_;
  FakeCallLog& log_;
  FakeIdleSession::Show show_;
};

}  // namespace

void FakeIdleSession::Script(int64_t tick, Happening what) {
  const auto at = std::upper_bound(script_.begin(), script_.end(), tick,
                                   [](int64_t t, const Scripted& s) { return t < s.tick; });
  script_.insert(at, {tick, what});
}

void FakeIdleSession::InputAt(int64_t tick) { Script(tick, Happening::Input); }
void FakeIdleSession::LoseSourceAt(int64_t tick) { Script(tick, Happening::Lose); }
void FakeIdleSession::CloseAt(int64_t tick) { Script(tick, Happening::Close); }

void FakeIdleSession::OtherSaverDuring(int64_t from, int64_t to) {
  other_saver_.emplace_back(from, to);
}

void FakeIdleSession::NextShowEndsAfter(int64_t after, int status) {
  next_show_.end_at = after;
  next_show_.end_status = status;
}

void FakeIdleSession::NextShowEndsOnlyAfter(int64_t after, int status) {
  NextShowEndsAfter(after, status);
  next_show_.input_ends_it = false;
}

void FakeIdleSession::NextShowFailsToStart(std::string why) { next_failure_ = std::move(why); }

platform::IdleNews FakeIdleSession::Next() {
  if (news_.empty()) return platform::IdleNews::Nothing;
  const platform::IdleNews news = news_.front();
  news_.pop_front();
  return news;
}

bool FakeIdleSession::OtherSaverRuns() {
  const int64_t now = log_.Now();
  return std::any_of(other_saver_.begin(), other_saver_.end(), [now](const auto& during) {
    return during.first <= now && now < during.second;
  });
}

std::unique_ptr<platform::StartedShow> FakeIdleSession::StartShow() {
  if (!next_failure_.empty()) {
    const std::string why = std::move(next_failure_);
    next_failure_.clear();
    throw std::runtime_error(why);
  }
  Show show = next_show_;
  next_show_ = {};
  if (show.end_at >= 0) show.end_at += log_.Now();
  log_.Add("show started");
  auto started = std::make_unique<FakeStartedShow>(*this, log_, show);
  show_ = &started->State();
  return started;
}

void FakeIdleSession::ShowGone(const Show& show) {
  if (show_ == &show) show_ = nullptr;
}

void FakeIdleSession::EndShow(int status) {
  show_->status = status;
  log_.Add("show ended " + std::to_string(status));
}

void FakeIdleSession::KeepPromises() {
  const int64_t now = log_.Now();
  if (in_turn_) {
    if (idle_told_ && last_input_ > last_idle_) {
      idle_told_ = false;
      news_.push_back(platform::IdleNews::Active);
    } else if (!idle_told_ && now - last_input_ >= idle_time_) {
      idle_told_ = true;
      last_idle_ = now;
      news_.push_back(platform::IdleNews::Idle);
    }
    return;
  }
  if (active_awaited_ && last_input_ > last_idle_) {
    active_awaited_ = false;
    news_.push_back(platform::IdleNews::Active);
  }
  if (idle_awaited_ && now - last_input_ >= idle_time_) {
    idle_awaited_ = false;
    last_idle_ = now;
    news_.push_back(platform::IdleNews::Idle);
  }
}

int64_t FakeIdleSession::NextMoment() const {
  int64_t next = script_.empty() ? -1 : script_.front().tick;
  const auto sooner = [&next](int64_t tick) {
    if (next < 0 || tick < next) next = tick;
  };
  if ((idle_awaited_ || (in_turn_ && !idle_told_)) && !lost_) sooner(last_input_ + idle_time_);
  if (show_ && !show_->status && show_->end_at >= 0) sooner(show_->end_at);
  return next;
}

platform::IdleWake FakeIdleSession::Wait(platform::StartedShow* show) {
  if ((show != nullptr) != (show_ != nullptr))
    throw std::logic_error("the watcher waits on a show this session did not start");
  for (;;) {
    if (!lost_) KeepPromises();
    if (!news_.empty()) return platform::IdleWake::SourceNews;
    if (show_ && show_->status) return platform::IdleWake::ShowEnded;
    const int64_t moment = NextMoment();
    if (moment < 0) {
      log_.Add("nothing more happens");
      return platform::IdleWake::CloseRequested;
    }
    log_.SetNow(std::max(moment, log_.Now()));
    if (show_ && !show_->status && show_->end_at == log_.Now()) EndShow(show_->end_status);
    while (!script_.empty() && script_.front().tick <= log_.Now()) {
      const Happening what = script_.front().what;
      script_.pop_front();
      if (what == Happening::Close) return platform::IdleWake::CloseRequested;
      if (what == Happening::Lose) {
        lost_ = true;
        news_.push_back(platform::IdleNews::Lost);
      } else {
        last_input_ = log_.Now();
        if (show_ && !show_->status && show_->input_ends_it) EndShow(0);
      }
    }
  }
}

}  // namespace slidesaver::fake
