#include "photos/vips_library.h"

#include <vips/vips8>

#include <mutex>

#include "photos/photo_error.h"

namespace slidesaver::photos {

namespace {

void DropWarning(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

}  // namespace

void StartVips() {
  static std::once_flag started;
  static bool ok = false;
  std::call_once(started, [] {
    ok = VIPS_INIT("slidepack") == 0;
    if (!ok) return;
    vips_cache_set_max(0);
    g_log_set_handler("VIPS",
                      static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
                      DropWarning, nullptr);
  });
  if (!ok) throw PhotoError("the picture library (libvips) could not start");
}

std::string VipsReason(const vips::VError& error) {
  std::string text = error.what();
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "the picture library gave no reason" : text;
}

const char* LoaderOptions(bool jpeg) { return jpeg ? "fail_on=warning" : ""; }

}  // namespace slidesaver::photos
