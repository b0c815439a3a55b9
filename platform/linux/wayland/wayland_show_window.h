#pragma once
// The show window on Wayland, through the player's own connection and without GL: the show's
// picture goes to the compositor in shared-memory buffers, and each present sends only the
// changed rectangles. Where the compositor offers the layer shell (sway, KWin) the show is an
// overlay on every output that takes the keyboard: the show area centred on the first output,
// the others black. Elsewhere (GNOME's mutter) it is one full-screen toplevel on the first
// output. In a window of its own (--window) it is an ordinary resizable toplevel, the area
// centred, or scaled down to fit when the window is smaller. One show pixel is one device pixel
// whatever the output's scale, unless the place's fit enlarges the area to the first output (or
// the window); then only the changed rectangles are scaled and sent. The pointer is hidden over the
// show; its entering is not input (a surface that appears under a resting pointer gets it), only
// its motion is.
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/area_presenter.h"
#include "platform/linux/show_placement.h"
#include "platform/linux/wayland/wayland_context.h"
#include "platform/show_window.h"

namespace slidesaver::linux_platform {

class WaylandShowWindow : public platform::ShowWindow, private WaylandInputHandler {
 public:
  WaylandShowWindow(std::shared_ptr<WaylandContext> context, ShowPlace place);
  ~WaylandShowWindow() override;
  WaylandShowWindow(const WaylandShowWindow&) = delete;
  WaylandShowWindow& operator=(const WaylandShowWindow&) = delete;

  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  // The first output's size in device pixels; in a window, the window's.
  platform::ScreenSize GetScreenSize() override;
  void SetInputSink(platform::InputSink* sink) override { sink_ = sink; }
  void Show() override;
  void Hide() override;
  void SetTopMost() override {}  // the overlay layer is above everything already
  void SetCursorVisible(bool visible) override;
  // Where the pointer is (device pixels), once it has moved over the show; before that a
  // resting position that does not change when the pointer enters.
  platform::Point GetCursorPos() override;
  // The overlay takes the keyboard for as long as it is there. Taken again (the show starts
  // anew after a dialog over it), the input that came meanwhile is dropped: it was the dialog's.
  void Grab(bool on) override;
  platform::WindowHandle Handle() override { return 0; }

  // Hands the input and close requests that arrived to the show. Called by the event loop only.
  void DeliverInput();
  // Commits what waits for the compositor's frame, where it has drawn the last commit or
  // was waited for long enough; and when that is due at the latest (nothing waits: none).
  // Called by the event loop only.
  void CommitWaiting();
  std::optional<std::chrono::steady_clock::time_point> WaitingCommitDue() const;

  // What presents have sent since the window was made, in pixels: the rectangles marked damaged
  // for the compositor, and those written into buffers (the damage, and what a buffer missed
  // while the compositor held another: its damage since it was last written).
  struct PresentCounts {
    int64_t damaged = 0;
    int64_t written = 0;
  };
  PresentCounts Counts() const { return counts_; }

 private:
  struct Surface;
  enum class InputKind { Key, Button, Motion };

  bool OnScreen() const { return place_.kind == ShowPlace::Kind::Screen; }
  // Puts the overlay surfaces below those that came after them (a dialog over the show).
  void LowerBelowLaterOverlays();
  void MakeSurfaces();
  Surface* NewSurface(WaylandOutput* output);  // nullptr: a toplevel's
  // A black overlay layer surface covering the output (the first one made shows the area).
  void AddOverlay(WaylandOutput& output);
  void Configured(Surface& surface);
  Surface* AreaSurface() const;
  void Place();
  // The rectangles (device pixels) of the surface are to be sent to the compositor: now, or
  // with the next commit when the compositor has not drawn the last one yet.
  void Paint(Surface& surface, std::span<const gdi::Rect> rects);
  // Brings a free buffer up to date and commits it with what waits.
  void Commit(Surface& surface);
  void RepaintAll();
  void RequestClose() { close_requested_ = true; }
  void Queue(InputKind kind);
  platform::Point PointerAt(const Surface& surface, double x, double y) const;

  void PointerEntered(wl_pointer* pointer, uint32_t serial, wl_surface* surface, double x,
                      double y) override;
  void PointerLeft(wl_surface* surface) override;
  void PointerMoved(double x, double y) override;
  void ButtonPressed() override { Queue(InputKind::Button); }
  void KeyPressed() override { Queue(InputKind::Key); }

  std::shared_ptr<WaylandContext> context_;
  ShowPlace place_;
  std::vector<std::unique_ptr<Surface>> surfaces_;
  platform::InputSink* sink_ = nullptr;
  gdi::Rect area_{};  // the show area as Move placed it, in device pixels of its surface
  // The show area's image as last presented: the show keeps it, and buffers are written from it.
  const gdi::Bitmap* image_ = nullptr;
  std::vector<gdi::Rect> rects_;
  bool cursor_visible_ = true;
  // The pointer over one of the surfaces, the serial of its entry, and where it is.
  wl_pointer* pointer_ = nullptr;
  uint32_t enter_serial_ = 0;
  const Surface* pointer_surface_ = nullptr;
  platform::Point pointer_at_{};
  bool pointer_moved_ = false;
  std::vector<InputKind> input_;
  bool close_requested_ = false;
  bool close_signal_delivered_ = false;
  PresentCounts counts_;
  bool committing_ = false;  // a commit waits for a free buffer
};

}  // namespace slidesaver::linux_platform
