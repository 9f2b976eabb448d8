#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace velmora {

struct FileBytes {
    enum class Status { kRead, kCannotOpen, kTooLarge };
    Status status = Status::kCannotOpen;
    std::vector<std::uint8_t> bytes;
};

// The whole content of a regular file, read once. A file larger than max_bytes is not read
// (kTooLarge); a folder, a missing or unreadable file gives kCannotOpen. Never blocks on a FIFO.
FileBytes ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes);

// A regular file's content mapped read-only instead of copied; the same files as ReadFileBytes
// are refused. For files that are only ever replaced whole (a new file renamed over the old):
// a file cut short in place while mapped would fault its reader. Throws std::bad_alloc when
// there is no room for the mapping.
class MappedFile {
  public:
    static MappedFile Map(const std::filesystem::path& path, std::size_t max_bytes);
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    ~MappedFile();

    FileBytes::Status status() const noexcept { return status_; }
    std::span<const std::uint8_t> bytes() const noexcept { return {data_, size_}; }

  private:
    MappedFile() = default;

    FileBytes::Status status_ = FileBytes::Status::kCannotOpen;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;
};

}  // namespace velmora
