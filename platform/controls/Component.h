#pragma once

#include <cstdint>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Export.h>
#include <platform/rtl/Object.h>
#include <platform/rtl/Set.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Platform {

enum class TComponentStateFlag : std::uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning };
using enum TComponentStateFlag;
using TComponentState = TSet<TComponentStateFlag>;

// A bad component name or index.
class VELGRAPH_API EComponentError : public Exception {
public:
  using Exception::Exception;
};

// The base of everything placed on a form.
//
// Ownership works as in the class library, with raw pointers: a component made with
// `new TThing(owner)` joins owner's list and the owner deletes it when the owner itself is
// destroyed. Components therefore live on the heap whenever they have an owner. Deleting a
// component earlier is allowed at any time: its destructor takes it out of the owner's list
// first, so a class that deletes its children itself frees nothing twice. A component with no
// owner belongs to whoever made it.
class VELGRAPH_API TComponent : public TObject {
public:
  explicit TComponent(TComponent *owner);
  ~TComponent() override;
  TComponent(const TComponent &) = delete;
  TComponent &operator=(const TComponent &) = delete;

  TComponent *Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // The owned component at index (creation order); raises EComponentError out of range.
  TComponent *Components(int index) const;
  // Moves a component into or out of this one's list (it leaves its previous owner first).
  void InsertComponent(TComponent *component);
  void RemoveComponent(TComponent *component);
  // The owned component of that name (case-insensitive), or null.
  TComponent *FindComponent(std::string_view name) const;

  const std::string &Name() const { return FName; }
  // Raises EComponentError unless the name is empty or an identifier that no other component
  // of the same owner carries (names compare case-insensitively, as identifiers do).
  void SetName(const std::string &value);

  TComponentState ComponentState() const { return FComponentState; }
  // Includes or excludes csDesigning: the form designer hosts this component. With
  // setChildren the owned components follow, all the way down.
  void SetDesigning(bool value, bool setChildren = true);
  // Includes csLoading while a form file is read; ending it calls Loaded.
  void SetLoading(bool value);

  // The name of the method a form file bound to an event of this component ("" when none), kept
  // so that saving the form names it again. An empty method name forgets the event's.
  std::string HandlerName(std::string_view event) const;
  void SetHandlerName(std::string_view event, const std::string &method);

protected:
  // Called when reading the component from a form file is complete.
  virtual void Loaded() {}
  // Includes csDestroying in this component and the ones it owns. Each level of destructor of
  // the library calls it first; a derived class may call it at the start of its own.
  void Destroying();
  // Deletes the owned components, last created first. Chains of any depth are freed without
  // deep recursion: past a few dozen nested levels the owned components are freed by the
  // outermost call on this thread instead, each detached from its freed owner.
  void DestroyComponents();

private:
  void DeleteOwned();
  void HandOver();
  static void FreeHolders(std::vector<TComponent *> &holders);

  TComponent *FOwner = nullptr;
  std::vector<TComponent *> FComponents;
  std::string FName;
  TComponentState FComponentState;
  std::vector<std::pair<std::string, std::string>> FHandlerNames;
};

} // namespace Platform
