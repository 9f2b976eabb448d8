#pragma once

#include <string>
#include <vector>

#include "renderer/error_reporter.h"

namespace velmora::test {

// Keeps every message instead of showing it.
class RecordingReporter : public ErrorReporter {
  public:
    void ShowError(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;
};

}  // namespace velmora::test
