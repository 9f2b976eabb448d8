#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// Sizes a buffer of many megabytes (zeros where it grows), asking the kernel for huge pages
// before the first touch: every fresh 4 KiB page costs a fault, tens of milliseconds for a
// picture's worth on a virtual machine, 512 times fewer with 2 MiB pages.
void ResizeLargeBuffer(std::vector<std::uint8_t>& buffer, std::size_t size);

}  // namespace velmora
