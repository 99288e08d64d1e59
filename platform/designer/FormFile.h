#pragma once

#include <platform/controls/Component.h>
#include <platform/designer/ComponentRegistry.h>
#include <platform/rtl/Export.h>
#include <string>
#include <string_view>

namespace Platform {

// Form files: nested `object Name: TClass ... end` blocks with `Property = value` lines, one
// block per component of a registered class (owned components of other classes are the
// component's own business and are not written). A property equal to its stream default is
// left out, and so is an event no form file bound. Reading binds each event named in the file to
// the application's handler of that name.
class VELGRAPH_API TFormFile {
public:
  explicit TFormFile(const TComponentRegistry &registry = TComponentRegistry::Instance(),
                     const TEventHandlers &handlers = NoHandlers())
      : FRegistry(registry), FHandlers(handlers) {}
  explicit TFormFile(const TEventHandlers &handlers) : TFormFile(TComponentRegistry::Instance(), handlers) {}

  // Binds events whose handler the application lacks to handlers that do nothing, keeping their
  // names, instead of refusing the file: a designer shows forms whose code lives elsewhere.
  void SetPlaceholderHandlers(bool value) { FPlaceholderHandlers = value; }

  // Raises EDesignError when the root's class is not registered.
  std::string Write(const TComponent &root) const;
  // Writes through a temporary file renamed over the target when complete.
  void Save(const TComponent &root, const std::string &fileName) const;

  // Builds the whole tree, each property set through its setter, and only then hands the root to
  // owner (which may be null: the caller then owns it). Raises EDesignError naming the line of an
  // unknown class or property, a malformed value, a handler not among the application's (or of
  // the wrong kind for its event) or a missing end; nothing is left behind.
  TComponent *Read(std::string_view text, TComponent *owner) const;
  // Raises EDesignError when the file cannot be read or is larger than any form.
  TComponent *Load(const std::string &fileName, TComponent *owner) const;

private:
  static const TEventHandlers &NoHandlers();

  const TComponentRegistry &FRegistry;
  const TEventHandlers &FHandlers;
  bool FPlaceholderHandlers = false;
};

} // namespace Platform
