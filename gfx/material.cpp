#include "gfx/material.h"

#include <initializer_list>

namespace {

struct Flags {
    uint8_t set[256];
};

struct IndexRange {
    int first;
    int last;
};

// The table is the game's and never changes, so it is built once, at compile time, from the
// ranges the game designers use to talk about it.
constexpr Flags FlagsOf(std::initializer_list<IndexRange> ranges)
{
    Flags flags{};
    for (const IndexRange& range : ranges)
        for (int i = range.first; i <= range.last; ++i)
            flags.set[i] = 1;
    return flags;
}

constexpr Flags water = FlagsOf({{192, 194}, {200, 202}});
constexpr Flags air = FlagsOf({{1, 2}, {77, 79}, {160, 167}});
constexpr Flags wormsCollide = FlagsOf({{3, 76}, {80, 129}, {131, 159}, {168, 191}, {195, 199}, {203, 255}});
constexpr Flags projectilesCollide = FlagsOf({{1, 2},
                                              {12, 34},
                                              {39, 43},
                                              {55, 61},
                                              {77, 79},
                                              {82, 87},
                                              {91, 103},
                                              {123, 127},
                                              {176, 180},
                                              {195, 199},
                                              {203, 207}});
constexpr Flags diggable = FlagsOf({{1, 2},
                                    {12, 18},
                                    {30, 47},
                                    {55, 58},
                                    {64, 71},
                                    {77, 79},
                                    {82, 84},
                                    {88, 90},
                                    {94, 103},
                                    {120, 122},
                                    {176, 180},
                                    {195, 199},
                                    {203, 207}});

}  // namespace

const uint8_t (&materialWater)[256] = water.set;
const uint8_t (&materialAir)[256] = air.set;
const uint8_t (&materialWormsCollide)[256] = wormsCollide.set;
const uint8_t (&materialProjectilesCollide)[256] = projectilesCollide.set;
const uint8_t (&materialDiggable)[256] = diggable.set;

const MaterialRow MaterialTable[MaterialRowCount] = {
    {water.set, "Water"},
    {air.set, "Air"},
    {wormsCollide.set, "Worms collide"},
    {projectilesCollide.set, "Projectiles collide"},
    {diggable.set, "Diggable"},
};
