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
// left out.
class VELGRAPH_API TFormFile {
public:
  explicit TFormFile(const TComponentRegistry &registry = TComponentRegistry::Instance()) : FRegistry(registry) {}

  // Raises EDesignError when the root's class is not registered.
  std::string Write(const TComponent &root) const;
  // Writes through a temporary file renamed over the target when complete.
  void Save(const TComponent &root, const std::string &fileName) const;

  // Builds the whole tree, each property set through its setter, and only then hands the root to
  // owner (which may be null: the caller then owns it). Raises EDesignError naming the line of an
  // unknown class or property, a malformed value or a missing end; nothing is left behind.
  TComponent *Read(std::string_view text, TComponent *owner) const;
  // Raises EDesignError when the file cannot be read or is larger than any form.
  TComponent *Load(const std::string &fileName, TComponent *owner) const;

private:
  const TComponentRegistry &FRegistry;
};

} // namespace Platform
