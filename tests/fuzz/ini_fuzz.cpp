// Any bytes as an ini file: reading never fails or reads outside the input, and a value just
// written is the value read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "saver/host/private_profile.h"
#include "saver/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    for (const auto key : {velmora::kKindKey, velmora::kRepeatTrackKey, velmora::kFileKey}) {
        if (const auto value = velmora::FindProfileValue(content, velmora::kIniSection, key)) {
            velmora::ParseDecimalNumber(*value);
        }
        const std::string written =
            velmora::SetProfileValue(content, velmora::kIniSection, key, " 12");
        if (velmora::FindProfileValue(written, velmora::kIniSection, key) != " 12" &&
            velmora::FindProfileValue(written, velmora::kIniSection, key) != "12") {
            std::abort();
        }
    }
    return 0;
}
