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

// A thread's teardown: how deep the running DestroyComponents calls are nested, and the holders
// of components handed over by calls nested too deep, which the outermost call frees.
struct TTeardown {
  int Depth = 0;
  std::vector<TComponent *> *Holders = nullptr;
};
thread_local TTeardown Teardown;

// Deeper owner chains are freed by a loop instead of by nested destructors, so that no chain
// length can exhaust the stack.
constexpr int MaxTeardownDepth = 32;

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
  // Only a component that owns others can be an owner of this one; a new one owns nothing, so
  // building a chain does not walk it.
  if (component == this)
    throw EComponentError("A component cannot own itself");
  if (!component->FComponents.empty())
    for (const TComponent *c = FOwner; c; c = c->FOwner)
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

std::string TComponent::HandlerName(std::string_view event) const {
  for (const auto &[name, method] : FHandlerNames)
    if (name == event)
      return method;
  return {};
}

void TComponent::SetHandlerName(std::string_view event, const std::string &method) {
  std::erase_if(FHandlerNames, [event](const auto &entry) { return entry.first == event; });
  if (!method.empty())
    FHandlerNames.emplace_back(std::string(event), method);
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
  // A walk with its own stack: what is marked already was reached before, so each component is
  // visited once however deep the tree.
  FComponentState.Include(csDestroying);
  std::vector<TComponent *> pending(FComponents.begin(), FComponents.end());
  while (!pending.empty()) {
    TComponent *c = pending.back();
    pending.pop_back();
    if (c->FComponentState.Contains(csDestroying))
      continue;
    c->FComponentState.Include(csDestroying);
    pending.insert(pending.end(), c->FComponents.begin(), c->FComponents.end());
  }
}

void TComponent::DestroyComponents() {
  if (FComponents.empty())
    return;
  if (Teardown.Depth >= MaxTeardownDepth) {
    HandOver();
    return;
  }
  std::vector<TComponent *> holders;
  const bool outermost = Teardown.Depth == 0;
  if (outermost)
    Teardown.Holders = &holders;
  ++Teardown.Depth;
  DeleteOwned();
  if (outermost)
    FreeHolders(holders);
  --Teardown.Depth;
  if (outermost)
    Teardown.Holders = nullptr;
}

void TComponent::DeleteOwned() {
  // Each deletion takes the component out of the list, and a destructor may delete siblings
  // too, so the list is read afresh every time.
  while (!FComponents.empty()) {
    TComponent *last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

void TComponent::HandOver() {
  // The owned components move, in order, to a holder that owns them until the outermost
  // teardown frees them; a destructor deleting a sibling meanwhile still leaves a valid list.
  auto *holder = new TComponent(nullptr);
  holder->FComponentState.Include(csDestroying);
  holder->FComponents.swap(FComponents);
  for (TComponent *c : holder->FComponents)
    c->FOwner = holder;
  Teardown.Holders->push_back(holder);
}

void TComponent::FreeHolders(std::vector<TComponent *> &holders) {
  // Last handed over first: those are the deepest, so each subtree is finished before the
  // components handed over above it, as nested destructors would have done.
  while (!holders.empty()) {
    TComponent *holder = holders.back();
    if (holder->FComponents.empty()) {
      holders.pop_back();
      delete holder;
      continue;
    }
    TComponent *last = holder->FComponents.back();
    holder->FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

} // namespace Platform
