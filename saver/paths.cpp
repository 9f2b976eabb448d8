#include "saver/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

bool FileExists(std::string_view path) {
    if (!path.empty() && path.back() == '/') {
        path.remove_suffix(1);
    }
    if (path.empty() || path.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::string name(path);
    // Non-blocking, so that a FIFO cannot hold the caller.
    const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    return regular;
}

std::string FolderOfPath(std::string_view path) {
    const std::size_t separator = path.rfind('/');
    if (separator == std::string_view::npos) {
        return {};
    }
    if (separator == 0) {
        return "/";
    }
    return std::string(path.substr(0, separator));
}

}  // namespace velmora
