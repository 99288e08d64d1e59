#pragma once

#include <cstdint>

namespace Platform {

// Notifications the host delivers to controls through TControl::Perform, with the platform's
// numbers so that code written against them reads the same.
using TMessageId = std::uint32_t;

constexpr TMessageId CM_BASE = 0xB000;
// The pointer has come over the control.
constexpr TMessageId CM_MOUSEENTER = CM_BASE + 19;
// The pointer has left the control.
constexpr TMessageId CM_MOUSELEAVE = CM_BASE + 20;

} // namespace Platform
