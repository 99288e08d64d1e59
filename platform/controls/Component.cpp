#include <platform/controls/Component.h>

#include <algorithm>
#include <cctype>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

bool IsValidIdent(const std::string &s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0])))
    return false;
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

} // namespace

TComponent::TComponent(TComponent *owner) {
  if (owner)
    owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  DestroyComponents();
  if (FOwner)
    FOwner->RemoveComponent(this);
}

TComponent *TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EComponentError("Component index out of bounds (" + IntToStr(index) + ")");
  return FComponents[static_cast<std::size_t>(index)];
}

void TComponent::InsertComponent(TComponent *component) {
  if (!component || component->FOwner == this)
    return;
  for (const TComponent *c = this; c; c = c->FOwner)
    if (c == component)
      throw EComponentError("A component cannot own itself");
  if (!component->FName.empty() && FindComponent(component->FName))
    throw EComponentError("A component named " + component->FName + " already exists");
  if (component->FOwner)
    component->FOwner->RemoveComponent(component);
  FComponents.push_back(component);
  component->FOwner = this;
}

void TComponent::RemoveComponent(TComponent *component) {
  if (!component || component->FOwner != this)
    return;
  FComponents.erase(std::find(FComponents.begin(), FComponents.end(), component));
  component->FOwner = nullptr;
}

TComponent *TComponent::FindComponent(std::string_view name) const {
  if (name.empty())
    return nullptr;
  for (TComponent *c : FComponents)
    if (SameText(c->FName, name))
      return c;
  return nullptr;
}

void TComponent::SetName(const std::string &value) {
  if (value == FName)
    return;
  if (!value.empty() && !IsValidIdent(value))
    throw EComponentError("'" + value + "' is not a valid component name");
  if (FOwner && !value.empty()) {
    const TComponent *other = FOwner->FindComponent(value);
    if (other && other != this)
      throw EComponentError("A component named " + value + " already exists");
  }
  FName = value;
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  FComponentState.Set(csDesigning, value);
  if (setChildren)
    for (TComponent *c : FComponents)
      c->SetDesigning(value, true);
}

void TComponent::SetLoading(bool value) {
  const bool wasLoading = FComponentState.Contains(csLoading);
  FComponentState.Set(csLoading, value);
  if (wasLoading && !value)
    Loaded();
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying))
    return;
  FComponentState.Include(csDestroying);
  for (TComponent *c : FComponents)
    c->Destroying();
}

void TComponent::DestroyComponents() {
  // Each deletion takes the component out of the list, and a destructor may delete siblings
  // too, so the list is read afresh every time.
  while (!FComponents.empty()) {
    TComponent *last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

} // namespace Platform
