#include <wgraph/Wgraph.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <platform/rtl/Rtl.h>
#include <platform/win32/GdiObjects.h>

namespace Wgraph {

using namespace Platform;

namespace {

// Steps at or below this draw no ticks; the tick loops also allow the end to be passed by it.
constexpr double StepTolerance = 0.00001;
constexpr double XZeroLabelTolerance = 1e-5;
constexpr double YZeroLabelTolerance = 0.0001;
constexpr int TickLength = 6;
constexpr int XHalfTickLength = 4;
constexpr int YHalfTickLength = 3;
constexpr int LabelGap = 2;
constexpr int TitleGap = 3;
constexpr int XLabelPrecision = 3;
constexpr int YLabelPrecision = 7;
// More ticks than this cannot be told apart on any device (the pixel range is 65535 wide), and a
// step that small against the axis would keep the loops running for very long.
constexpr int MaxTicks = 10000;

// Calls draw(v) for v = first, first + step, ... (accumulated) while v has not passed the end.
// Only a positive step that gives a drawable number of ticks draws any: a negative step would
// never reach the end and a tiny one would take too long, so they draw none, like a step within
// the tolerance. The count cap also ends the loop when the step is lost in v's rounding.
template <class TDraw> void ForEachTick(double first, double origin, double end, double step, TDraw draw) {
  if (!(step > StepTolerance) || (end + StepTolerance - origin) / step > MaxTicks)
    return;
  double v = first;
  for (int i = 0; i <= MaxTicks && v <= end + StepTolerance; ++i, v = v + step)
    draw(v);
}

// v moved by `by` pixels, held at the ends of the int range: offsets and positions near them
// must not wrap to the far side of the device.
int Shifted(int v, std::int64_t by) { return static_cast<int>(std::clamp<std::int64_t>(v + by, INT_MIN, INT_MAX)); }

TPoint AxisPoint(const TAxis &axis, double x, double y) {
  TPoint p;
  WorldToPC(x, y, p.X, p.Y);
  return {Shifted(p.X, axis.OffsetX), Shifted(p.Y, axis.OffsetY)};
}

void SetTickPen(TCanvas *canvas, const TAxis &axis) {
  canvas->Pen().SetColor(axis.TickColor);
  canvas->Pen().SetWidth(axis.TickWidth);
}

void SetAxisPen(TCanvas *canvas, const TAxis &axis) {
  canvas->Pen().SetColor(axis.AxisColor);
  canvas->Pen().SetWidth(axis.AxisWidth);
}

void SetLabelFont(TCanvas *canvas, const TAxis &axis) {
  TFont &font = canvas->Font();
  font.SetSize(axis.FontSize);
  font.SetName(axis.FontName);
  font.SetStyle(axis.FontStyle);
  font.SetColor(axis.FontColor);
}

void LineBetween(TCanvas *canvas, TPoint from, TPoint to) {
  canvas->MoveTo(from.X, from.Y);
  canvas->LineTo(to.X, to.Y);
}

} // namespace

void DrawXAxis(TCanvas *canvas, const TAxis &axis) {
  canvas->Brush().SetStyle(bsClear);
  ForEachTick(axis.XOrigin, axis.XOrigin, axis.XEnd, axis.Step, [&](double v) {
    SetTickPen(canvas, axis);
    const TPoint p = AxisPoint(axis, v, axis.YOrigin);
    canvas->MoveTo(p.X, p.Y);
    if (v > axis.XOrigin)
      canvas->LineTo(p.X, Shifted(p.Y, -TickLength));
    if (axis.ShowLabels) {
      const std::string text = FloatToStrF(v, ffFixed, XLabelPrecision, axis.Decimals);
      // Measured in the font the canvas has now, so the first label is centred by the old font.
      const int w = canvas->TextWidth(text);
      SetLabelFont(canvas, axis);
      if (std::abs(v) > XZeroLabelTolerance)
        canvas->TextOut(Shifted(p.X, -(w / 2)), Shifted(p.Y, LabelGap), text);
    }
    if (axis.ShowGrid && v > axis.XOrigin) {
      SetTickPen(canvas, axis);
      LineBetween(canvas, AxisPoint(axis, v, axis.YOrigin), AxisPoint(axis, v, axis.YEnd));
      SetAxisPen(canvas, axis);
    }
  });
  if (axis.MinorTicks) {
    SetTickPen(canvas, axis);
    ForEachTick(axis.XOrigin + axis.Step / 2, axis.XOrigin, axis.XEnd, axis.Step, [&](double v) {
      const TPoint p = AxisPoint(axis, v, axis.YOrigin);
      LineBetween(canvas, p, {p.X, Shifted(p.Y, -XHalfTickLength)});
    });
  }
  const TPoint origin = AxisPoint(axis, axis.XOrigin, axis.YOrigin);
  canvas->MoveTo(origin.X, origin.Y);
  SetAxisPen(canvas, axis);
  const TPoint end = AxisPoint(axis, axis.XEnd, axis.YOrigin);
  canvas->LineTo(end.X, end.Y);
  if (!axis.Title.empty()) {
    canvas->Font().SetSize(axis.TitleSize);
    canvas->Font().SetStyle({fsBold});
    const int w = canvas->TextWidth(axis.Title), h = canvas->TextHeight(axis.Title);
    const TPoint p = AxisPoint(axis, (axis.XOrigin + axis.XEnd) / 2, axis.YOrigin);
    canvas->TextOut(Shifted(p.X, -(w / 2)), Shifted(p.Y, std::int64_t{h} + TitleGap), axis.Title);
  }
}

namespace {

// The title written upwards beside the Y axis, through a rotated copy of the canvas's font.
void DrawYTitle(TCanvas *canvas, const TAxis &axis) {
  canvas->Font().SetName("arial");
  canvas->Font().SetSize(axis.TitleSize);
  canvas->Font().SetStyle({fsBold});
  LOGFONTA logFont;
  GetObjectA(canvas->Font().Handle(), sizeof(logFont), &logFont);
  logFont.lfEscapement = 900; // a quarter turn counter-clockwise
  logFont.lfOutPrecision = 7; // outline fonts only: they rotate
  const HFONT rotated = CreateFontIndirectA(&logFont);
  const int w = canvas->TextWidth(axis.Title);
  const TPoint p = AxisPoint(axis, axis.XOrigin, (axis.YOrigin + axis.YEnd) / 2);
  const HGDIOBJ previous = SelectObject(canvas->Handle(), rotated);
  canvas->TextOut(p.X, Shifted(p.Y, w / 2), axis.Title);
  SelectObject(canvas->Handle(), previous);
  DeleteObject(rotated);
}

} // namespace

void DrawYAxis(TCanvas *canvas, const TAxis &axis) {
  canvas->Brush().SetStyle(bsClear);
  ForEachTick(axis.YOrigin, axis.YOrigin, axis.YEnd, axis.Step, [&](double v) {
    SetTickPen(canvas, axis);
    const TPoint p = AxisPoint(axis, axis.XOrigin, v);
    canvas->MoveTo(p.X, p.Y);
    if (v > axis.YOrigin)
      canvas->LineTo(Shifted(p.X, TickLength), p.Y);
    if (axis.ShowLabels) {
      const std::string text = FloatToStrF(v, ffFixed, YLabelPrecision, axis.Decimals);
      const int w = canvas->TextWidth(text), h = canvas->TextHeight(text);
      SetLabelFont(canvas, axis);
      if (std::abs(v) > YZeroLabelTolerance)
        canvas->TextOut(Shifted(p.X, -std::int64_t{w} - LabelGap), Shifted(p.Y, -(h / 2)), text);
    }
    if (axis.ShowGrid && v > axis.YOrigin) {
      SetTickPen(canvas, axis);
      LineBetween(canvas, AxisPoint(axis, axis.XOrigin, v), AxisPoint(axis, axis.XEnd, v));
      SetAxisPen(canvas, axis);
    }
  });
  if (axis.MinorTicks) {
    SetTickPen(canvas, axis);
    ForEachTick(axis.YOrigin + axis.Step / 2, axis.YOrigin, axis.YEnd, axis.Step, [&](double v) {
      const TPoint p = AxisPoint(axis, axis.XOrigin, v);
      LineBetween(canvas, p, {Shifted(p.X, YHalfTickLength), p.Y});
    });
  }
  SetAxisPen(canvas, axis);
  LineBetween(canvas, AxisPoint(axis, axis.XOrigin, axis.YOrigin), AxisPoint(axis, axis.XOrigin, axis.YEnd));
  if (!axis.Title.empty())
    DrawYTitle(canvas, axis);
}

} // namespace Wgraph
