#include "common/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace velmora {

bool ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 std::optional<mode_t> mode) {
    static std::atomic<unsigned> serial{0};
    const auto temporary =
        path.parent_path() / ("." + path.filename().string() + "." + std::to_string(getpid()) +
                              "." + std::to_string(serial++));
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0) {
        return false;
    }
    bool ok = !mode || fchmod(fd, *mode) == 0;
    for (std::size_t written = 0; ok && written < content.size();) {
        const ssize_t got = write(fd, content.data() + written, content.size() - written);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        ok = got > 0;
        written += ok ? static_cast<std::size_t>(got) : 0;
    }
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace velmora
