// Any bytes as an ini file: reading never fails or reads outside the input, a value just written
// is the value read back, and writing one key leaves the others as they read before.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "saver/host/private_profile.h"
#include "saver/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::array keys{velmora::kKindKey, velmora::kRepeatTrackKey, velmora::kFileKey};
    std::array<std::optional<std::string>, keys.size()> before;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        before[i] = velmora::FindProfileValue(content, velmora::kIniSection, keys[i]);
        if (before[i]) {
            velmora::ParseDecimalNumber(*before[i]);
        }
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto written =
            velmora::SetProfileValue(content, velmora::kIniSection, keys[i], " 12");
        if (!written) {
            continue;
        }
        for (std::size_t other = 0; other < keys.size(); ++other) {
            const auto value =
                velmora::FindProfileValue(*written, velmora::kIniSection, keys[other]);
            if (other == i ? value != "12" : value != before[other]) {
                std::abort();
            }
        }
    }
    return 0;
}
