// GNOME's session manager as far as a program that holds idle off (a video player) is seen
// through it: on the session bus as org.gnome.SessionManager, IsInhibited says idle is
// inhibited (flag 8) until SIGTERM ends this.
#include <gio/gio.h>
#include <glib-unix.h>

#include <cstdio>

namespace {

constexpr const char* kIntrospection =
    "<node><interface name='org.gnome.SessionManager'>"
    "<method name='IsInhibited'><arg type='u' direction='in'/><arg type='b' direction='out'/>"
    "</method></interface></node>";
constexpr guint32 kIdleFlag = 8;

void OnCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
            GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
  guint32 flags = 0;
  if (g_strcmp0(method, "IsInhibited") == 0) g_variant_get(parameters, "(u)", &flags);
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", (flags & kIdleFlag) != 0));
}

}  // namespace

int main() {
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  GDBusNodeInfo* node = bus ? g_dbus_node_info_new_for_xml(kIntrospection, &error) : nullptr;
  if (!node) {
    std::fprintf(stderr, "gnome-session-inhibitor: %s\n", error->message);
    return 1;
  }
  static const GDBusInterfaceVTable vtable{OnCall, nullptr, nullptr, {}};
  g_dbus_connection_register_object(bus, "/org/gnome/SessionManager", node->interfaces[0], &vtable,
                                    nullptr, nullptr, &error);
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
      g_variant_new("(su)", "org.gnome.SessionManager", 4u), nullptr, G_DBUS_CALL_FLAGS_NONE, 10000,
      nullptr, &error);
  if (!reply) {
    std::fprintf(stderr, "gnome-session-inhibitor: %s\n", error->message);
    return 1;
  }
  g_variant_unref(reply);
  std::puts("inhibiting");
  std::fflush(stdout);
  g_unix_signal_add(
      SIGTERM,
      [](gpointer data) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(data));
        return G_SOURCE_REMOVE;
      },
      loop);
  g_main_loop_run(loop);
  g_dbus_node_info_unref(node);
  g_object_unref(bus);
  g_main_loop_unref(loop);
  return 0;
}
