#pragma once
// The colour the design program gave a part (field 2 of its record line): a Windows
// colour value, red in the lowest byte, then green, then blue. The design colour set
// draws each part in it; the export and the parts list name it.
#include <array>
#include <string>
#include <string_view>

#include "geometry/GeometryTypes.h"

namespace orx {

// The colour value of a record whose colour field is not a whole decimal number.
inline constexpr long kUnreadableColour = -1;

// The value of a colour field: an optional sign and decimal digits, nothing else;
// kUnreadableColour for any other text and for a number too large for a long.
long ReadColourField(std::string_view field);

// The colour a part is shown in: the red, green and blue bytes of `value` (alpha 0,
// as the shade colours). A value outside 0..0xFFFFFF (an unreadable field among them)
// gives the grey of shade 0, 192, 192, 192.
RGBA DesignColour(long value);

// The six corner colours of a part in the design colours: its colour scaled by each
// grey shade's brightness relative to shade 0, so that the faces read as the grey set
// shades them. A part in the grey of shade 0 gets exactly the grey shades.
std::array<RGBA, 6> DesignShades(long value);

// The colour as "#RRGGBB" (upper-case hexadecimal digits).
std::string DesignColourHex(long value);

}  // namespace orx
