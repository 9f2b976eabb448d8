#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velmora::test {
namespace {

std::vector<std::string> ChangedEnvironment(const EnvironmentChanges& changes) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    for (const auto& [name, value] : changes) {
        if (value) {
            variables[name] = *value;
        } else {
            variables.erase(name);
        }
    }
    std::vector<std::string> result;
    for (const auto& [name, value] : variables) {
        result.push_back(name + "=" + value);
    }
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

int DecodeStatus(int raw) {
    if (WIFEXITED(raw)) {
        return WEXITSTATUS(raw);
    }
    return WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                           const std::string& stdout_path) {
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = ChangedEnvironment(changes);
    auto argument_pointers = Pointers(arguments);
    auto environment_pointers = Pointers(environment);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("cannot start " + argv.at(0));
    }
    if (pid_ == 0) {
        // Only async-signal-safe calls from here on. The child dies with the test, even when
        // the test itself is killed, so no X server or program outlives it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        if (!stdout_path.empty()) {
            const int output = open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (output < 0 || dup2(output, STDOUT_FILENO) < 0) {
                _exit(127);
            }
        }
        execvpe(argument_pointers[0], argument_pointers.data(), environment_pointers.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (!status_) {
        kill(pid_, SIGKILL);
        Reap(0);
    }
}

bool ChildProcess::Reap(int options) {
    if (status_) {
        return true;
    }
    int raw = 0;
    const pid_t got = waitpid(pid_, &raw, options);
    if (got == pid_) {
        status_ = DecodeStatus(raw);
        return true;
    }
    return false;
}

bool ChildProcess::Running() {
    return !Reap(WNOHANG);
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds timeout) {
    WaitUntil([this] { return !Running(); }, timeout);
    return status_;
}

void ChildProcess::Signal(int signal_number) {
    if (!status_) {
        kill(pid_, signal_number);
    }
}

CommandResult RunCommand(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                         std::chrono::milliseconds timeout) {
    const TemporaryFolder folder;
    const std::string output_path = folder.path() + "/stdout";
    CommandResult result;
    {
        ChildProcess child(argv, changes, output_path);
        result.status = child.WaitExit(timeout).value_or(-1);
    }
    std::ifstream output(output_path);
    std::ostringstream text;
    text << output.rdbuf();
    result.output = text.str();
    return result;
}

bool ProcessEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    // The state follows the command name, which is in parentheses and may hold anything.
    const auto name_end = line.rfind(')');
    return name_end == std::string::npos || line.substr(name_end + 2, 1) == "Z";
}

std::vector<pid_t> ProcessesOf(const std::string& executable) {
    std::vector<pid_t> found;
    std::error_code error;
    const auto wanted = std::filesystem::weakly_canonical(executable, error);
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code unreadable;
        const auto exe = std::filesystem::read_symlink(entry.path() / "exe", unreadable);
        const pid_t pid = std::stoi(name);
        if (!unreadable && exe == wanted && !ProcessEnded(pid)) {
            found.push_back(pid);
        }
    }
    return found;
}

bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (predicate()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace velmora::test
