#include <platform/host/SdlHost.h>

#if VELGRAPH_HAS_SDL

#include <SDL.h>
#include <SDL_syswm.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <platform/controls/Application.h>
#include <utility>

namespace Platform {

namespace {

// Displays that report a resolution outside this range are taken to know none.
constexpr float PlausibleDpiLow = 48, PlausibleDpiHigh = 960;
constexpr int DefaultPixelsPerInch = 96;

TShiftState ShiftOfMods(std::uint16_t mods) {
  TShiftState shift;
  if (mods & KMOD_SHIFT)
    shift.Include(ssShift);
  if (mods & KMOD_CTRL)
    shift.Include(ssCtrl);
  if (mods & KMOD_ALT)
    shift.Include(ssAlt);
  return shift;
}

std::optional<TMouseButton> ButtonOf(Uint8 button) {
  switch (button) {
  case SDL_BUTTON_LEFT: return mbLeft;
  case SDL_BUTTON_RIGHT: return mbRight;
  case SDL_BUTTON_MIDDLE: return mbMiddle;
  default: return std::nullopt;
  }
}

// The virtual key of an SDL key (as the keyboard layout names it), 0 for keys without one.
WORD VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z)
    return static_cast<WORD>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9)
    return static_cast<WORD>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12)
    return static_cast<WORD>(VK_F1 + (key - SDLK_F1));
  if (key >= SDLK_F13 && key <= SDLK_F24)
    return static_cast<WORD>(VK_F1 + 12 + (key - SDLK_F13));
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
    return static_cast<WORD>(VK_NUMPAD1 + (key - SDLK_KP_1));
  switch (key) {
  case SDLK_BACKSPACE: return VK_BACK;
  case SDLK_TAB: return VK_TAB;
  case SDLK_CLEAR: return VK_CLEAR;
  case SDLK_RETURN:
  case SDLK_KP_ENTER: return VK_RETURN;
  case SDLK_LSHIFT:
  case SDLK_RSHIFT: return VK_SHIFT;
  case SDLK_LCTRL:
  case SDLK_RCTRL: return VK_CONTROL;
  case SDLK_LALT:
  case SDLK_RALT: return VK_MENU;
  case SDLK_PAUSE: return VK_PAUSE;
  case SDLK_CAPSLOCK: return VK_CAPITAL;
  case SDLK_ESCAPE: return VK_ESCAPE;
  case SDLK_SPACE: return VK_SPACE;
  case SDLK_PAGEUP: return VK_PRIOR;
  case SDLK_PAGEDOWN: return VK_NEXT;
  case SDLK_END: return VK_END;
  case SDLK_HOME: return VK_HOME;
  case SDLK_LEFT: return VK_LEFT;
  case SDLK_UP: return VK_UP;
  case SDLK_RIGHT: return VK_RIGHT;
  case SDLK_DOWN: return VK_DOWN;
  case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
  case SDLK_INSERT: return VK_INSERT;
  case SDLK_DELETE: return VK_DELETE;
  case SDLK_HELP: return VK_HELP;
  case SDLK_LGUI: return VK_LWIN;
  case SDLK_RGUI: return VK_RWIN;
  case SDLK_APPLICATION: return VK_APPS;
  case SDLK_KP_0: return VK_NUMPAD0;
  case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
  case SDLK_KP_PLUS: return VK_ADD;
  case SDLK_KP_MINUS: return VK_SUBTRACT;
  case SDLK_KP_PERIOD: return VK_DECIMAL;
  case SDLK_KP_DIVIDE: return VK_DIVIDE;
  case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
  case SDLK_SCROLLLOCK: return VK_SCROLL;
  case SDLK_SEMICOLON: return VK_OEM_1;
  case SDLK_EQUALS:
  case SDLK_PLUS: return VK_OEM_PLUS;
  case SDLK_COMMA: return VK_OEM_COMMA;
  case SDLK_MINUS: return VK_OEM_MINUS;
  case SDLK_PERIOD: return VK_OEM_PERIOD;
  case SDLK_SLASH: return VK_OEM_2;
  case SDLK_BACKQUOTE: return VK_OEM_3;
  case SDLK_LEFTBRACKET: return VK_OEM_4;
  case SDLK_BACKSLASH: return VK_OEM_5;
  case SDLK_RIGHTBRACKET: return VK_OEM_6;
  case SDLK_QUOTE: return VK_OEM_7;
  default: return 0;
  }
}

std::string SdlError(const char *what) { return std::string(what) + ": " + SDL_GetError(); }

bool Plausible(float dpi) { return std::isfinite(dpi) && dpi >= PlausibleDpiLow && dpi <= PlausibleDpiHigh; }

// The horizontal pixels per inch the display reports, if it reports a plausible one.
std::optional<int> DisplayDpi(int display) {
  float horizontal = 0;
  if (SDL_GetDisplayDPI(display, nullptr, &horizontal, nullptr) != 0 || !Plausible(horizontal))
    return std::nullopt;
  return static_cast<int>(std::lround(horizontal));
}

// Drivers that draw into memory only: no one would see the window.
bool IsDisplay(const char *driver) {
  return driver && SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0;
}

// Starts SDL's video on a real display. A busy X server refuses connections now and then
// (EAGAIN), and SDL then falls to a memory driver: such a start is tried again a few times.
bool StartVideo(std::string &why) {
  constexpr int Attempts = 4;
  for (int attempt = 1; attempt <= Attempts; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      why = SdlError("No display");
    } else if (IsDisplay(SDL_GetCurrentVideoDriver())) {
      return true;
    } else {
      why = std::string("No display (only SDL's ") + SDL_GetCurrentVideoDriver() + " driver)";
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    if (attempt < Attempts && std::getenv("DISPLAY"))
      SDL_Delay(50 * attempt);
    else
      break;
  }
  return false;
}

// Where XRandR knows no physical size (virtual and some remote displays) the X server's core
// screen often still does. Read through Xlib's macros: nothing to link.
std::optional<int> CoreX11Dpi(SDL_Window *window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
    Display *display = info.info.x11.display;
    const int screen = DefaultScreen(display), millimetres = DisplayWidthMM(display, screen);
    const float dpi = millimetres > 0 ? DisplayWidth(display, screen) * 25.4f / millimetres : 0;
    if (Plausible(dpi))
      return static_cast<int>(std::lround(dpi));
  }
#endif
  (void)window;
  return std::nullopt;
}

void Fail(std::string *reason, const std::string &why) {
  if (reason)
    *reason = why;
}

} // namespace

bool TSdlHost::Available() { return true; }

WORD TSdlHost::VirtualKey(std::int32_t sdlKeycode) { return VirtualKeyOf(sdlKeycode); }

TShiftState TSdlHost::ShiftState(std::uint16_t sdlKeymod) { return ShiftOfMods(sdlKeymod); }

std::unique_ptr<TSdlHost> TSdlHost::Open(TForm &form, std::string *reason) {
  // The first click on a window that is not focused still reaches the form.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The window's surface goes to the display as it is: no graphics driver is loaded to scale it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  std::string why;
  if (!StartVideo(why)) {
    Fail(reason, why);
    return nullptr;
  }
  SDL_Window *window =
      SDL_CreateWindow(form.Caption().c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                       std::max(form.Width(), 1), std::max(form.Height(), 1), SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  // The form's pixels are made on the CPU: they go straight to the window's own surface (a
  // renderer's stretched copy could show a frame of the old size after a resize).
  if (!window || !SDL_GetWindowSurface(window)) {
    Fail(reason, SdlError(window ? "Cannot draw in a window" : "Cannot open a window"));
    if (window)
      SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  return std::unique_ptr<TSdlHost>(new TSdlHost(form, window));
}

TSdlHost::TSdlHost(TForm &form, SDL_Window *window) : TEmbeddedHost(form, DisplayOf(window)), FWindow(window) {
  OnWarpPointer = [this](TPoint formPoint) { WarpTo(formPoint); };
  SDL_ShowWindow(FWindow);
  FollowWindow();
}

TSdlHost::~TSdlHost() {
  SDL_DestroyWindow(FWindow);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::uint32_t TSdlHost::WindowId() const { return SDL_GetWindowID(FWindow); }

void TSdlHost::Check(int sdlResult, const char *what) {
  if (sdlResult < 0)
    throw EDisplayError(SdlError(what));
}

TDisplayMetrics TSdlHost::DisplayOf(SDL_Window *window) {
  TDisplayMetrics metrics;
  const int display = std::max(window ? SDL_GetWindowDisplayIndex(window) : 0, 0);
  SDL_Rect bounds;
  if (SDL_GetDisplayBounds(display, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
    metrics.Width = bounds.w;
    metrics.Height = bounds.h;
  }
  std::optional<int> dpi = DisplayDpi(display);
  if (!dpi)
    dpi = CoreX11Dpi(window);
  metrics.PixelsPerInch = dpi.value_or(DefaultPixelsPerInch);
  return metrics;
}

void TSdlHost::FollowWindow() {
  TForm *form = Form();
  if (!form)
    return;
  int x = 0, y = 0, width = 0, height = 0;
  SDL_GetWindowPosition(FWindow, &x, &y);
  SDL_GetWindowSize(FWindow, &width, &height);
  if (x != form->Left() || y != form->Top() || width != form->Width() || height != form->Height())
    form->SetBounds(x, y, width, height);
}

void TSdlHost::WarpTo(TPoint formPoint) { SDL_WarpMouseInWindow(FWindow, formPoint.X, formPoint.Y); }

void TSdlHost::Run() {
  // Paints that ask for more paints (a ruler moved by the graph's) are finished before waiting.
  while (ProcessEvents(NeedsRepaint() ? 0 : -1)) {
  }
}

bool TSdlHost::ProcessEvents(int timeoutMs) {
  if (FClosed)
    return false;
  SDL_Event event;
  int got = 0;
  if (timeoutMs < 0) {
    got = SDL_WaitEvent(&event);
    if (!got)
      throw EDisplayError(SdlError("Waiting for events"));
  } else {
    got = timeoutMs == 0 ? SDL_PollEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs);
  }
  for (; got && !FClosed; got = SDL_PollEvent(&event))
    Handle(event);
  if (!FClosed)
    Present();
  return !FClosed;
}

void TSdlHost::Close() {
  if (FClosed)
    return;
  FClosed = true;
  Input().ReleaseCapture();
  MouseLeave();
  SDL_HideWindow(FWindow);
}

void TSdlHost::Handle(const SDL_Event &event) {
  const Uint32 id = WindowId();
  switch (event.type) {
  case SDL_QUIT: Close(); break;
  case SDL_WINDOWEVENT:
    if (event.window.windowID == id)
      HandleWindowEvent(event);
    break;
  case SDL_MOUSEMOTION:
    if (event.motion.windowID == id)
      MouseMove(event.motion.x, event.motion.y, ShiftOfMods(static_cast<Uint16>(SDL_GetModState())));
    break;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP:
    if (event.button.windowID == id)
      if (const auto button = ButtonOf(event.button.button)) {
        TShiftState keys = ShiftOfMods(static_cast<Uint16>(SDL_GetModState()));
        if (event.type == SDL_MOUSEBUTTONUP)
          MouseUp(event.button.x, event.button.y, *button, keys);
        else
          MouseDown(event.button.x, event.button.y, *button,
                    event.button.clicks == 2 ? keys + TShiftState{ssDouble} : keys);
      }
    break;
  case SDL_KEYDOWN:
  case SDL_KEYUP:
    if (event.key.windowID == id)
      if (const WORD key = VirtualKeyOf(event.key.keysym.sym)) {
        const TShiftState keys = ShiftOfMods(event.key.keysym.mod);
        event.type == SDL_KEYDOWN ? KeyDown(key, keys) : KeyUp(key, keys);
      }
    break;
  default: break;
  }
}

void TSdlHost::HandleWindowEvent(const SDL_Event &event) {
  switch (event.window.event) {
  case SDL_WINDOWEVENT_CLOSE: Close(); break;
  case SDL_WINDOWEVENT_LEAVE: MouseLeave(); break;
  case SDL_WINDOWEVENT_MOVED:
  case SDL_WINDOWEVENT_SIZE_CHANGED:
    FollowWindow();
    FShowAgain = true;
    break;
  case SDL_WINDOWEVENT_DISPLAY_CHANGED: Platform::Screen().SetMetrics(DisplayOf(FWindow)); break;
  case SDL_WINDOWEVENT_EXPOSED: FShowAgain = true; break;
  default: break;
  }
}

void TSdlHost::Present() {
  TForm *form = Form();
  if (!form)
    return;
  if (form->Caption() != SDL_GetWindowTitle(FWindow))
    SDL_SetWindowTitle(FWindow, form->Caption().c_str());
  TRect changed = Render();
  const TRasterSurface pixels = Pixels();
  SDL_Surface *target = SDL_GetWindowSurface(FWindow);
  if (!target)
    throw EDisplayError(SdlError("Cannot draw in the window"));
  // A new surface (after a resize) or an exposed window has none of the pixels.
  if (std::exchange(FShowAgain, false) || target != FSurface) {
    FSurface = target;
    changed = {0, 0, pixels.Width, pixels.Height};
  }
  changed = IntersectRect(changed, {0, 0, std::min(pixels.Width, target->w), std::min(pixels.Height, target->h)});
  if (changed.IsEmpty())
    return;
  SDL_Surface *source = SDL_CreateRGBSurfaceWithFormatFrom(
      pixels.Pixels, pixels.Width, pixels.Height, 32,
      static_cast<int>(pixels.Stride * static_cast<std::ptrdiff_t>(sizeof(std::uint32_t))), SDL_PIXELFORMAT_RGB888);
  if (!source)
    throw EDisplayError(SdlError("Cannot draw in the window"));
  SDL_Rect from{changed.Left, changed.Top, changed.Width(), changed.Height()}, to = from;
  const int copied = SDL_BlitSurface(source, &from, target, &to);
  SDL_FreeSurface(source);
  Check(copied, "Drawing the window");
  Check(SDL_UpdateWindowSurfaceRects(FWindow, &from, 1), "Showing the window");
}

} // namespace Platform

#else

namespace Platform {

bool TSdlHost::Available() { return false; }
WORD TSdlHost::VirtualKey(std::int32_t) { return 0; }
TShiftState TSdlHost::ShiftState(std::uint16_t) { return {}; }
TDisplayMetrics TSdlHost::DisplayOf(SDL_Window *) { return {}; }

std::unique_ptr<TSdlHost> TSdlHost::Open(TForm &, std::string *reason) {
  if (reason)
    *reason = "Built without SDL2: no window";
  return nullptr;
}

// No host can be made without SDL2, so none of these is ever reached.
TSdlHost::~TSdlHost() = default;
void TSdlHost::Run() {}
bool TSdlHost::ProcessEvents(int) { return false; }
void TSdlHost::Close() {}
void TSdlHost::Present() {}
std::uint32_t TSdlHost::WindowId() const { return 0; }

} // namespace Platform

#endif
