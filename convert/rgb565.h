// The game's 16-bit colour as the converters make it and undo it: red, green and blue cut to
// their top 5, 6 and 5 bits (nothing rounded), alpha to its top 5; and the widening back to
// 8 bits by bit replication, which cuts again to the very same bits.
#pragma once

#include <cstdint>

inline uint16_t PackRgb565(uint8_t red, uint8_t green, uint8_t blue)
{
    return uint16_t((red & 0xF8u) << 8 | (green & 0xFCu) << 3 | blue >> 3);
}

inline uint8_t PackAlpha5(uint8_t alpha)
{
    return uint8_t(alpha >> 3);
}

inline uint8_t WidenFiveBits(unsigned value)
{
    return uint8_t(value << 3 | value >> 2);
}

inline uint8_t WidenSixBits(unsigned value)
{
    return uint8_t(value << 2 | value >> 4);
}

// A 16-bit colour back to three 8-bit components, red first.
inline void WidenRgb565(unsigned colour, uint8_t* rgb)
{
    rgb[0] = WidenFiveBits(colour >> 11);
    rgb[1] = WidenSixBits(colour >> 5 & 0x3F);
    rgb[2] = WidenFiveBits(colour & 0x1F);
}
