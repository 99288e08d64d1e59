#include <platform/graphics/recording/RecordingDevice.h>

namespace Platform {

TRecordedCall &TRecordingDevice::Add(TDeviceCall kind, const TDrawState &state) {
  TRecordedCall &call = FCalls.emplace_back();
  call.Kind = kind;
  call.State = state;
  return call;
}

void TRecordingDevice::Line(const TDrawState &state, TPoint a, TPoint b, int &) { Add(dcLine, state).Points = {a, b}; }

void TRecordingDevice::Polyline(const TDrawState &state, std::span<const TPoint> points, int &) {
  Add(dcPolyline, state).Points.assign(points.begin(), points.end());
}

void TRecordingDevice::Polygon(const TDrawState &state, std::span<const TPoint> points) {
  Add(dcPolygon, state).Points.assign(points.begin(), points.end());
}

void TRecordingDevice::Rectangle(const TDrawState &state, const TRect &box) { Add(dcRectangle, state).Box = box; }

void TRecordingDevice::FillRect(const TDrawState &state, const TRect &rect) { Add(dcFillRect, state).Box = rect; }

void TRecordingDevice::Ellipse(const TDrawState &state, const TRect &box) { Add(dcEllipse, state).Box = box; }

void TRecordingDevice::Arc(const TDrawState &state, const TRect &box, TPoint start, TPoint end) {
  TRecordedCall &call = Add(dcArc, state);
  call.Box = box;
  call.Points = {start, end};
}

void TRecordingDevice::SetPixel(const TDrawState &state, TPoint p, TColor color) {
  TRecordedCall &call = Add(dcSetPixel, state);
  call.Points = {p};
  call.Color = color;
}

TColor TRecordingDevice::GetPixel(const TDrawState &, TPoint) const { return -1; }

void TRecordingDevice::DrawImage(const TDrawState &state, const TRect &dest, const TRasterSurface &image) {
  TRecordedCall &call = Add(dcDrawImage, state);
  call.Box = dest;
  call.ImageWidth = image.Width;
  call.ImageHeight = image.Height;
}

void TRecordingDevice::TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) {
  TRecordedCall &call = Add(dcTextOut, state);
  call.Points = {at};
  call.Text = text;
  call.Font = font;
}

} // namespace Platform
