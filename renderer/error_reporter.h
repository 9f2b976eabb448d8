#pragma once

#include <string>

namespace velmora {

// Where the bitmap loader tells the user why a picture cannot be used. The program shows a
// message box; tests record the text.
class ErrorReporter {
  public:
    virtual ~ErrorReporter() = default;
    virtual void ShowError(const std::string& message) = 0;
};

}  // namespace velmora
