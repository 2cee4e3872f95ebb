// Colours in the skin files and in the controls' colour properties are COLORREF numbers,
// 0x00BBGGRR: red in the low byte.
#pragma once

#include <QColor>

#include <cstdint>
#include <string_view>

namespace skin {

using ColorRef = std::uint32_t;

inline QColor fromColorRef(ColorRef value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline ColorRef toColorRef(const QColor &color)
{
    return ColorRef(color.red()) | (ColorRef(color.green()) << 8) | (ColorRef(color.blue()) << 16);
}

// Reads a colour value the way "%ld" does: leading blanks, an optional sign, decimal digits.
// Whatever does not parse reads as 0, as the skin has always treated it.
ColorRef parseColorRef(std::string_view text);

// The colour that marks transparent pixels in skin pictures: fuchsia.
inline constexpr ColorRef kTransparentColorRef = 0xFF00FF;

}  // namespace skin
