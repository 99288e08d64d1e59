#pragma once

#include <cstdint>
#include <rulers/RulerControl.h>

namespace Pbrulers {

enum class THRDivisionPlacement : std::uint8_t { dpTop, dpBottom };
using enum THRDivisionPlacement;

// The ruler strip along the top or bottom of the world graph's paint box. It holds the graph's
// horizontal world range and graduates it in world units, or shows a physical inch or
// millimetre scale of the output device (after which it reports the graduated length as its
// range). Only a world graph can own one.
class TVelPBHRuler : public TRulerControl {
public:
  explicit TVelPBHRuler(Platform::TComponent *AOwner);

  double XMin() const { return FXMin; }
  void SetXMin(double value) { Assign(FXMin, value); }
  double XMax() const { return FXMax; }
  void SetXMax(double value) { Assign(FXMax, value); }
  // The major step in world units; 0 or less chooses it from the range.
  double XDiv() const { return FXDiv; }
  void SetXDiv(double value) { Assign(FXDiv, value); }
  bool LeftToRight() const { return FLeftToRight; }
  void SetLefttoRight(bool value) { Assign(FLeftToRight, value); }
  THRDivisionPlacement DivisionPlacement() const { return FDivisionPlacement; }
  void SetDivisionPlacement(THRDivisionPlacement value) { Assign(FDivisionPlacement, value); }

private:
  void RaiseEmptyRange() override;
  void PaintWorldTicks(const TPaintTarget &target) override;
  void PaintPhysicalTicks(const TPaintTarget &target) override;
  // Writes a label at the tick the pen ends on, 3 screen pixels to its right, centred across the strip.
  void PaintLabel(double s, const std::string &text);

  bool FLeftToRight = true;
  double FXMin = 0;
  double FXMax = 0;
  double FXDiv = 0;
  THRDivisionPlacement FDivisionPlacement = dpTop;
};

} // namespace Pbrulers
