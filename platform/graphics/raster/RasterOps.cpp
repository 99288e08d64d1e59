#include <platform/graphics/raster/RasterOps.h>
#include <platform/graphics/raster/RasterSpan.h>

#include <algorithm>
#include <array>

namespace Platform::Raster {

namespace {

constexpr std::uint32_t RgbMask = 0x00FFFFFF;

// The result of the mode for a destination of all zeros and of all ones, bit by bit.
constexpr std::uint32_t ModeResult(TPenMode mode, std::uint32_t d, std::uint32_t p) {
  switch (mode) {
  case pmBlack: return 0;
  case pmWhite: return ~0u;
  case pmNop: return d;
  case pmNot: return ~d;
  case pmCopy: return p;
  case pmNotCopy: return ~p;
  case pmMergePenNot: return p | ~d;
  case pmMaskPenNot: return p & ~d;
  case pmMergeNotPen: return ~p | d;
  case pmMaskNotPen: return ~p & d;
  case pmMerge: return p | d;
  case pmNotMerge: return ~(p | d);
  case pmMask: return p & d;
  case pmNotMask: return ~(p & d);
  case pmXor: return p ^ d;
  case pmNotXor: return ~(p ^ d);
  }
  return d;
}

// 8x8 hatch patterns, one byte per row, bit x set where the line is.
constexpr std::uint8_t HorizontalHatch[8] = {0, 0, 0, 0xFF, 0, 0, 0, 0};
constexpr std::uint8_t VerticalHatch[8] = {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08};
// Forward diagonal runs from the top left to the bottom right.
constexpr std::uint8_t FDiagonalHatch[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
constexpr std::uint8_t BDiagonalHatch[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
constexpr std::uint8_t CrossHatch[8] = {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08};
constexpr std::uint8_t DiagCrossHatch[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};

// Every mode is bitwise, so its result for a destination of all zeros (or all ones) is
// (p & Pen) ^ Constant with masks of all zeros or all ones, read once from ModeResult.
struct TModeMasks {
  std::uint32_t Pen0, Constant0, Pen1, Constant1;
};

constexpr auto ModeTable = [] {
  std::array<TModeMasks, 16> table{};
  for (int m = 0; m < 16; ++m) {
    const auto mode = static_cast<TPenMode>(m);
    table[m] = {ModeResult(mode, 0, ~0u) ^ ModeResult(mode, 0, 0), ModeResult(mode, 0, 0),
                ModeResult(mode, ~0u, ~0u) ^ ModeResult(mode, ~0u, 0), ModeResult(mode, ~0u, 0)};
  }
  return table;
}();

} // namespace

TRop MakeRop(TPenMode mode, std::uint32_t penPixel) {
  const TModeMasks &m = ModeTable[static_cast<std::size_t>(mode) & 15];
  const std::uint32_t f0 = (penPixel & m.Pen0) ^ m.Constant0, f1 = (penPixel & m.Pen1) ^ m.Constant1;
  return {(f0 ^ f1) & RgbMask, f0 & RgbMask};
}

const std::uint8_t *HatchPattern(TBrushStyle style) {
  switch (style) {
  case bsHorizontal: return HorizontalHatch;
  case bsVertical: return VerticalHatch;
  case bsFDiagonal: return FDiagonalHatch;
  case bsBDiagonal: return BDiagonalHatch;
  case bsCross: return CrossHatch;
  case bsDiagCross: return DiagCrossHatch;
  default: return nullptr;
  }
}

void FillSpan(const TRasterSurface &surface, int y, int x0, int x1, const TFill &fill) {
  PaintSpan(surface, y, x0, x1, fill);
}

TDashPattern DashPatternOf(TPenStyle style) {
  switch (style) {
  case psDash: return {{18, 6}, 2, 24};
  case psDot: return {{3, 3}, 2, 6};
  case psDashDot: return {{9, 6, 3, 6}, 4, 24};
  case psDashDotDot: return {{9, 3, 3, 3, 3, 3}, 6, 24};
  default: return {};
  }
}

} // namespace Platform::Raster
