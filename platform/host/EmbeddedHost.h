#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <platform/host/HeadlessHost.h>
#include <platform/rtl/Export.h>

namespace Platform {

// Hosts a form inside a window and an event loop that the application owns (its own SDL, GLFW,
// Qt or immediate-mode GUI program). The application feeds input and sizes in its pixels and
// shows the form's pixels however it likes:
//
//   TForm form(nullptr);                      // put controls on it
//   TEmbeddedHost host(form);
//   host.Resize(width, height);               // and again whenever the area changes
//   // in the event loop:
//   host.MouseDown(x, y, mbLeft, {ssShift}); host.MouseMove(x, y); host.MouseUp(x, y);
//   host.KeyDown(VK_ESCAPE); host.MouseLeave();
//   if (host.NeedsRepaint()) {
//     TRect changed = host.RenderTo(myPixels, myWidth, myHeight, myStride);  // or Render()
//     // upload `changed` of myPixels to the screen
//   }
//
// Coordinates are form pixels: the form's top-left is (0, 0) (subtract where the form sits in
// the application's window). The form's Left and Top are its place on the screen, which
// ClientToScreen and SetCursorPos use; the application may keep them up to date with SetBounds.
// Everything runs on the caller's thread; handlers run inside the input calls and Render.
class VELGRAPH_API TEmbeddedHost : public THeadlessHost {
public:
  explicit TEmbeddedHost(TForm &form, const TDisplayMetrics &display = {});

  // The area given to the form is now width x height pixels: the form, its framebuffer and its
  // aligned controls follow, and everything is repainted. Negative sizes count as 0.
  void Resize(int width, int height);
  // The pointer has left the form's area: the control under it hears CM_MOUSELEAVE.
  void MouseLeave();

  // True when a control asked to be painted or pixels changed since the last Render.
  bool NeedsRepaint() const;
  // Runs the pending paints and returns the part of the framebuffer changed since the last
  // Render (empty when nothing did).
  TRect Render();
  // Render, then copies pixels into a buffer the caller owns: width x height pixels, rows
  // stride pixels apart, each 0xFFRRGGBB (an opaque ARGB8888 pixel; bytes B, G, R, A in memory
  // on a little-endian machine). Copies the changed part, or everything when whole is set, as
  // far as it lies in both the buffer and the form; returns what it copied. A null buffer, a
  // stride shorter than width or a size that is not positive copies nothing.
  TRect RenderTo(std::uint32_t *pixels, int width, int height, std::ptrdiff_t stride, bool whole = false);
  // The form's own pixels, 0x00RRGGBB with rows Stride pixels apart; valid until the form is
  // resized or destroyed (empty then). Read them after Render.
  TRasterSurface Pixels() const;

  // Called when a control moves the pointer (SetCursorPos), with the form pixel it moved to, so
  // the application can warp its real pointer. The move has already been delivered; the first
  // MouseMove to exactly that point afterwards is taken for the echo of the warp and dropped.
  std::function<void(TPoint formPoint)> OnWarpPointer;
  bool SetCursorPos(TPoint screenPoint) override;
  void MouseMove(int x, int y, TShiftState keys = {}) override;

private:
  std::optional<TPoint> FWarpEcho;
};

} // namespace Platform
