#pragma once

#include <platform/controls/CustomControl.h>
#include <platform/rtl/Export.h>
#include <string>

namespace Platform {

// A bevelled panel. From the outside in: the outer bevel, a border of BorderWidth pixels in
// Color, the inner bevel, then the client filled with Color. Each bevel is BevelWidth pixels
// wide: bvRaised is light on the top and left edges and dark on the bottom and right ones,
// bvLowered the reverse, bvSpace a band of Color and bvNone nothing at all.
// The caption is written centred in the area inside the bevels, in the panel's font, over the
// panel's colour.
class VELGRAPH_API TCustomPanel : public TCustomControl {
public:
  explicit TCustomPanel(TComponent *owner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return FBevelWidth; }
  // At least 1, as the platform's bevel width type.
  void SetBevelWidth(int value);
  int BorderWidth() const { return FBorderWidth; }
  // At least 0.
  void SetBorderWidth(int value);
  const std::string &Caption() const { return FCaption; }
  void SetCaption(const std::string &value);

  // Fills the client with Color, draws the bevels and writes the caption; leaves the brush solid
  // in Color.
  void Paint() override;

private:
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  std::string FCaption;
};

} // namespace Platform
