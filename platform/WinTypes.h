#pragma once

#include <cstdint>

// The few value types the program's classes share with the desktop layer.

using BOOL = int;
constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// 0x00BBGGRR: red in the lowest byte.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr std::uint8_t GetRValue(COLORREF c) { return std::uint8_t(c); }
constexpr std::uint8_t GetGValue(COLORREF c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t GetBValue(COLORREF c) { return std::uint8_t(c >> 16); }

// A range of character positions: start inclusive, end exclusive.
struct CHARRANGE {
    std::int32_t cpMin = 0;
    std::int32_t cpMax = 0;
};
