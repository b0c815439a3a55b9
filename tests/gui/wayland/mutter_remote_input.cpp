// Input for tests on GNOME's mutter, through its remote desktop service on the session bus
// (org.gnome.Mutter.RemoteDesktop): a session of this process's connection (mutter ends it when
// the connection goes), started, makes the actions of its command line in order and is stopped.
// mutter plugs in the session's keyboard or pointer at its first use, and unplugs them when the
// session stops.
//   mutter-remote-input ACTION...
//     motion DX DY    the pointer by DX,DY
//     key CODE        press and release a key (a Linux key code, e.g. 57: space)
//   mutter-remote-input -    the same actions, a line of them at a time from standard input
#include <gio/gio.h>

#include <cstdio>

#include "input_actions.h"

namespace {

constexpr const char* kService = "org.gnome.Mutter.RemoteDesktop";
constexpr const char* kSession = "org.gnome.Mutter.RemoteDesktop.Session";

// Calls METHOD; false (with the error told) when it fails. `reply` gets the answer, if wanted.
bool Call(GDBusConnection* bus, const char* path, const char* interface, const char* method,
          GVariant* arguments, GVariant** reply = nullptr) {
  GError* error = nullptr;
  GVariant* answer =
      g_dbus_connection_call_sync(bus, kService, path, interface, method, arguments, nullptr,
                                  G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &error);
  if (!answer) {
    std::fprintf(stderr, "mutter-remote-input: %s: %s\n", method, error->message);
    g_error_free(error);
    return false;
  }
  if (reply) {
    *reply = answer;
  } else {
    g_variant_unref(answer);
  }
  return true;
}

// Makes the actions in the started session at `path`; 0, or the exit status of a failure.
int Act(GDBusConnection* bus, const char* path, const input_actions::Actions& args) {
  using input_actions::Number;
  for (size_t i = 0; i < args.size(); ++i) {
    long a = 0;
    long b = 0;
    if (args[i] == "motion" && i + 2 < args.size() && Number(args[i + 1], a) &&
        Number(args[i + 2], b)) {
      i += 2;
      if (!Call(bus, path, kSession, "NotifyPointerMotionRelative",
                g_variant_new("(dd)", double(a), double(b)))) {
        return 1;
      }
    } else if (args[i] == "key" && i + 1 < args.size() && Number(args[i + 1], a) && a > 0) {
      i += 1;
      for (const bool pressed : {true, false}) {
        if (!Call(bus, path, kSession, "NotifyKeyboardKeycode",
                  g_variant_new("(ub)", guint32(a), gboolean(pressed)))) {
          return 1;
        }
      }
    } else {
      std::fputs("usage: mutter-remote-input {motion DX DY | key CODE}... | -\n", stderr);
      return 2;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!bus) {
    std::fprintf(stderr, "mutter-remote-input: no session bus: %s\n", error->message);
    g_error_free(error);
    return 1;
  }
  GVariant* created = nullptr;
  if (!Call(bus, "/org/gnome/Mutter/RemoteDesktop", kService, "CreateSession", nullptr, &created)) {
    g_object_unref(bus);
    return 1;
  }
  const char* path = nullptr;
  g_variant_get(created, "(&o)", &path);
  int status = 1;
  if (Call(bus, path, kSession, "Start", nullptr)) {
    status = input_actions::Run(
        argc, argv, [&](const input_actions::Actions& actions) { return Act(bus, path, actions); });
    Call(bus, path, kSession, "Stop", nullptr);
  }
  g_variant_unref(created);
  g_object_unref(bus);
  return status;
}
