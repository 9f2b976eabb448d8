#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
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

}  // namespace velmora
