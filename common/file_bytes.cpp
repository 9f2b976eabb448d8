#include "common/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {
namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int get() const noexcept { return fd_; }

  private:
    int fd_;
};

}  // namespace

FileBytes ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes) {
    FileBytes result;
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return result;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) {
        result.status = FileBytes::Status::kTooLarge;
        return result;
    }
    // The size is only a hint: the file may grow or shrink while it is read.
    result.bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    while (filled < result.bytes.size()) {
        const ssize_t got =
            read(file.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    result.bytes.resize(filled);
    result.status = FileBytes::Status::kRead;
    return result;
}

}  // namespace velmora
