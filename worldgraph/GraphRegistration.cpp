#include <worldgraph/GraphRegistration.h>

#include <array>
#include <platform/designer/PropertyText.h>
#include <worldgraph/VelGraph.h>

namespace Velgraph {

using Platform::TComponentClass;
using Platform::TPublishedPropertyInfo;
using G = TVelWorldGraph;

namespace {

constexpr std::array<const char *, 2> XIncreaseNames{"LeftToRight", "RightToLeft"};
constexpr std::array<const char *, 2> YIncreaseNames{"BottomToTop", "TopToBottom"};
constexpr std::array<const char *, 3> LengthUnitsNames{"luActualInches", "luActualMM", "luCustom"};
constexpr std::array<const char *, 3> HRulerPositionNames{"hrpTop", "hrpBottom", "hrpHidden"};
constexpr std::array<const char *, 3> VRulerPositionNames{"vrpLeft", "vrpRight", "vrpHidden"};

template <class E, std::size_t N>
TPublishedPropertyInfo Enum(const char *name, const std::array<const char *, N> &names, E (G::*get)() const,
                            void (G::*set)(E)) {
  return Platform::EnumProperty<G>(
      name, names, [get](const G &g) { return static_cast<int>((g.*get)()); },
      [set](G &g, int v) { (g.*set)(static_cast<E>(v)); }, std::nullopt);
}

TPublishedPropertyInfo Integer(const char *name, int (G::*get)() const, void (G::*set)(int)) {
  return Platform::IntegerProperty<G>(
      name, [get](const G &g) { return (g.*get)(); }, [set](G &g, int v) { (g.*set)(v); }, std::nullopt);
}

TPublishedPropertyInfo Double(const char *name, double (G::*get)() const, void (G::*set)(double)) {
  return Platform::DoubleProperty<G>(
      name, [get](const G &g) { return (g.*get)(); }, [set](G &g, double v) { (g.*set)(v); }, std::nullopt);
}

TPublishedPropertyInfo Boolean(const char *name, bool (G::*get)() const, void (G::*set)(bool)) {
  return Platform::BooleanProperty<G>(
      name, [get](const G &g) { return (g.*get)(); }, [set](G &g, bool v) { (g.*set)(v); }, std::nullopt);
}

constexpr std::array<const char *, 6> AlignNames{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};

void AddFont(std::vector<TPublishedPropertyInfo> &properties, const char *name,
             const Platform::TFont &(G::*get)() const, void (G::*set)(const Platform::TFont &)) {
  Platform::AddFontProperties<G>(
      properties, name, [get](const G &g) -> const Platform::TFont & { return (g.*get)(); },
      [set](G &g, const Platform::TFont &f) { (g.*set)(f); }, nullptr);
}

// The properties a form file carries, in the graph's published order; the sizes left for the
// drawing are read back from the layout, not stored.
std::vector<TPublishedPropertyInfo> StreamedProperties() {
  std::vector<TPublishedPropertyInfo> properties{
      Enum<Platform::TAlign>("Align", AlignNames, &G::Align, &G::SetAlign),
      Integer("Color", &G::Color, &G::SetColor),
      Integer("Height", &G::Height, &G::SetHeight),
      Integer("Width", &G::Width, &G::SetWidth),
      Integer("Top", &G::Top, &G::SetTop),
      Integer("Left", &G::Left, &G::SetLeft),
      Boolean("Visible", &G::Visible, &G::SetVisible),
      Double("XMin", &G::XMin, &G::SetXMin),
      Double("XMax", &G::XMax, &G::SetXMax),
      Double("YMin", &G::YMin, &G::SetYMin),
      Double("YMax", &G::YMax, &G::SetYMax),
      Boolean("Proportional", &G::Proportional, &G::SetProportional),
      Enum("XIncrease", XIncreaseNames, &G::XIncrease, &G::SetXIncrease),
      Enum("YIncrease", YIncreaseNames, &G::YIncrease, &G::SetYIncrease),
      Enum("LengthUnits", LengthUnitsNames, &G::LengthUnits, &G::SetLengthUnits),
      Enum("HRulerPosition", HRulerPositionNames, &G::HRulerPosition, &G::SetHRulerPosition),
      Enum("VRulerPosition", VRulerPositionNames, &G::VRulerPosition, &G::SetVRulerPosition),
      Integer("HRulerDecimals", &G::HRulerDecimals, &G::SetHRulerDecimals),
      Integer("VRulerDecimals", &G::VRulerDecimals, &G::SetVRulerDecimals),
      Integer("BackgroundColor", &G::BackgroundColor, &G::SetBackgroundColor),
  };
  AddFont(properties, "HRulerFont", &G::HRulerFont, &G::SetHRulerFont);
  AddFont(properties, "VRulerFont", &G::VRulerFont, &G::SetVRulerFont);
  properties.push_back(Boolean("DetailedPosition", &G::DetailedPosition, &G::SetDetailedPosition));
  properties.push_back(Integer("Version", &G::Version, &G::SetVersion));
  properties.push_back(Boolean("InteractiveApplication", &G::InteractiveApplication, &G::SetInteractiveApplication));
  AddFont(properties, "Font", &G::Font, &G::SetFont);
  properties.push_back(Platform::EventProperty<G>("OnClick", &G::OnClick));
  properties.push_back(Platform::EventProperty<G>("OnDblClick", &G::OnDblClick));
  properties.push_back(Platform::EventProperty<G>("OnMouseDown", &G::OnMouseDown));
  properties.push_back(Platform::EventProperty<G>("OnMouseUp", &G::OnMouseUp));
  properties.push_back(Platform::EventProperty<G>("OnMouseMove", &G::OnMouseMove));
  properties.push_back(Platform::EventProperty<G>("OnPaint", &G::OnPaint));
  properties.push_back(Platform::EventProperty<G>("OnMouseEnter", &G::OnMouseEnter));
  properties.push_back(Platform::EventProperty<G>("OnMouseLeave", &G::OnMouseLeave));
  return properties;
}

} // namespace

TComponentClass WorldGraphClass() {
  TComponentClass graph{"TVelWorldGraph",
                        [](Platform::TComponent *owner) -> Platform::TComponent * { return new G(owner); },
                        StreamedProperties(), &typeid(G)};
  // The stream defaults are the graph's own table's; a property it gives none is always stored.
  for (const TPublishedProperty &row : G::PublishedProperties())
    for (TPublishedPropertyInfo &property : graph.Properties)
      if (property.Name == row.Name && row.Default)
        property.Default = row.Default;
  return graph;
}

void RegisterWorldGraph(Platform::TComponentRegistry &registry) {
  registry.RegisterComponents("NordaGraph", {WorldGraphClass()});
}

} // namespace Velgraph
