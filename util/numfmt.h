// Decimal and hexadecimal text of numbers, for read-outs and glyph names.
#pragma once

#include <cstdint>
#include <string>

// Shortest decimal form: '-' for negatives, no padding. INT32_MIN included.
std::string IntToStr(int32_t value);

// Exactly two upper-case hexadecimal digits of the low byte, high digit first.
std::string HexByte(uint32_t value);
