#pragma once

#include <cstdint>
#include <platform/graphics/Color.h>
#include <platform/rtl/Export.h>

namespace Platform {

// The sixteen binary raster operations, in the order the class library declares them.
enum class TPenMode : std::uint8_t {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
using enum TPenMode;

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;

class VELGRAPH_API TPen {
public:
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode value) { FMode = value; }
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle value) { FStyle = value; }
  int Width() const { return FWidth; }
  // Width 0 is a valid cosmetic pen (drawn 1 pixel wide); negative widths are ignored.
  void SetWidth(int value) {
    if (value >= 0)
      FWidth = value;
  }
  void Assign(const TPen &source) { *this = source; }

private:
  TColor FColor = clBlack;
  TPenMode FMode = pmCopy;
  TPenStyle FStyle = psSolid;
  int FWidth = 1;
};

} // namespace Platform
