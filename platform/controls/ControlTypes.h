#pragma once

#include <cstdint>
#include <functional>
#include <platform/rtl/Object.h>
#include <platform/rtl/Set.h>
#include <platform/rtl/VirtualKeys.h>

namespace Platform {

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

// Modifier keys and mouse buttons held during a mouse event; ssDouble marks the second press
// of a double click.
enum class TShiftFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftFlag;
using TShiftState = TSet<TShiftFlag>;

// Where a control sits in its parent. Aligned controls are laid out by the parent, in the order
// alTop, alBottom, alLeft, alRight, alClient; within one kind, in the order of the parent's
// list. Each takes the room the earlier ones left.
enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;

// A panel bevel: none, sunken, raised, or a blank frame of the panel's colour.
enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;

// csOpaque: the control paints every pixel of its client area itself, so the host does not
// erase the background before its Paint.
enum class TControlStyleFlag : std::uint8_t { csOpaque };
using enum TControlStyleFlag;
using TControlStyle = TSet<TControlStyleFlag>;

// Events, fired only when assigned; Sender is the control that got the event.
using TNotifyEvent = std::function<void(TObject *sender)>;
// x, y in the control's client pixels.
using TMouseEvent = std::function<void(TObject *sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject *sender, TShiftState shift, int x, int y)>;
// key is a virtual-key code (VK_LEFT, 'A'); a handler that sets it to 0 has consumed the key.
using TKeyEvent = std::function<void(TObject *sender, WORD &key, TShiftState shift)>;

} // namespace Platform
