#pragma once
// Owners of what the show window takes from SDL: a window and a surface, destroyed with their
// owner, and a surface's pixels, locked while they are read or written. (A window's own surface
// is the window's: SDL frees it.)
#include <SDL.h>

#include <memory>

namespace slidesaver::linux_platform {

struct SdlWindowDestroyer {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
// For another program's window SDL only lets go of it: the window stays.
using SdlWindow = std::unique_ptr<SDL_Window, SdlWindowDestroyer>;

struct SdlSurfaceFreer {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurface = std::unique_ptr<SDL_Surface, SdlSurfaceFreer>;

// The surface's pixels are valid while it lives (when the surface must be locked at all).
class SurfaceLock {
 public:
  explicit SurfaceLock(SDL_Surface& surface) : surface_(surface) {
    if (SDL_MUSTLOCK(&surface_)) SDL_LockSurface(&surface_);
  }
  ~SurfaceLock() {
    if (SDL_MUSTLOCK(&surface_)) SDL_UnlockSurface(&surface_);
  }
  SurfaceLock(const SurfaceLock&) = delete;
  SurfaceLock& operator=(const SurfaceLock&) = delete;

 private:
  SDL_Surface& surface_;
};

}  // namespace slidesaver::linux_platform
