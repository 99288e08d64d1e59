#pragma once

#include <functional>
#include <map>
#include <optional>
#include <platform/controls/Component.h>
#include <platform/controls/ControlTypes.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Export.h>
#include <string>
#include <string_view>
#include <typeinfo>
#include <variant>
#include <vector>

namespace Platform {

// A class or page registered in a way the palette cannot hold, or a form file that cannot be read.
class VELGRAPH_API EDesignError : public Exception {
public:
  using Exception::Exception;
};

// A handler the application offers for events named in form files; std::monostate stands for a
// handler that does nothing, of whatever kind the event takes (a designer binds those).
using TEventHandler = std::variant<std::monostate, TNotifyEvent, TMouseEvent, TMouseMoveEvent>;
// The application's handlers by method name (names compare exactly).
using TEventHandlers = std::map<std::string, TEventHandler, std::less<>>;

// One published property: its value travels as text. A property with no stream default is
// always stored. An event has Bind instead of Set: its text is the name of a method that the
// reader looks up among the application's handlers, and Get gives "" while nothing is bound.
struct VELGRAPH_API TPublishedPropertyInfo {
  std::string Name;
  std::function<std::string(const TComponent &)> Get;
  std::function<void(TComponent &, const std::string &)> Set;
  std::optional<std::string> Default;
  std::function<void(TComponent &, const std::string &method, const TEventHandler &)> Bind = {};
};

// What the designer knows of a component class: how to make one with an owner, and its
// published properties in their stream order.
struct VELGRAPH_API TComponentClass {
  std::string Name;
  std::function<TComponent *(TComponent *owner)> Create;
  std::vector<TPublishedPropertyInfo> Properties;
  // The exact type Create makes, by which a writer recognises the class of a component.
  const std::type_info *Type = nullptr;

  const TPublishedPropertyInfo *FindProperty(std::string_view name) const;
};

struct VELGRAPH_API TPalettePage {
  std::string Name;
  std::vector<std::string> ClassNames;
};

// The classes the designer can create, by name, and the palette pages that show them.
// Class names compare case-insensitively, as identifiers do.
class VELGRAPH_API TComponentRegistry {
public:
  // The process-wide registry.
  static TComponentRegistry &Instance();
  // A registry holding the platform's own form (unlisted) and panel (on "Standard").
  TComponentRegistry();

  // Adds the classes to the page, making the page when it is new; a page registered again gets
  // the new classes after its earlier ones. Raises EDesignError, registering none of them,
  // when a class name is empty, lacks a factory or is already registered (on any page).
  void RegisterComponents(const std::string &page, std::vector<TComponentClass> classes);
  // Adds a class the designer can read and write but that the palette does not show.
  void RegisterClass(TComponentClass componentClass);
  // Takes a class and its palette entry out again (a package being unloaded); unknown names
  // are ignored. A page left empty disappears.
  void UnregisterClass(std::string_view name);

  const TComponentClass *FindClass(std::string_view name) const;
  // Every registered class's name, on a palette page or not, in the order of registration.
  std::vector<std::string> ClassNames() const;
  // The class registered for the component's exact type, or null.
  const TComponentClass *ClassOf(const TComponent &component) const;
  const std::vector<TPalettePage> &Pages() const { return FPages; }

private:
  void CheckNew(const std::vector<TComponentClass> &classes) const;

  std::vector<TComponentClass> FClasses;
  std::vector<TPalettePage> FPages;
};

// The form and panel of the platform, registered with the designer.
VELGRAPH_API TComponentClass FormClass();
VELGRAPH_API TComponentClass PanelClass();

} // namespace Platform
