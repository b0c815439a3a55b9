#include "platform/linux/idle/wayland_idle_source.h"

#include <ext-idle-notify-v1-client-protocol.h>
#include <idle-client-protocol.h>
#include <poll.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/linux/wayland/wayland_owned.h"

namespace slidesaver::linux_platform {
namespace {

class WaylandIdleSource : public PolledIdleSource {
 public:
  ~WaylandIdleSource() override {
    // Children before the globals that made them, the connection last.
    notification_.reset();
    kde_timeout_.reset();
    notifier_.reset();
    kde_idle_.reset();
    seat_.reset();
    registry_.reset();
  }

  static std::unique_ptr<PolledIdleSource> Open(std::chrono::milliseconds idle_time,
                                                std::string& problem) {
    std::unique_ptr<WaylandIdleSource> source(new WaylandIdleSource);
    source->display_ = Own(wl_display_connect(nullptr), wl_display_disconnect);
    if (!source->display_) {
      problem = "cannot connect to the Wayland compositor";
      return nullptr;
    }
    if (!source->Watch(static_cast<uint32_t>(idle_time.count()), problem)) return nullptr;
    return source;
  }

  int Descriptor() const override { return wl_display_get_fd(display_.get()); }

  // The compositor tells idleness and input in turn by itself.
  void AwaitIdle() override {}
  void AwaitActive() override {}

  IdleNews Next() override {
    if (news_.empty() && !lost_) ReadWithoutBlocking();
    if (lost_) return IdleNews::Lost;
    if (news_.empty()) return IdleNews::Nothing;
    const IdleNews news = news_.front();
    news_.pop_front();
    return news;
  }

  bool OtherSaverRuns() override { return false; }

  std::string SessionName() const override {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return SessionFileName("wayland:" + std::string(name && *name ? name : "wayland-0"));
  }

 private:
  WaylandIdleSource() = default;

  bool Watch(uint32_t milliseconds, std::string& problem) {
    registry_ = Own(wl_display_get_registry(display_.get()), wl_registry_destroy);
    static const wl_registry_listener registry_listener = {OnGlobal, OnGlobalRemove};
    wl_registry_add_listener(registry_.get(), &registry_listener, this);
    if (wl_display_roundtrip(display_.get()) < 0) {
      problem = "lost the Wayland compositor";
      return false;
    }
    if (!seat_) {
      problem = "the Wayland compositor offers no seat";
      return false;
    }
    if (notifier_) {
      notification_ = Own(
          ext_idle_notifier_v1_get_idle_notification(notifier_.get(), milliseconds, seat_.get()),
          ext_idle_notification_v1_destroy);
      static const ext_idle_notification_v1_listener listener = {
          [](void* self, ext_idle_notification_v1*) { Tell(self, IdleNews::Idle); },
          [](void* self, ext_idle_notification_v1*) { Tell(self, IdleNews::Active); }};
      ext_idle_notification_v1_add_listener(notification_.get(), &listener, this);
    } else if (kde_idle_) {
      kde_timeout_ =
          Own(org_kde_kwin_idle_get_idle_timeout(kde_idle_.get(), seat_.get(), milliseconds),
              org_kde_kwin_idle_timeout_release);
      static const org_kde_kwin_idle_timeout_listener listener = {
          [](void* self, org_kde_kwin_idle_timeout*) { Tell(self, IdleNews::Idle); },
          [](void* self, org_kde_kwin_idle_timeout*) { Tell(self, IdleNews::Active); }};
      org_kde_kwin_idle_timeout_add_listener(kde_timeout_.get(), &listener, this);
    } else {
      problem =
          "the Wayland compositor tells no idle time (neither ext-idle-notify-v1 nor KDE's "
          "idle protocol)";
      return false;
    }
    wl_display_flush(display_.get());
    return true;
  }

  static void Tell(void* self, IdleNews news) {
    static_cast<WaylandIdleSource*>(self)->news_.push_back(news);
  }

  static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t) {
    auto* self = static_cast<WaylandIdleSource*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
      self->seat_ =
          Own(static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1)),
              wl_seat_destroy);
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
      self->notifier_ = Own(static_cast<ext_idle_notifier_v1*>(wl_registry_bind(
                                registry, name, &ext_idle_notifier_v1_interface, 1)),
                            ext_idle_notifier_v1_destroy);
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
      self->kde_idle_ = Own(static_cast<org_kde_kwin_idle*>(
                                wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1)),
                            org_kde_kwin_idle_destroy);
    }
  }
  static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

  // Reads what the compositor has sent and runs its listeners.
  void ReadWithoutBlocking() {
    wl_display* display = display_.get();
    while (wl_display_prepare_read(display) != 0) {
      if (wl_display_dispatch_pending(display) < 0) return Lose();
    }
    wl_display_flush(display);
    pollfd ready{wl_display_get_fd(display), POLLIN, 0};
    if (poll(&ready, 1, 0) > 0) {
      if (wl_display_read_events(display) < 0) return Lose();
    } else {
      wl_display_cancel_read(display);
    }
    if (wl_display_dispatch_pending(display) < 0) Lose();
  }

  void Lose() {
    std::fputs("slidesaver: lost the Wayland compositor\n", stderr);
    lost_ = true;
  }

  WaylandOwned<wl_display> display_ = NoObject<wl_display>();
  WaylandOwned<wl_registry> registry_ = NoObject<wl_registry>();
  WaylandOwned<wl_seat> seat_ = NoObject<wl_seat>();
  WaylandOwned<ext_idle_notifier_v1> notifier_ = NoObject<ext_idle_notifier_v1>();
  WaylandOwned<ext_idle_notification_v1> notification_ = NoObject<ext_idle_notification_v1>();
  WaylandOwned<org_kde_kwin_idle> kde_idle_ = NoObject<org_kde_kwin_idle>();
  WaylandOwned<org_kde_kwin_idle_timeout> kde_timeout_ = NoObject<org_kde_kwin_idle_timeout>();
  std::deque<IdleNews> news_;
  bool lost_ = false;
};

}  // namespace

std::unique_ptr<PolledIdleSource> OpenWaylandIdleSource(std::chrono::milliseconds idle_time,
                                                        std::string& problem) {
  return WaylandIdleSource::Open(idle_time, problem);
}

}  // namespace slidesaver::linux_platform
