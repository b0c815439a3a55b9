#include "photos/vips_library.h"

#include <vips/vips8>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
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

void KillIfAbandoned(VipsImage*, VipsProgress* progress, const std::atomic<bool>* abandon) {
  if (abandon->load()) vips_image_set_kill(progress->im, TRUE);
}

}  // namespace

AbandonableSource::AbandonableSource(std::span<const uint8_t> bytes,
                                     const std::atomic<bool>& abandon, uint64_t piece)
    : bytes_(bytes),
      abandon_(abandon),
      piece_(std::max<uint64_t>(piece, 1)),
      source_(VIPS_SOURCE(vips_source_custom_new())) {
  g_signal_connect(source_.get_source(), "read", G_CALLBACK(Read), this);
  g_signal_connect(source_.get_source(), "seek", G_CALLBACK(Seek), this);
}

AbandonableSource::~AbandonableSource() {
  // An image that still holds the source reads nothing more from bytes that may be gone.
  g_signal_handlers_disconnect_by_data(source_.get_source(), this);
}

gint64 AbandonableSource::Read(VipsSourceCustom*, void* buffer, gint64 length,
                               AbandonableSource* self) {
  if (self->abandon_.load() || length < 0) return -1;
  const uint64_t n =
      std::min({static_cast<uint64_t>(length), self->piece_, self->bytes_.size() - self->at_});
  std::memcpy(buffer, self->bytes_.data() + self->at_, n);
  self->at_ += n;
  return static_cast<gint64>(n);
}

gint64 AbandonableSource::Seek(VipsSourceCustom*, gint64 offset, int whence,
                               AbandonableSource* self) {
  const int64_t size = static_cast<int64_t>(self->bytes_.size());
  const int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<int64_t>(self->at_)
                       : whence == SEEK_END ? size
                                            : -1;
  if (base < 0 || offset < -base || offset > size - base) return -1;
  self->at_ = static_cast<uint64_t>(base + offset);
  return base + offset;
}

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

void StopWhenAbandoned(const vips::VImage& image, const std::atomic<bool>& abandon) {
  vips_image_set_progress(image.get_image(), TRUE);
  g_signal_connect(image.get_image(), "eval", G_CALLBACK(KillIfAbandoned),
                   const_cast<std::atomic<bool>*>(&abandon));
}

std::string VipsReason(const vips::VError& error) {
  std::string text = error.what();
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "the picture library gave no reason" : text;
}

const char* LoaderOptions(bool jpeg) { return jpeg ? "fail_on=warning" : ""; }

}  // namespace slidesaver::photos
