// A graph inside an application that owns its window and event loop: the program makes an SDL
// window and a texture itself, hands the form its input and size through TEmbeddedHost, and
// copies the form's changed pixels into a buffer of its own that it uploads to the texture.
// Drag with the left button to zoom, right-click to step back, Home to reset, Escape to quit.
//
//   velgraph-embed [--frames N]     (with N, runs N frames and exits: for tests)

#include <SDL.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include <platform/controls/Form.h>
#include <platform/host/EmbeddedHost.h>
#include <platform/host/SdlHost.h>
#include <worldgraph/VelGraph.h>

using namespace Platform;
using namespace Velgraph;

namespace {

// The application's side: its window, its texture and its own copy of the pixels.
struct TAppWindow {
  SDL_Window *Window = nullptr;
  SDL_Renderer *Renderer = nullptr;
  SDL_Texture *Texture = nullptr;
  std::vector<std::uint32_t> Pixels;
  int Width = 0, Height = 0;

  ~TAppWindow() {
    if (Texture)
      SDL_DestroyTexture(Texture);
    if (Renderer)
      SDL_DestroyRenderer(Renderer);
    if (Window)
      SDL_DestroyWindow(Window);
  }
  bool Open(int width, int height) {
    Window = SDL_CreateWindow("velgraph embedded", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                              SDL_WINDOW_RESIZABLE);
    Renderer = Window ? SDL_CreateRenderer(Window, -1, 0) : nullptr;
    return Renderer && Resize(width, height);
  }
  bool Resize(int width, int height) {
    if (Texture)
      SDL_DestroyTexture(Texture);
    Width = width;
    Height = height;
    Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    return Texture != nullptr;
  }
  // Uploads the part of the buffer the form changed and shows the texture.
  void Show(const TRect &changed) {
    if (!changed.IsEmpty()) {
      const SDL_Rect area{changed.Left, changed.Top, changed.Width(), changed.Height()};
      SDL_UpdateTexture(Texture, &area, Pixels.data() + changed.Top * Width + changed.Left,
                        Width * static_cast<int>(sizeof(std::uint32_t)));
    }
    SDL_RenderCopy(Renderer, Texture, nullptr, nullptr);
    SDL_RenderPresent(Renderer);
  }
};

void DrawCurves(TVelWorldGraph &graph) {
  graph.SetPen(RGB(0x10, 0x50, 0xA0), pmCopy, psSolid, 2);
  for (int i = 0; i <= 200; ++i) {
    const double x = i * 0.1, y = 5 + 4 * std::exp(-0.1 * x) * std::sin(1.3 * x);
    i == 0 ? graph.WorldMoveTo(x, y) : graph.WorldLineTo(x, y);
  }
  graph.ResetPen();
  for (int i = 0; i <= 20; i += 2)
    graph.SquarePoint(7, i, 5 + 4 * std::exp(-0.1 * i) * std::sin(1.3 * i), RGB(0xC0, 0x30, 0x30));
}

// Left drag: a rubber band, zoomed to on release; right click: a step back. The graph's mouse
// events come in graph pixels, its selection takes paint-box pixels.
void WireZoom(TVelWorldGraph &graph) {
  const auto box = [&graph](int x, int y) { return TPoint{x - graph.PaintBox()->Left(), y - graph.PaintBox()->Top()}; };
  graph.OnMouseDown = [&graph, box](TObject *, TMouseButton button, TShiftState, int x, int y) {
    const TPoint p = box(x, y);
    if (button == mbLeft)
      graph.BeginSelect(p.X, p.Y);
    else if (button == mbRight)
      graph.DecreaseZoom();
  };
  graph.OnMouseMove = [&graph, box](TObject *, TShiftState shift, int x, int y) {
    if (shift.Contains(ssLeft))
      graph.ContinueSelect(box(x, y).X, box(x, y).Y);
  };
  graph.OnMouseUp = [&graph, box](TObject *, TMouseButton button, TShiftState, int x, int y) {
    if (button == mbLeft)
      graph.EndSelect(box(x, y).X, box(x, y).Y);
  };
}

// Feeds one SDL event to the form; false when the application should quit.
bool Feed(const SDL_Event &event, TEmbeddedHost &host, TAppWindow &app, bool &exposed) {
  const TShiftState mods = TSdlHost::ShiftState(static_cast<std::uint16_t>(SDL_GetModState()));
  const auto button = [](Uint8 b) {
    return b == SDL_BUTTON_RIGHT ? mbRight : b == SDL_BUTTON_MIDDLE ? mbMiddle : mbLeft;
  };
  switch (event.type) {
  case SDL_QUIT: return false;
  case SDL_MOUSEMOTION: host.MouseMove(event.motion.x, event.motion.y, mods); break;
  case SDL_MOUSEBUTTONDOWN: host.MouseDown(event.button.x, event.button.y, button(event.button.button), mods); break;
  case SDL_MOUSEBUTTONUP: host.MouseUp(event.button.x, event.button.y, button(event.button.button), mods); break;
  case SDL_KEYDOWN:
    if (event.key.keysym.sym == SDLK_ESCAPE)
      return false;
    host.KeyDown(TSdlHost::VirtualKey(event.key.keysym.sym), TSdlHost::ShiftState(event.key.keysym.mod));
    break;
  case SDL_WINDOWEVENT:
    if (event.window.event == SDL_WINDOWEVENT_LEAVE)
      host.MouseLeave();
    if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
      exposed = true; // the window lost what it showed: show the texture again
    if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      host.Resize(event.window.data1, event.window.data2);
      app.Resize(event.window.data1, event.window.data2);
    }
    break;
  default: break;
  }
  return true;
}

int Run(long frames) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "velgraph embed: no display: %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  {
    TAppWindow app;
    if (!app.Open(800, 560)) {
      std::fprintf(stderr, "velgraph embed: cannot open a window: %s\n", SDL_GetError());
      status = 1;
    } else {
      TForm form(nullptr);
      auto *graph = new TVelWorldGraph(&form);
      graph->SetAlign(alClient);
      graph->SetXMax(20);
      graph->SetYMax(10);
      graph->OnPaint = [graph](TObject *) { DrawCurves(*graph); };
      WireZoom(*graph);
      TEmbeddedHost host(form, TSdlHost::DisplayOf(app.Window));
      host.OnWarpPointer = [&](TPoint p) { SDL_WarpMouseInWindow(app.Window, p.X, p.Y); };
      form.OnKeyDown = [graph](TObject *, WORD &key, TShiftState) {
        if (key == VK_HOME)
          graph->ResetZoom();
      };
      host.Resize(app.Width, app.Height);
      long shown = 0, repaints = 0;
      for (bool running = true; running && (frames < 0 || shown < frames); ++shown) {
        SDL_Event event;
        bool exposed = false;
        // A frame: the input of up to 16 ms, or none when the form has something to show.
        if (SDL_WaitEventTimeout(&event, host.NeedsRepaint() ? 1 : 16))
          do
            running = Feed(event, host, app, exposed);
          while (running && SDL_PollEvent(&event));
        if (host.NeedsRepaint()) {
          app.Show(host.RenderTo(app.Pixels.data(), app.Width, app.Height, app.Width));
          if (++repaints == 1) { // a script driving the window waits for this line
            std::printf("velgraph embed: shown\n");
            std::fflush(stdout);
          }
        } else if (exposed) {
          app.Show({});
        }
      }
      std::printf("velgraph embed: %ld frames, %ld repainted, window x %g..%g, y %g..%g\n", shown, repaints,
                  graph->XMin(), graph->XMax(), graph->YMin(), graph->YMax());
    }
  }
  SDL_Quit();
  return status;
}

} // namespace

int main(int argc, char **argv) {
  long frames = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = std::strtol(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: velgraph-embed [--frames N]\n");
      return 2;
    }
  }
  try {
    return Run(frames);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "velgraph embed: %s\n", e.what());
    return 1;
  }
}
