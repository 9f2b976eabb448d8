#pragma once

#include <string>

namespace velmora {

// A font as the forms store it, independent of any toolkit.
struct FontDescription {
    std::string face;  // UTF-8
    double points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int charset = 0;  // the Windows character set number; kept for storage, not for lookup

    bool operator==(const FontDescription&) const = default;
};

inline constexpr int kShiftJisCharset = 128;

// The font every text of the saver's forms is designed in.
inline FontDescription DesignFontDescription() {
    return {.face = "ＭＳ Ｐゴシック", .points = 9.75, .charset = kShiftJisCharset};
}

}  // namespace velmora
