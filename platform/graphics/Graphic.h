#pragma once

#include <platform/graphics/Types.h>
#include <platform/rtl/Export.h>

namespace Platform {

class TCanvas;

// The common base of bitmaps, metafiles and JPEG images.
class VELGRAPH_API TGraphic {
public:
  virtual ~TGraphic() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int value) = 0;
  virtual void SetHeight(int value) = 0;
  virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }

protected:
  friend class TCanvas;
  // Paints the picture scaled into rect (ordered, not empty) on the canvas.
  virtual void Draw(TCanvas &canvas, const TRect &rect) const = 0;
};

} // namespace Platform
