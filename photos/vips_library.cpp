#include "photos/vips_library.h"

#include <vips/vips8>

#include <atomic>
#include <mutex>

#include "photos/photo_error.h"

namespace slidesaver::photos {

namespace {

void DropWarning(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

std::atomic<bool (*)()> stop_request{nullptr};

// libvips tells of its progress on the image whose computation it follows (progress->im),
// and checks that image's kill flag between bands.
void KillIfStopRequested(VipsImage*, VipsProgress* progress, void*) {
  bool (*requested)() = stop_request.load();
  if (requested && requested()) vips_image_set_kill(progress->im, TRUE);
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
  if (!ok) throw PhotoError("the picture library (libvips) could not start");
}

void SetVipsStopRequest(bool (*requested)()) { stop_request.store(requested); }

void StopOnRequest(const vips::VImage& image) {
  vips_image_set_progress(image.get_image(), TRUE);
  g_signal_connect(image.get_image(), "eval", G_CALLBACK(KillIfStopRequested), nullptr);
}

std::string VipsReason(const vips::VError& error) {
  std::string text = error.what();
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "the picture library gave no reason" : text;
}

const char* LoaderOptions(bool jpeg) { return jpeg ? "fail_on=warning" : ""; }

}  // namespace slidesaver::photos
