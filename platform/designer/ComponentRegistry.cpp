#include <platform/designer/ComponentRegistry.h>

#include <algorithm>
#include <cctype>
#include <platform/controls/CustomPanel.h>
#include <platform/controls/Form.h>
#include <platform/designer/PropertyText.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

template <class T>
std::vector<TPublishedPropertyInfo> GeometryProperties(std::optional<int> left, std::optional<int> top) {
  return {
      IntegerProperty<T>(
          "Left", [](const T &c) { return c.Left(); }, [](T &c, int v) { c.SetLeft(v); }, left),
      IntegerProperty<T>(
          "Top", [](const T &c) { return c.Top(); }, [](T &c, int v) { c.SetTop(v); }, top),
      IntegerProperty<T>(
          "Width", [](const T &c) { return c.Width(); }, [](T &c, int v) { c.SetWidth(v); }, std::nullopt),
      IntegerProperty<T>(
          "Height", [](const T &c) { return c.Height(); }, [](T &c, int v) { c.SetHeight(v); }, std::nullopt),
  };
}

// The font at its defaults and the mouse events every control has.
template <class T> void AddFontAndEvents(std::vector<TPublishedPropertyInfo> &properties) {
  static const TFont defaultFont;
  AddFontProperties<T>(
      properties, "Font", [](const T &c) -> const TFont & { return c.Font(); },
      [](T &c, const TFont &f) { c.SetFont(f); }, &defaultFont);
  properties.push_back(EventProperty<T>("OnClick", &T::OnClick));
  properties.push_back(EventProperty<T>("OnDblClick", &T::OnDblClick));
  properties.push_back(EventProperty<T>("OnMouseDown", &T::OnMouseDown));
  properties.push_back(EventProperty<T>("OnMouseMove", &T::OnMouseMove));
  properties.push_back(EventProperty<T>("OnMouseUp", &T::OnMouseUp));
}

template <class T> void AddColourAndCaption(std::vector<TPublishedPropertyInfo> &properties) {
  properties.push_back(IntegerProperty<T>(
      "Color", [](const T &c) { return c.Color(); }, [](T &c, int v) { c.SetColor(v); }, clBtnFace));
  properties.push_back(StringProperty<T>(
      "Caption", [](const T &c) { return c.Caption(); }, [](T &c, const std::string &v) { c.SetCaption(v); },
      std::string()));
  properties.push_back(BooleanProperty<T>(
      "Visible", [](const T &c) { return c.Visible(); }, [](T &c, bool v) { c.SetVisible(v); }, true));
}

} // namespace

const TPublishedPropertyInfo *TComponentClass::FindProperty(std::string_view name) const {
  for (const TPublishedPropertyInfo &property : Properties)
    if (SameText(property.Name, name))
      return &property;
  return nullptr;
}

TComponentRegistry &TComponentRegistry::Instance() {
  static TComponentRegistry registry;
  return registry;
}

TComponentRegistry::TComponentRegistry() {
  RegisterClass(FormClass());
  RegisterComponents("Standard", {PanelClass()});
}

void TComponentRegistry::CheckNew(const std::vector<TComponentClass> &classes) const {
  for (std::size_t i = 0; i < classes.size(); ++i) {
    const TComponentClass &c = classes[i];
    if (c.Name.empty() || !c.Create || !c.Type)
      throw EDesignError("A component class needs a name and a way to create it");
    bool twice = FindClass(c.Name) != nullptr;
    for (std::size_t j = 0; j < i; ++j)
      twice = twice || SameText(classes[j].Name, c.Name);
    if (twice)
      throw EDesignError("A class named " + c.Name + " already exists");
  }
}

void TComponentRegistry::RegisterComponents(const std::string &page, std::vector<TComponentClass> classes) {
  if (page.empty())
    throw EDesignError("A palette page needs a name");
  CheckNew(classes);
  auto found =
      std::find_if(FPages.begin(), FPages.end(), [&](const TPalettePage &p) { return SameText(p.Name, page); });
  if (found == FPages.end())
    found = FPages.insert(FPages.end(), TPalettePage{page, {}});
  for (TComponentClass &c : classes) {
    found->ClassNames.push_back(c.Name);
    FClasses.push_back(std::move(c));
  }
}

void TComponentRegistry::RegisterClass(TComponentClass componentClass) {
  std::vector<TComponentClass> one;
  one.push_back(std::move(componentClass));
  CheckNew(one);
  FClasses.push_back(std::move(one.front()));
}

void TComponentRegistry::UnregisterClass(std::string_view name) {
  std::erase_if(FClasses, [&](const TComponentClass &c) { return SameText(c.Name, name); });
  for (TPalettePage &page : FPages)
    std::erase_if(page.ClassNames, [&](const std::string &n) { return SameText(n, name); });
  std::erase_if(FPages, [](const TPalettePage &p) { return p.ClassNames.empty(); });
}

const TComponentClass *TComponentRegistry::FindClass(std::string_view name) const {
  for (const TComponentClass &c : FClasses)
    if (SameText(c.Name, name))
      return &c;
  return nullptr;
}

std::vector<std::string> TComponentRegistry::ClassNames() const {
  std::vector<std::string> names;
  for (const TComponentClass &c : FClasses)
    names.push_back(c.Name);
  return names;
}

const TComponentClass *TComponentRegistry::ClassOf(const TComponent &component) const {
  for (const TComponentClass &c : FClasses)
    if (*c.Type == typeid(component))
      return &c;
  return nullptr;
}

TComponentClass FormClass() {
  TComponentClass form{"TForm", [](TComponent *owner) -> TComponent * { return new TForm(owner); },
                       GeometryProperties<TForm>(std::nullopt, std::nullopt), &typeid(TForm)};
  AddColourAndCaption<TForm>(form.Properties);
  AddFontAndEvents<TForm>(form.Properties);
  form.Properties.push_back(EventProperty<TForm>("OnPaint", &TForm::OnPaint));
  return form;
}

TComponentClass PanelClass() {
  TComponentClass panel{"TPanel",
                        [](TComponent *owner) -> TComponent * {
                          auto *created = new TCustomPanel(owner);
                          if (auto *parent = dynamic_cast<TWinControl *>(owner))
                            created->SetParent(parent);
                          return created;
                        },
                        GeometryProperties<TCustomPanel>(0, 0), &typeid(TCustomPanel)};
  AddColourAndCaption<TCustomPanel>(panel.Properties);
  AddFontAndEvents<TCustomPanel>(panel.Properties);
  return panel;
}

} // namespace Platform
