#pragma once

#include <string>

#include "renderer/error_reporter.h"

namespace velmora {

inline constexpr const char* kErrorBoxTitle = "Error";

// Shows each message in a box titled "Error" with one OK button, owned by the window that had
// the keyboard, and waits until the user closes it. The box takes the keyboard, so that Return
// or Escape answers it.
class SdlMessageBoxReporter : public ErrorReporter {
  public:
    void ShowError(const std::string& message) override;
};

}  // namespace velmora
