#pragma once

#include <cstdint>
#include <rulers/RulerControl.h>

namespace Pbrulers {

enum class TVRDivisionPlacement : std::uint8_t { dpLeft, dpRight };
using enum TVRDivisionPlacement;

// The ruler strip along the left or right of the world graph's paint box: the vertical twin of
// TVelPBHRuler, holding and graduating the graph's vertical world range.
class TVelPBVRuler : public TRulerControl {
public:
  explicit TVelPBVRuler(Platform::TComponent *AOwner);

  double YMin() const { return FYMin; }
  void SetYMin(double value) { Assign(FYMin, value); }
  double YMax() const { return FYMax; }
  void SetYMax(double value) { Assign(FYMax, value); }
  // The major step in world units; 0 or less chooses it from the range.
  double YDiv() const { return FYDiv; }
  void SetYDiv(double value) { Assign(FYDiv, value); }
  bool BottomToTop() const { return FBottomToTop; }
  void SetBottomToTop(bool value) { Assign(FBottomToTop, value); }
  TVRDivisionPlacement DivisionPlacement() const { return FDivisionPlacement; }
  void SetDivisionPlacement(TVRDivisionPlacement value) { Assign(FDivisionPlacement, value); }

private:
  void RaiseEmptyRange() override;
  void PaintWorldTicks(const TPaintTarget &target) override;
  void PaintPhysicalTicks(const TPaintTarget &target) override;
  // How far above its tick a label's top stands: twice the font size of the screen picture
  // scaled by s.
  std::int64_t LabelRise(double s) const { return 2 * static_cast<std::int64_t>(Pixel(Font().Size() * s)); }

  double FYMin = 0;
  double FYMax = 0;
  bool FBottomToTop = true;
  double FYDiv = 0;
  TVRDivisionPlacement FDivisionPlacement = dpLeft;
};

} // namespace Pbrulers
