#pragma once

#include <QFont>

#include "saver/host/font_description.h"

namespace velmora {

// The installed face that stands in for the design font: the same metrics, so texts keep
// the width and line height the forms were laid out for.
inline constexpr const char* kDesignFontStandIn = "IPAPGothic";

// Makes the design font's face name resolve to its stand-in. Call once after the
// application object exists and before any form is built.
void InstallDesignFontSubstitution();

// The design font (its face name, size and character set) as a Qt font.
QFont DesignFont();

QFont ToQFont(const FontDescription& font);
FontDescription ToFontDescription(const QFont& font);

}  // namespace velmora
