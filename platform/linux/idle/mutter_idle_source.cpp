#include "platform/linux/idle/mutter_idle_source.h"

#include <gio/gio.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace slidesaver::linux_platform {
namespace {

constexpr const char* kService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kInterface = "org.gnome.Mutter.IdleMonitor";

// What the filter on GDBus's thread and the watcher's thread share. A filter may still run
// just after it is removed: GDBus deletes this when it no longer can.
struct Watches {
  ~Watches() { close(wake); }

  // Turns the watches fired into news, keeping those not known yet. Called with lock held.
  void Sort() {
    bool told = false;
    for (auto it = fired.begin(); it != fired.end();) {
      const bool idle = *it == idle_watch;
      if (idle || (active_watch != 0 && *it == active_watch)) {
        news.push_back(idle ? IdleNews::Idle : IdleNews::Active);
        if (!idle) active_watch = 0;
        it = fired.erase(it);
        told = true;
      } else {
        ++it;
      }
    }
    if (fired.size() > 16) fired.erase(fired.begin());  // not ours after all
    if (told) {
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t n = write(wake, &one, sizeof one);
    }
  }

  int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  std::mutex lock;
  uint32_t idle_watch = 0;
  uint32_t active_watch = 0;
  std::vector<uint32_t> fired;
  std::deque<IdleNews> news;
};

class MutterIdleSource : public PolledIdleSource {
 public:
  ~MutterIdleSource() override {
    if (filter_ != 0) {
      g_dbus_connection_remove_filter(bus_, filter_);
    } else {
      delete watches_;
    }
    if (bus_) g_object_unref(bus_);
  }

  static std::unique_ptr<PolledIdleSource> Open(std::chrono::milliseconds idle_time,
                                                std::string& problem) {
    std::unique_ptr<MutterIdleSource> source(new MutterIdleSource);
    GError* error = nullptr;
    source->bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!source->bus_) {
      problem = std::string("no session bus: ") + error->message;
      g_error_free(error);
      return nullptr;
    }
    // The filter runs on GDBus's own thread as each message arrives: the watcher's thread only
    // polls the eventfd, and no main loop is needed.
    source->filter_ =
        g_dbus_connection_add_filter(source->bus_, OnMessage, source->watches_,
                                     [](gpointer data) { delete static_cast<Watches*>(data); });
    const std::string rule = std::string("type='signal',sender='") + kService + "',path='" + kPath +
                             "',interface='" + kInterface + "',member='WatchFired'";
    if (!source->Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "AddMatch", g_variant_new("(s)", rule.c_str()), problem)) {
      return nullptr;
    }
    const uint32_t id = source->AddWatch(
        "AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(idle_time.count())), problem);
    if (id == 0) return nullptr;
    source->Known(source->watches_->idle_watch, id);
    return source;
  }

  int Descriptor() const override { return watches_->wake; }

  // The idle watch stays: mutter fires it each time the idle time is reached.
  void AwaitIdle() override {}

  // A watch for the next input, which mutter fires once and forgets.
  void AwaitActive() override {
    std::string problem;
    const uint32_t id = AddWatch("AddUserActiveWatch", nullptr, problem);
    if (id == 0) std::fprintf(stderr, "slidesaver: %s\n", problem.c_str());
    Known(watches_->active_watch, id);
  }

  IdleNews Next() override {
    uint64_t count = 0;
    [[maybe_unused]] ssize_t n = read(watches_->wake, &count, sizeof count);
    const std::lock_guard<std::mutex> guard(watches_->lock);
    if (watches_->news.empty()) return IdleNews::Nothing;
    const IdleNews news = watches_->news.front();
    watches_->news.pop_front();
    return news;
  }

  // GNOME counts idle time even while a program holds idle off through its session manager (a
  // video player), and then blanks nothing: nor does the watcher. No session manager: nothing
  // holds it off.
  bool OtherSaverRuns() override {
    constexpr guint32 kIdleInhibited = 8;
    GVariant* reply = g_dbus_connection_call_sync(
        bus_, "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
        "IsInhibited", g_variant_new("(u)", kIdleInhibited), G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
    if (!reply) return false;
    gboolean inhibited = FALSE;
    g_variant_get(reply, "(b)", &inhibited);
    g_variant_unref(reply);
    return inhibited;
  }

  std::string SessionName() const override {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return SessionFileName("wayland:" + std::string(name && *name ? name : "wayland-0"));
  }

 private:
  MutterIdleSource() = default;

  // A watch's id, once mutter has answered: it may have fired before.
  void Known(uint32_t& watch, uint32_t id) {
    const std::lock_guard<std::mutex> guard(watches_->lock);
    watch = id;
    watches_->Sort();
  }

  bool Call(const char* service, const char* path, const char* interface, const char* method,
            GVariant* parameters, std::string& problem, GVariant** reply = nullptr) {
    GError* error = nullptr;
    GVariant* result =
        g_dbus_connection_call_sync(bus_, service, path, interface, method, parameters, nullptr,
                                    G_DBUS_CALL_FLAGS_NONE, 10000, nullptr, &error);
    if (!result) {
      problem = std::string(method) + " on the session bus failed: " + error->message;
      g_error_free(error);
      return false;
    }
    if (reply) {
      *reply = result;
    } else {
      g_variant_unref(result);
    }
    return true;
  }

  uint32_t AddWatch(const char* method, GVariant* parameters, std::string& problem) {
    GVariant* reply = nullptr;
    if (!Call(kService, kPath, kInterface, method, parameters, problem, &reply)) return 0;
    guint32 id = 0;
    g_variant_get(reply, "(u)", &id);
    g_variant_unref(reply);
    return id;
  }

  static GDBusMessage* OnMessage(GDBusConnection*, GDBusMessage* message, gboolean incoming,
                                 gpointer data) {
    if (incoming && g_dbus_message_get_message_type(message) == G_DBUS_MESSAGE_TYPE_SIGNAL &&
        g_strcmp0(g_dbus_message_get_interface(message), kInterface) == 0 &&
        g_strcmp0(g_dbus_message_get_member(message), "WatchFired") == 0) {
      GVariant* body = g_dbus_message_get_body(message);
      if (body && g_variant_is_of_type(body, G_VARIANT_TYPE("(u)"))) {
        guint32 id = 0;
        g_variant_get(body, "(u)", &id);
        auto* watches = static_cast<Watches*>(data);
        const std::lock_guard<std::mutex> guard(watches->lock);
        watches->fired.push_back(id);
        watches->Sort();
      }
    }
    return message;
  }

  GDBusConnection* bus_ = nullptr;
  guint filter_ = 0;
  Watches* watches_ = new Watches;  // the filter's once it is added
};

}  // namespace

std::unique_ptr<PolledIdleSource> OpenMutterIdleSource(std::chrono::milliseconds idle_time,
                                                       std::string& problem) {
  return MutterIdleSource::Open(idle_time, problem);
}

}  // namespace slidesaver::linux_platform
