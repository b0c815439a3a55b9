#pragma once
// Ownership of a Wayland protocol object: the destroy (or release) request of its interface is
// sent when the owner goes. The request is chosen at run time where the bound version decides it.
#include <memory>

namespace slidesaver::linux_platform {

template <typename T>
using WaylandOwned = std::unique_ptr<T, void (*)(T*)>;

template <typename T>
WaylandOwned<T> Own(T* object, void (*destroy)(T*)) {
  return WaylandOwned<T>(object, destroy);
}

template <typename T>
WaylandOwned<T> NoObject() {
  return WaylandOwned<T>(nullptr, nullptr);
}

}  // namespace slidesaver::linux_platform
