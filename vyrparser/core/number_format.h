// Number texts of the script writer: what it writes must read back as the same value.
#pragma once

#include <string>

namespace vyr::parser {

// The general format with 6 significant digits and no trailing zeros (100 is "100", -12.5 is "-12.5").
// Where that format would use an exponent the same digits are written in plain decimal, since the
// script language has no exponent; integral texts outside -32768..32767 get ".0" so they read back
// as a float instead of wrapping as a 16-bit integer. Non-finite values are written as 0 or the
// largest float, the nearest values the language can express.
std::string FormatGeneral(float value);

// FormatGeneral right-aligned in a field of width 5 (coordinates).
std::string FormatCoordinate(float value);

}  // namespace vyr::parser
