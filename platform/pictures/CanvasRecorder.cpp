#include <platform/pictures/CanvasRecorder.h>

#include <platform/pictures/EmfWriter.h>

namespace Platform {

TCanvasRecorder::TCanvasRecorder(TCanvas &canvas)
    : FCanvas(canvas), FDevice(canvas.Device()), FBounds(canvas.DeviceBounds()), FRecording(canvas.PixelsPerInch()) {
  FCanvas.SetDevice(&FRecording);
}

TCanvasRecorder::~TCanvasRecorder() { FCanvas.SetDevice(FDevice); }

// The picture's pixel (0, 0) is the device's, so a drawing and its picture line up.
void TCanvasRecorder::SaveToEmfFile(const std::string &fileName) const {
  const TEmfWriter writer(FBounds.Right, FBounds.Bottom, FRecording.PixelsPerInch());
  writer.SaveToFile(fileName, FRecording.Calls());
}

} // namespace Platform
