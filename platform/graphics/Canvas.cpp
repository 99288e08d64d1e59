#include <platform/graphics/Canvas.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <platform/win32/HandleTable.h>

namespace Platform {

namespace {

constexpr TRect Everything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

// Writes the pen position with one store. LineTo reads it whole, and a read spanning two narrower
// stores cannot be forwarded from the store buffer: it waits until every pending store, pixels of
// the previous line included, has reached the cache, which serialises short lines on a large
// surface.
void SetPenPosition(TPoint &position, int x, int y) {
  const auto packed = std::bit_cast<std::uint64_t>(TPoint{x, y});
  std::memcpy(static_cast<void *>(&position), &packed, sizeof packed);
}

int ClampToInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

constexpr int ScreenPixelsPerInch = 96;

bool SameFace(const TFontSpec &a, const TFont &b) {
  return a.Size == b.Size() && a.Style == b.Style() && a.Name == b.Name();
}

} // namespace

TCanvas::TCanvas(TDevice *device) : FDevice(device), FDeviceClip(Everything) {}

TCanvas::~TCanvas() {
  if (FHandle)
    HandleTable::FreeDC(FHandle);
}

TFont &TCanvas::Font() {
  FFont.SetPixelsPerInch(PixelsPerInch());
  return FFont;
}

int TCanvas::PixelsPerInch() const { return FDevice ? FDevice->PixelsPerInch() : ScreenPixelsPerInch; }

TRect TCanvas::DeviceBounds() const { return FDevice ? FDevice->Bounds() : TRect{}; }

TRect TCanvas::ClipRect() const {
  return {ClampToInt(std::int64_t{FDeviceClip.Left} - FOrigin.X), ClampToInt(std::int64_t{FDeviceClip.Top} - FOrigin.Y),
          ClampToInt(std::int64_t{FDeviceClip.Right} - FOrigin.X),
          ClampToInt(std::int64_t{FDeviceClip.Bottom} - FOrigin.Y)};
}

void TCanvas::MoveTo(int x, int y) {
  SetPenPosition(FPenPos, x, y);
  FDashPhase = 0;
  if (FDevice)
    FDevice->MoveTo(State(), {x, y});
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = FPenPos;
  SetPenPosition(FPenPos, x, y);
  if (FDevice && FPen.Style() != psClear)
    FDevice->Line(State(), from, FPenPos, FDashPhase);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty())
    return;
  FDashPhase = 0;
  FPenPos = points.back();
  if (FDevice && FPen.Style() != psClear && points.size() > 1)
    FDevice->Polyline(State(), points, FDashPhase);
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.empty() || !FDevice)
    return;
  if (FPen.Style() == psClear && FBrush.Style() == bsClear)
    return;
  FDevice->Polygon(State(), points);
}

void TCanvas::Polygon(const TPoint *points, int lastIndex) {
  if (points && lastIndex >= 0)
    Polygon(std::span<const TPoint>(points, static_cast<std::size_t>(lastIndex) + 1));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (!FDevice || (FPen.Style() == psClear && FBrush.Style() == bsClear))
    return;
  FDevice->Rectangle(State(), OrderedRect(x1, y1, x2, y2));
}

void TCanvas::FillRect(const TRect &rect) {
  if (FDevice && FBrush.Style() != bsClear && !rect.IsEmpty())
    FDevice->FillRect(State(), rect);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (!FDevice || (FPen.Style() == psClear && FBrush.Style() == bsClear))
    return;
  FDevice->Ellipse(State(), OrderedRect(x1, y1, x2, y2));
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  if (FDevice && FPen.Style() != psClear)
    FDevice->Arc(State(), OrderedRect(x1, y1, x2, y2), {x3, y3}, {x4, y4});
}

TColor TCanvas::Pixels(int x, int y) const { return FDevice ? FDevice->GetPixel(State(), {x, y}) : -1; }

void TCanvas::SetPixels(int x, int y, TColor color) {
  if (FDevice)
    FDevice->SetPixel(State(), {x, y}, color);
}

void TCanvas::DrawPixels(const TRect &rect, const TRasterSurface &pixels) {
  const TRect box = OrderedRect(rect.Left, rect.Top, rect.Right, rect.Bottom);
  if (FDevice && !pixels.IsEmpty() && pixels.Pixels && !box.IsEmpty())
    FDevice->DrawImage(State(), box, pixels);
}

void TCanvas::Draw(int x, int y, const TGraphic &graphic) {
  if (graphic.Empty())
    return;
  const std::int64_t right = std::int64_t{x} + graphic.Width(), bottom = std::int64_t{y} + graphic.Height();
  graphic.Draw(*this, {x, y, ClampToInt(right), ClampToInt(bottom)});
}

void TCanvas::StretchDraw(const TRect &rect, const TGraphic &graphic) {
  const TRect box = OrderedRect(rect.Left, rect.Top, rect.Right, rect.Bottom);
  if (!graphic.Empty() && !box.IsEmpty())
    graphic.Draw(*this, box);
}

HDC TCanvas::Handle() {
  if (!FHandle)
    FHandle = HandleTable::NewDC({this, nullptr, false});
  return FHandle;
}

void TCanvas::SetSelectedFont(const TFontSpec *font) {
  if (font) {
    FSelectedFont = *font;
    FSelectedOver = FFont.Description();
    return;
  }
  FSelectedFont.reset();
  HandleTable::SelectFont(FHandle, nullptr);
}

const TFontSpec &TCanvas::TextFont() {
  if (FSelectedFont && !SameFace(FSelectedOver, FFont))
    SetSelectedFont(nullptr);
  if (FSelectedFont) {
    FSelectedFont->Color = FFont.Color();
    return *FSelectedFont;
  }
  // Assigning into the kept record reuses its storage, so no label allocates.
  FTextFont.Name = FFont.Name();
  FTextFont.Size = FFont.Size();
  FTextFont.Style = FFont.Style();
  FTextFont.Color = FFont.Color();
  return FTextFont;
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  if (FDevice && !text.empty())
    FDevice->TextOut(State(), {x, y}, text, TextFont());
}

TSize TCanvas::TextExtent(std::string_view text) { return FDevice ? FDevice->TextExtent(TextFont(), text) : TSize{}; }

TTextMetrics TCanvas::TextMetrics() { return FDevice ? FDevice->TextMetrics(TextFont()) : TTextMetrics{}; }

} // namespace Platform
