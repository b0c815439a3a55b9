#include "platform/linux/idle/x11_idle_source.h"

#include <X11/Xlib.h>
#include <X11/extensions/sync.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/linux/x11/xscreensaver_presence.h"

namespace slidesaver::linux_platform {
namespace {

// Says why in the watcher's words; the source's exit handler, which Xlib calls next, keeps the
// process alive so that the watcher ends its show and lets go of its lock.
int OnConnectionLost(Display*) {
  std::fputs("slidesaver: lost the display\n", stderr);
  return 0;
}

XSyncValue ValueOf(int64_t milliseconds) {
  XSyncValue value;
  XSyncIntsToValue(&value, static_cast<unsigned int>(milliseconds & 0xFFFFFFFF),
                   static_cast<int>(milliseconds >> 32));
  return value;
}

int64_t MillisecondsOf(const XSyncValue& value) {
  return (static_cast<int64_t>(XSyncValueHigh32(value)) << 32) |
         static_cast<int64_t>(XSyncValueLow32(value));
}

class X11IdleSource : public PolledIdleSource {
 public:
  X11IdleSource(Display* display, XSyncCounter idle_counter, int event_base,
                std::chrono::milliseconds idle_time)
      : display_(display),
        idle_counter_(idle_counter),
        alarm_notify_(event_base + XSyncAlarmNotify),
        idle_time_(idle_time.count()) {
    XSetIOErrorExitHandler(
        display_, [](Display*, void* self) { static_cast<X11IdleSource*>(self)->lost_ = true; },
        this);
  }
  ~X11IdleSource() override {
    if (!lost_) {
      if (idle_alarm_ != None) XSyncDestroyAlarm(display_, idle_alarm_);
      if (active_alarm_ != None) XSyncDestroyAlarm(display_, active_alarm_);
    }
    XCloseDisplay(display_);  // sends nothing over a lost connection
  }
  X11IdleSource(const X11IdleSource&) = delete;
  X11IdleSource& operator=(const X11IdleSource&) = delete;

  int Descriptor() const override { return ConnectionNumber(display_); }

  // Comparisons, not transitions: a test already true when the alarm is set fires at once, so
  // input that came between the last news and this call is not missed.
  void AwaitIdle() override { Arm(idle_alarm_, XSyncPositiveComparison, idle_time_); }
  void AwaitActive() override { Arm(active_alarm_, XSyncNegativeComparison, idle_time_ - 1); }

  IdleNews Next() override {
    while (!lost_ && XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type != alarm_notify_) continue;
      const auto& alarm = reinterpret_cast<const XSyncAlarmNotifyEvent&>(event);
      // The value that set the alarm off confirms it: a change of the alarm itself says nothing.
      const int64_t idle = MillisecondsOf(alarm.counter_value);
      if (alarm.alarm == idle_alarm_ && idle >= idle_time_) return IdleNews::Idle;
      if (alarm.alarm == active_alarm_ && idle < idle_time_) return IdleNews::Active;
    }
    return lost_ ? IdleNews::Lost : IdleNews::Nothing;
  }

  bool OtherSaverRuns() override { return !lost_ && XscreensaverRuns(display_); }

  std::string SessionName() const override { return X11SessionName(DisplayString(display_)); }

 private:
  void Arm(XSyncAlarm& alarm, XSyncTestType test, int64_t milliseconds) {
    if (lost_) return;
    // The server compares a new test with the counter's last known value, which for the idle
    // time is only brought up to date by a query: an idle alarm set against a stale value
    // would fire at once.
    XSyncValue now;
    XSyncQueryCounter(display_, idle_counter_, &now);
    XSyncAlarmAttributes attributes{};
    attributes.trigger.counter = idle_counter_;
    attributes.trigger.value_type = XSyncAbsolute;
    attributes.trigger.test_type = test;
    attributes.trigger.wait_value = ValueOf(milliseconds);
    attributes.delta = ValueOf(0);  // fires once, then rests until set again
    attributes.events = True;
    const unsigned long fields = XSyncCACounter | XSyncCAValueType | XSyncCATestType |
                                 XSyncCAValue | XSyncCADelta | XSyncCAEvents;
    if (alarm == None) {
      alarm = XSyncCreateAlarm(display_, fields, &attributes);
    } else {
      XSyncChangeAlarm(display_, alarm, fields, &attributes);
    }
    XFlush(display_);
  }

  Display* display_;
  XSyncCounter idle_counter_;
  int alarm_notify_;
  int64_t idle_time_;
  XSyncAlarm idle_alarm_ = None;
  XSyncAlarm active_alarm_ = None;
  bool lost_ = false;  // the connection broke: Xlib sends and reads nothing more
};

XSyncCounter FindIdleCounter(Display* display) {
  int count = 0;
  XSyncSystemCounter* counters = XSyncListSystemCounters(display, &count);
  XSyncCounter found = None;
  for (int i = 0; i < count && found == None; ++i) {
    if (std::strcmp(counters[i].name, "IDLETIME") == 0) found = counters[i].counter;
  }
  if (counters) XSyncFreeSystemCounterList(counters);
  return found;
}

}  // namespace

std::unique_ptr<PolledIdleSource> OpenX11IdleSource(std::chrono::milliseconds idle_time,
                                                    std::string& problem) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    problem = "cannot open display";
    return nullptr;
  }
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  XSyncCounter counter = None;
  if (XSyncQueryExtension(display, &event_base, &error_base) &&
      XSyncInitialize(display, &major, &minor)) {
    counter = FindIdleCounter(display);
  }
  if (counter == None) {
    problem = "the X server tells no idle time (the SYNC extension's IDLETIME counter)";
    XCloseDisplay(display);
    return nullptr;
  }
  XSetIOErrorHandler(OnConnectionLost);
  return std::make_unique<X11IdleSource>(display, counter, event_base, idle_time);
}

std::string X11SessionName(const std::string& display_name) {
  std::string name = display_name;
  const size_t colon = name.rfind(':');
  if (const size_t dot = name.find('.', colon == std::string::npos ? 0 : colon);
      colon != std::string::npos && dot != std::string::npos) {
    name.erase(dot);
  }
  return SessionFileName(std::move(name));
}

}  // namespace slidesaver::linux_platform
