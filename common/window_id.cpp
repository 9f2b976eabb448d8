#include "common/window_id.h"

#include <charconv>
#include <cstdio>

#include "common/picture_folder.h"

namespace velmora {
namespace {

// X resource ids keep their top three bits clear.
constexpr unsigned long kLargestResourceId = 0x1FFFFFFF;

}  // namespace

std::optional<unsigned long> ParseWindowId(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned long id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || id == 0 ||
        id > kLargestResourceId) {
        return std::nullopt;
    }
    return id;
}

std::string WindowIdText(unsigned long window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

std::string WindowDesktopPictureName(unsigned long window) {
    const std::string_view name = kDesktopPictureName;
    const auto dot = name.rfind('.');
    return std::string(name.substr(0, dot)) + "-" + WindowIdText(window) +
           std::string(name.substr(dot));
}

}  // namespace velmora
