#include "tools/slidepack/vips_library.h"

#include <vips/vips8>

#include <mutex>

#include "tools/slidepack/interrupt.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

namespace {

void DropWarning(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// libvips tells of its progress on the image whose computation it follows (progress->im),
// and checks that image's kill flag between bands.
void KillIfInterrupted(VipsImage*, VipsProgress* progress, void*) {
  if (InterruptRequested()) vips_image_set_kill(progress->im, TRUE);
}

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
  if (!ok) throw SlidepackError("the picture library (libvips) could not start");
}

void StopOnInterrupt(const vips::VImage& image) {
  vips_image_set_progress(image.get_image(), TRUE);
  g_signal_connect(image.get_image(), "eval", G_CALLBACK(KillIfInterrupted), nullptr);
}

std::string VipsReason(const vips::VError& error) {
  std::string text = error.what();
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "the picture library gave no reason" : text;
}

}  // namespace slidepack
