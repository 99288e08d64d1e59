#include <platform/graphics/recording/RecordingDevice.h>

#include <algorithm>
#include <platform/fonts/FontEngine.h>

namespace Platform {

namespace {

// The points as recorded; a replay hands them over as the canvas did.
std::span<const TPoint> PointsOf(const TRecordedCall &call) { return call.Points; }

// A view of a recorded image. The device only reads an image, so the view may point into a
// recording that is not to be changed.
TRasterSurface ImageOf(const TRecordedCall &call) {
  return {const_cast<std::uint32_t *>(call.ImagePixels.data()), call.ImageWidth, call.ImageHeight, call.ImageWidth};
}

} // namespace

// A call made by hand with too few points or image pixels for its kind is skipped, not read past.
bool TRecordingDevice::IsComplete(const TRecordedCall &call) {
  switch (call.Kind) {
  case dcLine:
  case dcArc: return call.Points.size() >= 2;
  case dcMoveTo:
  case dcPolygon:
  case dcSetPixel:
  case dcTextOut: return !call.Points.empty();
  case dcPolyline: return call.Points.size() >= 2;
  case dcDrawImage:
    return call.ImageWidth > 0 && call.ImageHeight > 0 &&
           call.ImagePixels.size() == static_cast<std::size_t>(call.ImageWidth) * call.ImageHeight;
  default: return true;
  }
}

namespace {

void ReplayCall(const TRecordedCall &call, TDevice &target) {
  if (!TRecordingDevice::IsComplete(call))
    return;
  int phase = call.DashPhase;
  switch (call.Kind) {
  case dcMoveTo: target.MoveTo(call.State, call.Points[0]); break;
  case dcLine: target.Line(call.State, call.Points[0], call.Points[1], phase); break;
  case dcPolyline: target.Polyline(call.State, PointsOf(call), phase); break;
  case dcPolygon: target.Polygon(call.State, PointsOf(call)); break;
  case dcRectangle: target.Rectangle(call.State, call.Box); break;
  case dcFillRect: target.FillRect(call.State, call.Box); break;
  case dcEllipse: target.Ellipse(call.State, call.Box); break;
  case dcArc: target.Arc(call.State, call.Box, call.Points[0], call.Points[1]); break;
  case dcSetPixel: target.SetPixel(call.State, call.Points[0], call.Color); break;
  case dcDrawImage: target.DrawImage(call.State, call.Box, ImageOf(call)); break;
  case dcTextOut: target.TextOut(call.State, call.Points[0], call.Text, call.Font); break;
  }
}

} // namespace

TRecordedCall &TRecordingDevice::Add(TDeviceCall kind, const TDrawState &state) {
  TRecordedCall &call = FCalls.emplace_back();
  call.Kind = kind;
  call.State = state;
  return call;
}

void TRecordingDevice::Replay(std::span<const TRecordedCall> calls, TDevice &target) {
  for (const TRecordedCall &call : calls)
    ReplayCall(call, target);
}

void TRecordingDevice::MoveTo(const TDrawState &state, TPoint p) { Add(dcMoveTo, state).Points = {p}; }

void TRecordingDevice::Line(const TDrawState &state, TPoint a, TPoint b, int &dashPhase) {
  TRecordedCall &call = Add(dcLine, state);
  call.Points = {a, b};
  call.DashPhase = dashPhase;
  dashPhase = DashPhaseAfter(dashPhase, a, b);
}

void TRecordingDevice::Polyline(const TDrawState &state, std::span<const TPoint> points, int &dashPhase) {
  TRecordedCall &call = Add(dcPolyline, state);
  call.Points.assign(points.begin(), points.end());
  call.DashPhase = dashPhase;
  for (std::size_t i = 1; i < points.size(); ++i)
    dashPhase = DashPhaseAfter(dashPhase, points[i - 1], points[i]);
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
  call.ImagePixels.reserve(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
  for (int y = 0; y < image.Height; ++y)
    call.ImagePixels.insert(call.ImagePixels.end(), image.Row(y), image.Row(y) + image.Width);
}

void TRecordingDevice::TextOut(const TDrawState &state, TPoint at, std::string_view text, const TFontSpec &font) {
  TRecordedCall &call = Add(dcTextOut, state);
  call.Points = {at};
  call.Text = text;
  call.Font = font;
}

TSize TRecordingDevice::TextExtent(const TFontSpec &font, std::string_view text) {
  return Fonts::TFontEngine::Instance().TextExtent(font, FPixelsPerInch, text);
}

TTextMetrics TRecordingDevice::TextMetrics(const TFontSpec &font) {
  const Fonts::TStrikeMetrics &m = Fonts::TFontEngine::Instance().Metrics(font, FPixelsPerInch);
  return {m.Ascent, m.Descent};
}

} // namespace Platform
