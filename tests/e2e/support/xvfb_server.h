#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace velmora::test {

// A private X server for one test: its own display number (chosen by Xvfb), no TCP, no reset
// when the last client leaves, killed by PID at the end.
class XvfbServer {
  public:
    // One screen, or as many as asked, each of that size (X screens of their own, as with one
    // X screen per monitor).
    explicit XvfbServer(int width = 1024, int height = 768, int screens = 1);
    const std::string& display() const noexcept { return display_; }
    // The environment changes that put a child on this display.
    EnvironmentChanges Environment() const;

  private:
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
};

}  // namespace velmora::test
