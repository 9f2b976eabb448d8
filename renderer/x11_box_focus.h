#pragma once

#include <string>
#include <thread>

namespace velmora {

// Gives the keyboard to the first new window with this title that shows on the X display while
// this object lives. A box shown over the full-screen window would otherwise leave the keyboard
// with the window beneath it (without a window manager nobody moves the focus), and with the
// pointer hidden by the saver nobody could answer it.
class KeyboardToNewWindow {
  public:
    explicit KeyboardToNewWindow(std::string title);
    KeyboardToNewWindow(const KeyboardToNewWindow&) = delete;
    KeyboardToNewWindow& operator=(const KeyboardToNewWindow&) = delete;
    ~KeyboardToNewWindow();

  private:
    void Watch(const std::stop_token& stop) const;

    const std::string title_;
    std::jthread watcher_;
};

}  // namespace velmora
