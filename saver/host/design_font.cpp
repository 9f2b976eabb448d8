#include "saver/host/design_font.h"

namespace velmora {

void InstallDesignFontSubstitution() {
    QFont::insertSubstitution(QString::fromStdString(DesignFontDescription().face),
                              QString::fromLatin1(kDesignFontStandIn));
}

QFont DesignFont() {
    return ToQFont(DesignFontDescription());
}

QFont ToQFont(const FontDescription& font) {
    QFont result(QString::fromStdString(font.face));
    if (font.points > 0) {
        result.setPointSizeF(font.points);
    }
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeout);
    return result;
}

FontDescription ToFontDescription(const QFont& font) {
    // Qt does not keep a character set; the design one is assumed, as every form text uses it.
    return {.face = font.family().toStdString(),
            .points = font.pointSizeF(),
            .bold = font.bold(),
            .italic = font.italic(),
            .underline = font.underline(),
            .strikeout = font.strikeOut(),
            .charset = kShiftJisCharset};
}

}  // namespace velmora
