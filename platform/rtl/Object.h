#pragma once

#include <platform/rtl/Export.h>

namespace Platform {

// The root of the component classes: what an event's Sender points at. A dynamic class test
// is dynamic_cast on a TObject pointer.
class VELGRAPH_API TObject {
public:
  virtual ~TObject() = default;

protected:
  TObject() = default;
  TObject(const TObject &) = default;
  TObject &operator=(const TObject &) = default;
};

} // namespace Platform
