#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

// Variables to set (or, with std::nullopt, to remove) in a child's copy of this environment.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// A program started by a test. The test owns it by PID: the destructor kills (SIGKILL) and
// reaps it if it is still running, so no test leaves a process behind.
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const EnvironmentChanges& changes = {},
                 const std::string& stdout_path = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    pid_t pid() const noexcept { return pid_; }
    bool Running();
    // The exit status (the code, or 128 + the signal number) once it has ended within timeout.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    void Signal(int signal_number);

  private:
    bool Reap(int options);

    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct CommandResult {
    int status = -1;  // exit code, 128 + signal, or -1 when it did not end in time
    std::string output;
};

// Runs a command to its end (killed after the timeout) and returns its standard output.
CommandResult RunCommand(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));

// True once the process with this id has ended: gone, or a zombie that nobody has reaped yet
// (which is what an orphan stays under an init that does not reap).
bool ProcessEnded(pid_t pid);

// The running processes (zombies left out) whose executable is this file.
std::vector<pid_t> ProcessesOf(const std::string& executable);

// Polls the predicate every 10 ms until it holds or the timeout has passed.
bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();
    const std::string& path() const noexcept { return path_; }

  private:
    std::string path_;
};

}  // namespace velmora::test
