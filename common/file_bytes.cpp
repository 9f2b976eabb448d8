#include "common/file_bytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <utility>

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

// Non-blocking, so that a FIFO in the file's place is refused instead of waited on.
FileDescriptor OpenForReading(const std::filesystem::path& path) {
    return FileDescriptor(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

struct RegularFile {
    FileBytes::Status status = FileBytes::Status::kCannotOpen;
    std::size_t size = 0;
};

RegularFile CheckRegularFile(const FileDescriptor& file, std::size_t max_bytes) {
    struct stat info {};
    if (file.get() < 0 || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) {
        return {.status = FileBytes::Status::kTooLarge};
    }
    return {.status = FileBytes::Status::kRead, .size = static_cast<std::size_t>(info.st_size)};
}

}  // namespace

FileBytes ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes) {
    FileBytes result;
    const FileDescriptor file = OpenForReading(path);
    const RegularFile regular = CheckRegularFile(file, max_bytes);
    if (regular.status != FileBytes::Status::kRead) {
        result.status = regular.status;
        return result;
    }
    // The size is only a hint: the file may grow or shrink while it is read.
    result.bytes.resize(regular.size);
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

MappedFile MappedFile::Map(const std::filesystem::path& path, std::size_t max_bytes) {
    MappedFile result;
    const FileDescriptor file = OpenForReading(path);
    const RegularFile regular = CheckRegularFile(file, max_bytes);
    if (regular.status != FileBytes::Status::kRead) {
        result.status_ = regular.status;
        return result;
    }
    const std::size_t size = regular.size;
    if (size > 0) {
        // All pages at once: the whole file is read straight after.
        void* mapping = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.get(), 0);
        if (mapping == MAP_FAILED) {
            if (errno == ENOMEM) {
                throw std::bad_alloc();
            }
            return result;
        }
        result.mapping_ = mapping;
        result.data_ = static_cast<const std::uint8_t*>(mapping);
        result.size_ = size;
    }
    result.status_ = FileBytes::Status::kRead;
    return result;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : status_(other.status_),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        if (mapping_ != nullptr) {
            munmap(mapping_, size_);
        }
        status_ = other.status_;
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
    }
    return *this;
}

MappedFile::~MappedFile() {
    if (mapping_ != nullptr) {
        munmap(mapping_, size_);
    }
}

}  // namespace velmora
