#include "platform/linux/wayland/wayland_show_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "common/run_time_error.h"
#include "platform/linux/dialog_over_show.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/wayland/present_record.h"
#include "platform/linux/wayland/shm_buffer.h"

namespace slidesaver::linux_platform {
namespace {

// An own window starts at the show area's size, or scaled to fit this share of the output.
constexpr int32_t kOwnWindowShareOfOutput = 90;  // per cent
// A compositor that has not configured a new surface by then is not going to: the show, which
// nobody could see, ends.
constexpr std::chrono::seconds kConfigureDeadline{2};
// Buffers a surface cycles through: one the compositor shows, one being filled. A third would
// only be written more often: each buffer catches up with the frames it missed.
constexpr size_t kMaxBuffers = 2;
// A commit waits for the compositor to have drawn the one before (its frame callback), so frames
// drawn faster than the output shows them go out as one. A compositor that has not drawn a
// commit after this long (its output off or hidden) is not waited for.
constexpr std::chrono::milliseconds kFrameWait{100};
// Round trips to wait for the compositor to let a buffer go before the show gives up.
constexpr int kMaxBufferWaits = 100;
// Where the pointer rests until it has moved over the show.
constexpr platform::Point kRestingPointer{-1, -1};

}  // namespace

struct WaylandShowWindow::Surface {
  WaylandShowWindow* window = nullptr;
  WaylandOutput* output = nullptr;  // the layer surface's; nullptr for a toplevel
  bool shows_area = false;
  int32_t index = 0;
  WaylandOwned<wl_surface> surface = NoObject<wl_surface>();
  WaylandOwned<zwlr_layer_surface_v1> layer = NoObject<zwlr_layer_surface_v1>();
  WaylandOwned<xdg_surface> xdg = NoObject<xdg_surface>();
  WaylandOwned<xdg_toplevel> toplevel = NoObject<xdg_toplevel>();
  int32_t scale = 1;
  int32_t width = 0;  // the configured size, surface (logical) pixels
  int32_t height = 0;
  int32_t asked_width = 0;  // the toplevel's configure, applied with its xdg_surface's
  int32_t asked_height = 0;
  int32_t own_width = 0;  // the size a toplevel takes when the compositor leaves it free
  int32_t own_height = 0;
  bool configured = false;
  int32_t buffer_scale = 1;           // as last set on the surface
  platform::AreaPresenter presenter;  // black but on the surface that shows the area
  std::vector<std::unique_ptr<ShmBuffer>> buffers;
  gdi::Damage waiting;  // device pixels not committed yet
  uint64_t commits = 0;
  // The last commit's frame callback until the compositor has drawn it, and when it was asked.
  WaylandOwned<wl_callback> frame = NoObject<wl_callback>();
  std::chrono::steady_clock::time_point frame_asked{};

  int32_t DeviceWidth() const { return width * scale; }
  int32_t DeviceHeight() const { return height * scale; }
  bool WaitsForFrame(std::chrono::steady_clock::time_point now) const {
    return frame && now - frame_asked < kFrameWait;
  }

  ~Surface() {
    // The role objects go before the surface, and the buffers after it.
    frame.reset();
    toplevel.reset();
    xdg.reset();
    layer.reset();
    surface.reset();
    buffers.clear();
  }
};

WaylandShowWindow::WaylandShowWindow(std::shared_ptr<WaylandContext> context, ShowPlace place)
    : context_(std::move(context)), place_(place) {
  ListenForDialogOverShow([this] { LowerBelowLaterOverlays(); });
}

WaylandShowWindow::~WaylandShowWindow() {
  ListenForDialogOverShow(nullptr);
  if (context_->Started()) {
    context_->Connection().SetInputHandler(nullptr);
    context_->Connection().SetOutputAddedHandler(nullptr);
  }
  surfaces_.clear();
}

platform::ScreenSize WaylandShowWindow::GetScreenSize() {
  WaylandConnection& connection = context_->Connection();
  if (const Surface* surface = AreaSurface(); surface && surface->configured) {
    return {surface->DeviceWidth(), surface->DeviceHeight()};
  }
  if (connection.Outputs().empty() || connection.Outputs().front()->width <= 0) {
    throw std::runtime_error("no display for the show: the Wayland compositor has no output");
  }
  const WaylandOutput& first = *connection.Outputs().front();
  return {first.width, first.height};
}

WaylandShowWindow::Surface* WaylandShowWindow::AreaSurface() const {
  for (const auto& surface : surfaces_) {
    if (surface->shows_area) return surface.get();
  }
  return nullptr;
}

WaylandShowWindow::Surface* WaylandShowWindow::NewSurface(WaylandOutput* output) {
  auto surface = std::make_unique<Surface>();
  surface->window = this;
  surface->output = output;
  surface->index = static_cast<int32_t>(surfaces_.size());
  surface->shows_area = surfaces_.empty();
  surface->surface =
      Own(wl_compositor_create_surface(context_->Connection().Compositor()), wl_surface_destroy);
  surfaces_.push_back(std::move(surface));
  return surfaces_.back().get();
}

void WaylandShowWindow::AddOverlay(WaylandOutput& output) {
  static const zwlr_layer_surface_v1_listener layer_listener{
      [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
         uint32_t height) {
        auto& surface = *static_cast<Surface*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        surface.width = static_cast<int32_t>(width);
        surface.height = static_cast<int32_t>(height);
        // A new output's scale arrives after its surface is made, before this.
        surface.scale = surface.output->scale;
        surface.window->Configured(surface);
      },
      // The output has gone: a show the user cannot see must not go on.
      [](void* data, zwlr_layer_surface_v1*) {
        auto& surface = *static_cast<Surface*>(data);
        surface.configured = false;
        if (surface.shows_area) surface.window->RequestClose();
      }};
  Surface* surface = NewSurface(&output);
  surface->scale = output.scale;
  surface->layer = Own(zwlr_layer_shell_v1_get_layer_surface(
                           context_->Connection().LayerShell(), surface->surface.get(),
                           output.output.get(), ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "slidesaver"),
                       zwlr_layer_surface_v1_destroy);
  zwlr_layer_surface_v1* layer = surface->layer.get();
  zwlr_layer_surface_v1_add_listener(layer, &layer_listener, surface);
  zwlr_layer_surface_v1_set_anchor(
      layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                 ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_size(layer, 0, 0);
  zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
  wl_surface_commit(surface->surface.get());
}

void WaylandShowWindow::MakeSurfaces() {
  WaylandConnection& connection = context_->Connection();
  connection.SetInputHandler(this);
  static const xdg_toplevel_listener toplevel_listener{
      [](void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
        auto& surface = *static_cast<Surface*>(data);
        surface.asked_width = width;
        surface.asked_height = height;
      },
      [](void* data, xdg_toplevel*) { static_cast<Surface*>(data)->window->RequestClose(); },
      [](void*, xdg_toplevel*, int32_t, int32_t) {}, [](void*, xdg_toplevel*, wl_array*) {}};
  static const xdg_surface_listener xdg_listener{[](void* data, xdg_surface* xdg, uint32_t serial) {
    auto& surface = *static_cast<Surface*>(data);
    xdg_surface_ack_configure(xdg, serial);
    surface.width = surface.asked_width > 0 ? surface.asked_width : surface.own_width;
    surface.height = surface.asked_height > 0 ? surface.asked_height : surface.own_height;
    surface.window->Configured(surface);
  }};

  const auto& outputs = connection.Outputs();
  if (OnScreen() && connection.LayerShell()) {
    for (const auto& output : outputs) AddOverlay(*output);
    // An output plugged in while the show plays is covered too.
    connection.SetOutputAddedHandler([this](WaylandOutput& output) { AddOverlay(output); });
    return;
  }
  if (!connection.WmBase()) {
    throw std::runtime_error("the Wayland compositor offers no windows for the show");
  }
  WaylandOutput* first = outputs.empty() ? nullptr : outputs.front().get();
  Surface* surface = NewSurface(nullptr);
  surface->scale = first ? first->scale : 1;
  surface->xdg = Own(xdg_wm_base_get_xdg_surface(connection.WmBase(), surface->surface.get()),
                     xdg_surface_destroy);
  xdg_surface_add_listener(surface->xdg.get(), &xdg_listener, surface);
  surface->toplevel = Own(xdg_surface_get_toplevel(surface->xdg.get()), xdg_toplevel_destroy);
  xdg_toplevel* toplevel = surface->toplevel.get();
  xdg_toplevel_add_listener(toplevel, &toplevel_listener, surface);
  xdg_toplevel_set_title(toplevel, "slidesaver");
  xdg_toplevel_set_app_id(toplevel, "slidesaver");
  const platform::ScreenSize output_size = first && first->width > 0
                                               ? platform::ScreenSize{first->width, first->height}
                                               : platform::ScreenSize{640, 480};
  if (OnScreen()) {
    surface->own_width = output_size.width / surface->scale;
    surface->own_height = output_size.height / surface->scale;
    xdg_toplevel_set_fullscreen(toplevel, first ? first->output.get() : nullptr);
  } else {
    const platform::ScreenSize room{output_size.width * kOwnWindowShareOfOutput / 100,
                                    output_size.height * kOwnWindowShareOfOutput / 100};
    const platform::AreaPlacement start =
        platform::PlaceArea(room, std::max(area_.Width(), 1), std::max(area_.Height(), 1));
    surface->own_width =
        std::max((start.on_target.Width() + surface->scale - 1) / surface->scale, 1);
    surface->own_height =
        std::max((start.on_target.Height() + surface->scale - 1) / surface->scale, 1);
  }
  wl_surface_commit(surface->surface.get());
}

void WaylandShowWindow::Configured(Surface& surface) {
  if (surface.width <= 0 || surface.height <= 0) return;
  surface.configured = true;
  if (surface.shows_area) Place();
  const gdi::Rect whole{0, 0, surface.DeviceWidth(), surface.DeviceHeight()};
  Paint(surface, {&whole, 1});
}

void WaylandShowWindow::Place() {
  Surface* surface = AreaSurface();
  if (!surface) return;
  platform::AreaPlacement placement{area_, false};  // where the show put it, on the first output
  if (surface->configured && !(OnScreen() && place_.fit == gdi::AreaFit::OwnSize)) {
    // The room: the first output, or the window, in device pixels.
    placement = platform::PlaceScaledArea({surface->DeviceWidth(), surface->DeviceHeight()},
                                          area_.Width(), area_.Height(), place_.fit);
  }
  surface->presenter.Place(placement, area_.Width(), area_.Height(), place_.fit);
}

void WaylandShowWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  area_ = {left, top, left + width, top + height};
  Place();
  RepaintAll();
}

void WaylandShowWindow::Paint(Surface& surface, std::span<const gdi::Rect> rects) {
  if (!surface.configured) return;
  const gdi::Rect whole{0, 0, surface.DeviceWidth(), surface.DeviceHeight()};
  for (const gdi::Rect& rect : rects) surface.waiting.AddRect(gdi::Intersect(rect, whole));
  if (surface.waiting.Empty() || committing_) return;
  if (!surface.WaitsForFrame(std::chrono::steady_clock::now())) Commit(surface);
}

void WaylandShowWindow::Commit(Surface& surface) {
  committing_ = true;
  struct Done {
    bool& committing;
    ~Done() { committing = false; }
  } done{committing_};
  ShmBuffer* buffer = nullptr;
  int waits = 0;
  for (;;) {
    const int32_t width = surface.DeviceWidth(), height = surface.DeviceHeight();
    std::erase_if(surface.buffers, [&](const auto& buffer) {
      return buffer->Width() != width || buffer->Height() != height;
    });
    // The free buffer committed last: it has missed the least.
    for (const auto& candidate : surface.buffers) {
      if (candidate->Busy()) continue;
      if (!buffer || candidate->Commit() > buffer->Commit()) buffer = candidate.get();
    }
    if (buffer) break;
    if (surface.buffers.size() < kMaxBuffers) {
      surface.buffers.push_back(
          std::make_unique<ShmBuffer>(context_->Connection().Shm(), width, height));
      buffer = surface.buffers.back().get();
      // Fresh memory is black: an area surface still needs its picture.
      if (surface.shows_area) buffer->Stale().AddRect({0, 0, width, height});
      break;
    }
    // Until the compositor lets one go; the surface may have a new size by then, and its
    // configure adds the whole surface to what waits.
    if (++waits > kMaxBufferWaits) {
      throw std::runtime_error("the Wayland compositor keeps every buffer of the show");
    }
    context_->Connection().Roundtrip();
    if (!surface.configured) return;
  }
  std::vector<gdi::Rect> rects;
  surface.waiting.TakeRects(rects);
  // What the other buffers were given since this one was last sent, and what is new.
  std::vector<gdi::Rect> fill;
  for (const gdi::Rect& rect : rects) buffer->Stale().AddRect(rect);
  buffer->Stale().TakeRects(fill);
  const gdi::PixelRows pixels{buffer->Row(0), buffer->Width(), buffer->Width(), buffer->Height()};
  for (const gdi::Rect& rect : fill) {
    surface.presenter.Write(image_, rect, pixels);
    counts_.written += int64_t{rect.Width()} * rect.Height();
  }
  for (const auto& other : surface.buffers) {
    if (other.get() == buffer) continue;
    for (const gdi::Rect& rect : rects) other->Stale().AddRect(rect);
  }
  wl_surface* target = surface.surface.get();
  if (surface.buffer_scale != surface.scale) {
    wl_surface_set_buffer_scale(target, surface.scale);
    surface.buffer_scale = surface.scale;
  }
  wl_surface_attach(target, buffer->Buffer(), 0, 0);
  for (const gdi::Rect& rect : rects) {
    wl_surface_damage_buffer(target, rect.left, rect.top, rect.Width(), rect.Height());
    counts_.damaged += int64_t{rect.Width()} * rect.Height();
  }
  if (surface.shows_area && !cursor_visible_ && pointer_ && pointer_surface_ == &surface) {
    wl_pointer_set_cursor(pointer_, enter_serial_, nullptr, 0, 0);
  }
  static const wl_callback_listener frame_listener{
      [](void* data, wl_callback*, uint32_t) { static_cast<Surface*>(data)->frame.reset(); }};
  surface.frame = Own(wl_surface_frame(target), wl_callback_destroy);
  wl_callback_add_listener(surface.frame.get(), &frame_listener, &surface);
  surface.frame_asked = std::chrono::steady_clock::now();
  wl_surface_commit(target);
  buffer->MarkBusy(++surface.commits);
  context_->Connection().Flush();
  if (surface.shows_area) RecordPresented(buffer->Row(0), buffer->Width(), buffer->Height());
}

void WaylandShowWindow::CommitWaiting() {
  const auto now = std::chrono::steady_clock::now();
  for (const auto& surface : surfaces_) {
    if (surface->configured && !surface->waiting.Empty() && !surface->WaitsForFrame(now)) {
      Commit(*surface);
    }
  }
}

std::optional<std::chrono::steady_clock::time_point> WaylandShowWindow::WaitingCommitDue() const {
  std::optional<std::chrono::steady_clock::time_point> due;
  for (const auto& surface : surfaces_) {
    if (!surface->configured || surface->waiting.Empty()) continue;
    const auto at = surface->frame ? surface->frame_asked + kFrameWait
                                   : std::chrono::steady_clock::time_point::min();
    if (!due || at < *due) due = at;
  }
  return due;
}

void WaylandShowWindow::RepaintAll() {
  if (Surface* surface = AreaSurface()) {
    const gdi::Rect whole{0, 0, surface->DeviceWidth(), surface->DeviceHeight()};
    Paint(*surface, {&whole, 1});
  }
}

void WaylandShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  if (image.GetFormat() != gdi::Bitmap::Format::Color32) return;
  const gdi::Rect whole{0, 0, image.Width(), image.Height()};
  if (!image_ || image_->Width() != image.Width() || image_->Height() != image.Height()) {
    damage = {&whole, 1};  // everything is new
  }
  image_ = &image;
  Surface* surface = AreaSurface();
  if (!surface || !surface->configured) return;
  surface->presenter.TargetRects(damage, {0, 0, surface->DeviceWidth(), surface->DeviceHeight()},
                                 rects_);
  Paint(*surface, rects_);
}

void WaylandShowWindow::Show() {
  if (surfaces_.empty()) MakeSurfaces();
  WaylandConnection& connection = context_->Connection();
  const auto deadline = std::chrono::steady_clock::now() + kConfigureDeadline;
  while (!AreaSurface()->configured && !close_requested_) {
    if (std::chrono::steady_clock::now() > deadline) {
      // Ended the normal way, so what was extracted goes with it.
      std::fputs(
          "slidesaver: the show window cannot be shown: the Wayland compositor did not "
          "place it within 2 s\n",
          stderr);
      throw ProcessExit{1};
    }
    connection.Roundtrip();
  }
}

void WaylandShowWindow::Hide() {
  if (context_->Started()) context_->Connection().SetOutputAddedHandler(nullptr);
  pointer_surface_ = nullptr;
  surfaces_.clear();
  image_ = nullptr;  // the show that keeps it may go now
}

void WaylandShowWindow::Grab(bool on) {
  if (!on || !context_->Started()) return;
  // The pointer moved over the show while the password check was open: not a reason to end
  // the show that starts again after a refused password.
  context_->Connection().Roundtrip();
  input_.clear();
}

void WaylandShowWindow::LowerBelowLaterOverlays() {
  // Within a layer sway keeps the surface that came first on top and gives it the keyboard; one
  // that changes its layer goes to the bottom of its new layer. Both changes in one flush: the
  // compositor never draws the show in the other layer.
  bool lowered = false;
  for (const auto& surface : surfaces_) {
    zwlr_layer_surface_v1* layer = surface->layer.get();
    if (!layer ||
        zwlr_layer_surface_v1_get_version(layer) < ZWLR_LAYER_SURFACE_V1_SET_LAYER_SINCE_VERSION) {
      continue;
    }
    for (const auto through : {ZWLR_LAYER_SHELL_V1_LAYER_TOP, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY}) {
      zwlr_layer_surface_v1_set_layer(layer, through);
      wl_surface_commit(surface->surface.get());
    }
    lowered = true;
  }
  if (lowered) context_->Connection().Flush();
}

void WaylandShowWindow::SetCursorVisible(bool visible) {
  cursor_visible_ = visible;
  if (!visible && pointer_ && pointer_surface_) {
    wl_pointer_set_cursor(pointer_, enter_serial_, nullptr, 0, 0);
  }
}

platform::Point WaylandShowWindow::GetCursorPos() {
  return pointer_moved_ ? pointer_at_ : kRestingPointer;
}

platform::Point WaylandShowWindow::PointerAt(const Surface& surface, double x, double y) const {
  // Device pixels of the surface; the surfaces of other outputs lie apart, to the right.
  constexpr int32_t kSurfaceSpacing = 1 << 16;
  return {static_cast<int32_t>(x * surface.scale) + surface.index * kSurfaceSpacing,
          static_cast<int32_t>(y * surface.scale)};
}

void WaylandShowWindow::PointerEntered(wl_pointer* pointer, uint32_t serial, wl_surface* target,
                                       double, double) {
  for (const auto& surface : surfaces_) {
    if (surface->surface.get() != target) continue;
    pointer_ = pointer;
    enter_serial_ = serial;
    pointer_surface_ = surface.get();
    // Not a move: a pointer that rests where a surface appears enters it. One that moves in
    // sends its motion too, and that is the move.
    if (!cursor_visible_) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    return;
  }
}

void WaylandShowWindow::PointerLeft(wl_surface* target) {
  if (!target) pointer_ = nullptr;
  if (!target || (pointer_surface_ && pointer_surface_->surface.get() == target)) {
    pointer_surface_ = nullptr;
  }
}

void WaylandShowWindow::PointerMoved(double x, double y) {
  if (!pointer_surface_) return;
  const platform::Point at = PointerAt(*pointer_surface_, x, y);
  if (at == pointer_at_) return;
  pointer_at_ = at;
  pointer_moved_ = true;
  Queue(InputKind::Motion);
}

void WaylandShowWindow::Queue(InputKind kind) {
  if (!OnScreen()) return;  // in a window of its own, input does not end the show
  input_.push_back(kind);
}

void WaylandShowWindow::DeliverInput() {
  if (!sink_) return;
  std::vector<InputKind> input;
  input.swap(input_);
  for (const InputKind kind : input) {
    switch (kind) {
      case InputKind::Key:
        sink_->KeyDown();
        break;
      case InputKind::Button:
        sink_->MouseDown();
        break;
      case InputKind::Motion:
        sink_->MouseMove();
        break;
    }
  }
  if (close_requested_) {
    close_requested_ = false;
    sink_->CloseRequested();
  }
  if (!close_signal_delivered_ && CloseSignalReceived()) {
    close_signal_delivered_ = true;
    sink_->CloseRequested();
  }
}

}  // namespace slidesaver::linux_platform
