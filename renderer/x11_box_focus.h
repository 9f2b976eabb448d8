#pragma once

#include <sys/types.h>

#include <set>
#include <string>

namespace velmora {

// Gives the keyboard to the first new window with this title that shows on the X display while
// this object lives. A box shown over the full-screen window would otherwise leave the keyboard
// with the window beneath it (without a window manager nobody moves the focus), and with the
// pointer hidden by the saver nobody could answer it. The watch is a process of its own, not a
// thread: SDL forks to show its box, and a child forked while another thread is inside Xlib
// inherits Xlib's locks held, and hangs on them.
class KeyboardToNewWindow {
  public:
    explicit KeyboardToNewWindow(const std::string& title);
    KeyboardToNewWindow(const KeyboardToNewWindow&) = delete;
    KeyboardToNewWindow& operator=(const KeyboardToNewWindow&) = delete;
    ~KeyboardToNewWindow();

  private:
    // In the watching process: until the window shows (and then gets the keyboard).
    static void Watch(const std::set<unsigned long>& known, const std::string& title);

    pid_t watcher_ = -1;
};

}  // namespace velmora
