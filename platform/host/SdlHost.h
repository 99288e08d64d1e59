#pragma once

#include <cstdint>
#include <memory>
#include <platform/host/EmbeddedHost.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Export.h>
#include <string>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace Platform {

// The desktop display failed while a window was open (the renderer or the connection was lost).
class VELGRAPH_API EDisplayError : public Exception {
public:
  using Exception::Exception;
};

// The desktop host: a real window on the display, through SDL2, showing a form.
//
//   TForm form(nullptr);  ... controls ...
//   if (auto window = TSdlHost::Open(form))
//     window->Run();                            // until the user closes the window
//   else
//     ... render headless (THeadlessHost) ...
//
// The window has the form's size and caption and the form follows the window: resizing it
// resizes the form (its aligned controls follow), moving it moves the form's Left and Top.
// Mouse input goes through the same dispatch as the headless host, the pointer leaving the
// window is a leave, keys arrive as virtual-key codes with their modifiers, and SetCursorPos
// warps the real pointer. While the host lives, Screen() reports the display's size and pixels
// per inch (96 where the display reports none or nonsense).
//
// SDL2 is optional when the library is built: Available() says whether it was built in, and
// Open returns null (with the reason) without it or without a display, so a program falls back
// to the headless host. One window at a time; create and use it on the main thread.
class VELGRAPH_API TSdlHost : public TEmbeddedHost {
public:
  // True when the library was built with SDL2.
  static bool Available();
  // Opens a window showing the form, or returns null and says why in *reason (when given): SDL2
  // not built in, no display, or the window could not be made.
  static std::unique_ptr<TSdlHost> Open(TForm &form, std::string *reason = nullptr);
  ~TSdlHost() override;

  // Handles events until the window is closed (or Close is called), presenting the form after
  // each batch. Raises EDisplayError when the display fails.
  void Run();
  // Waits up to timeoutMs (0: not at all) for events, handles every event waiting, then paints
  // and presents the form. Returns false once the window has been closed.
  bool ProcessEvents(int timeoutMs);
  // Ends Run: the window closes at the next event. A drag in progress is abandoned (the capture
  // released, no button-up delivered) before the host stops.
  void Close();
  bool Closed() const { return FClosed; }

  // Paints what is pending and shows the framebuffer's changes in the window.
  void Present() override;
  // The window's number for SDL, for a caller that looks it up in SDL events of its own.
  std::uint32_t WindowId() const;

  // For applications that run SDL themselves and embed a form (TEmbeddedHost): the virtual key
  // of an SDL key code (0 for a key that has none), the shift state of SDL key modifiers, and
  // what SDL reports of the display a window is on (96 pixels per inch where it reports none).
  static WORD VirtualKey(std::int32_t sdlKeycode);
  static TShiftState ShiftState(std::uint16_t sdlKeymod);
  static TDisplayMetrics DisplayOf(SDL_Window *window);

private:
  TSdlHost(TForm &form, SDL_Window *window, SDL_Renderer *renderer);

  void Handle(const SDL_Event &event);
  void HandleWindowEvent(const SDL_Event &event);
  void FollowWindow();
  void WarpTo(TPoint formPoint);
  void EnsureTexture(int width, int height);
  static void Check(int sdlResult, const char *what);

  SDL_Window *FWindow;
  SDL_Renderer *FRenderer;
  SDL_Texture *FTexture = nullptr;
  int FTextureWidth = 0;
  int FTextureHeight = 0;
  bool FClosed = false;
  // The window lost its contents (exposed): show the texture again even when nothing changed.
  bool FShowAgain = false;
};

} // namespace Platform
