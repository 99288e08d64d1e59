#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace Platform {

// An allocator whose vectors leave new elements uninitialised when resized, for pixel stores a
// decoder writes in full right after: filling megabytes that are overwritten at once would cost
// as much as the decoding itself. Elements given a value (assign, a fill constructor) get it.
template <class T> class TNoInitAllocator : public std::allocator<T> {
public:
  template <class U> struct rebind { using other = TNoInitAllocator<U>; };
  TNoInitAllocator() = default;
  template <class U> TNoInitAllocator(const TNoInitAllocator<U> &) noexcept {}

  template <class U> void construct(U *at) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void *>(at)) U;
  }
  template <class U, class... TArgs> void construct(U *at, TArgs &&...args) {
    ::new (static_cast<void *>(at)) U(std::forward<TArgs>(args)...);
  }
};

// The pixels of a bitmap, 0x00RRGGBB, row after row.
using TPixelStore = std::vector<std::uint32_t, TNoInitAllocator<std::uint32_t>>;

} // namespace Platform
