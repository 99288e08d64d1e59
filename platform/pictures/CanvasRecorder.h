#pragma once

#include <platform/graphics/Canvas.h>
#include <platform/graphics/recording/RecordingDevice.h>
#include <platform/rtl/Export.h>
#include <string>

namespace Platform {

// Records what is drawn on a canvas while the recorder lives, instead of drawing it: the canvas
// draws on a recording device of its own device's resolution, with its pen, brush, font, origin
// and clip as they are, and gets its device back when the recorder goes (also when drawing
// raised an exception). A drawing made by a component records the same way, e.g. the world
// graph's whole paint, background, shapes and OnPaint included:
//
//   TCanvasRecorder recorder(*graph.PaintBox()->Bitmap->Canvas());
//   graph.Paint();
//   recorder.SaveToEmfFile("drawing.emf");
class VELGRAPH_API TCanvasRecorder {
public:
  explicit TCanvasRecorder(TCanvas &canvas);
  ~TCanvasRecorder();
  TCanvasRecorder(const TCanvasRecorder &) = delete;
  TCanvasRecorder &operator=(const TCanvasRecorder &) = delete;

  const TRecordingDevice &Recording() const { return FRecording; }
  // The drawable area of the device the canvas drew on before (empty for one without pixels).
  const TRect &Bounds() const { return FBounds; }
  // What was recorded so far as an enhanced metafile of the replaced device's area at its
  // resolution. Raises EInvalidGraphic when that device had no area, Exception when the file
  // cannot be written.
  void SaveToEmfFile(const std::string &fileName) const;

private:
  TCanvas &FCanvas;
  TDevice *FDevice;
  TRect FBounds;
  TRecordingDevice FRecording;
};

} // namespace Platform
