#pragma once

#include <cstdint>
#include <platform/graphics/Color.h>
#include <platform/rtl/Export.h>

namespace Platform {

enum class TBrushStyle : std::uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};
using enum TBrushStyle;

class VELGRAPH_API TBrush {
public:
  TColor Color() const { return FColor; }
  // A colour is something to paint with: a clear brush becomes solid.
  void SetColor(TColor value) {
    FColor = value;
    if (FStyle == bsClear)
      FStyle = bsSolid;
  }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle value) { FStyle = value; }
  void Assign(const TBrush &source) { *this = source; }

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

} // namespace Platform
