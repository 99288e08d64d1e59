#pragma once

// A sunken strip along the bottom of the demo's form with one line of text, left-aligned.

#include <platform/controls/CustomPanel.h>
#include <string>

namespace Demo {

class TStatusLine : public Platform::TCustomPanel {
public:
  explicit TStatusLine(Platform::TComponent *owner);

  const std::string &Text() const { return FText; }
  // Repaints at the host's next paint when the text changed.
  void SetText(const std::string &text);

  void Paint() override;

private:
  std::string FText;
};

} // namespace Demo
