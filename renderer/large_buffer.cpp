#include "renderer/large_buffer.h"

#include <sys/mman.h>

namespace velmora {
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

}  // namespace

void ResizeLargeBuffer(std::vector<std::uint8_t>& buffer, std::size_t size) {
    if (size >= 2 * kHugePage && buffer.capacity() < size) {
        std::vector<std::uint8_t> fresh;
        fresh.reserve(size);
        const auto start = reinterpret_cast<std::uintptr_t>(fresh.data());
        const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
        const std::uintptr_t end = (start + size) & ~(kHugePage - 1);
        if (end > first) {
            // Only a hint: without transparent huge pages the buffer works as before.
            madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
        }
        fresh.assign(buffer.begin(), buffer.end());
        buffer.swap(fresh);
    }
    buffer.resize(size);
}

}  // namespace velmora
