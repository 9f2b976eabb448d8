#include "common/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

namespace velmora {
namespace {

bool WriteAll(int fd, std::string_view content, off_t offset) {
    for (std::size_t written = 0; written < content.size();) {
        const ssize_t got = pwrite(fd, content.data() + written, content.size() - written,
                                   offset + static_cast<off_t>(written));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO;
            }
            return false;
        }
        written += static_cast<std::size_t>(got);
    }
    return true;
}

// Runs a clean-up step without letting it change errno, which says why the work failed.
template <typename Step>
void KeepingErrno(Step step) {
    const int saved = errno;
    step();
    errno = saved;
}

}  // namespace

bool ReplaceFile(const std::filesystem::path& path, std::string_view content,
                 std::optional<mode_t> mode, std::optional<gid_t> group) {
    static std::atomic<unsigned> serial{0};
    const auto temporary =
        path.parent_path() / ("." + path.filename().string() + "." + std::to_string(getpid()) +
                              "." + std::to_string(serial++));
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0) {
        return false;
    }
    // The group goes first: changing it clears the set-user and set-group bits of the mode.
    bool ok = !group || fchown(fd, static_cast<uid_t>(-1), *group) == 0;
    ok = ok && (!mode || fchmod(fd, *mode) == 0);
    ok = ok && WriteAll(fd, content, 0);
    if (close(fd) != 0 && ok) {
        ok = false;
    }
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        KeepingErrno([&] { unlink(temporary.c_str()); });
    }
    return ok;
}

bool RewriteFileInPlace(const std::filesystem::path& path, std::string_view content) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0;
    const auto size = static_cast<off_t>(content.size());
    if (ok && size > info.st_size) {
        const int error = posix_fallocate(fd, 0, size);
        if (error != 0) {
            // Where the file system cannot claim room ahead, the C library's stand-in may have
            // grown the file: give it back its length.
            KeepingErrno([&] { static_cast<void>(ftruncate(fd, info.st_size)); });
            errno = error;
            ok = false;
        }
    }
    ok = ok && WriteAll(fd, content, 0) && ftruncate(fd, size) == 0;
    if (close(fd) != 0 && ok) {
        ok = false;
    }
    return ok;
}

}  // namespace velmora
