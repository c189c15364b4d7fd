#include "util/numfmt.h"

std::string IntToStr(int32_t value)
{
    // Work in 64 bits so that negating INT32_MIN does not overflow.
    int64_t v = value;
    bool negative = v < 0;
    if (negative)
        v = -v;
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    std::string text;
    text.reserve(n + 1);
    if (negative)
        text.push_back('-');
    while (n > 0)
        text.push_back(digits[--n]);
    return text;
}

std::string HexByte(uint32_t value)
{
    static const char digitTable[] = "0123456789ABCDEF";
    std::string text(2, '0');
    text[1] = digitTable[value & 15];
    text[0] = digitTable[(value >> 4) & 15];
    return text;
}
