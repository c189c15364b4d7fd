#include "gfx/primitives.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The two canvases differ only in pixel type and height; every operation is written once.
template <typename T>
inline T* CanvasOf();
template <>
inline ColourIndex* CanvasOf<ColourIndex>()
{
    return IndexCanvas;
}
template <>
inline Pixel* CanvasOf<Pixel>()
{
    return HiColourCanvas;
}

template <typename T>
constexpr int32_t RowsOf()
{
    return sizeof(T) == 1 ? IndexCanvasHeight : HiColourCanvasHeight;
}

template <typename T>
[[maybe_unused]] inline bool BoxInside(int32_t x, int32_t y, int32_t w, int32_t h)
{
    return CanvasOf<T>() != nullptr && w >= 1 && h >= 1 && x >= 0 && y >= 0 && x + w <= CanvasWidth &&
           y + h <= RowsOf<T>();
}

// Address of (x, y) for a rectangle of w x h that the caller promises lies inside the canvas.
template <typename T>
inline T* BoxStart(int32_t x, int32_t y, [[maybe_unused]] int32_t w = 1, [[maybe_unused]] int32_t h = 1)
{
    assert((BoxInside<T>(x, y, w, h)));
    return CanvasOf<T>() + (ptrdiff_t(y) << 10) + x;
}

// Row-by-row, left-to-right walk of a source and a target rectangle of one canvas; op sees each
// source value and a reference to its target, so overlapping boxes get the forward-order result.
template <typename T, typename Op>
inline void WalkBoxes(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Op op)
{
    const T* s = BoxStart<T>(sx, sy, w, h);
    T* d = BoxStart<T>(dx, dy, w, h);
    for (int32_t j = 0; j < h; ++j, s += CanvasWidth, d += CanvasWidth)
        for (int32_t i = 0; i < w; ++i)
            op(s[i], d[i]);
}

// A target row that starts inside its own source row would read pixels it has already written;
// only such a row must go strictly pixel by pixel.
template <typename T>
inline bool RowsOverlapForward(const T* s, const T* d, int32_t w)
{
    return s < d && d < s + w;
}

template <typename T>
void CopyRows(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h)
{
    const T* s = BoxStart<T>(sx, sy, w, h);
    T* d = BoxStart<T>(dx, dy, w, h);
    for (int32_t j = 0; j < h; ++j, s += CanvasWidth, d += CanvasWidth) {
        if (RowsOverlapForward(s, d, w)) {
            for (int32_t i = 0; i < w; ++i)
                d[i] = s[i];
        } else {
            std::memmove(d, s, size_t(w) * sizeof(T));
        }
    }
}

#if defined(__SSE2__)
inline __m128i Splat(ColourIndex v)
{
    return _mm_set1_epi8(char(v));
}
inline __m128i Splat(Pixel v)
{
    return _mm_set1_epi16(short(v));
}
inline __m128i Equal(__m128i a, __m128i b, ColourIndex)
{
    return _mm_cmpeq_epi8(a, b);
}
inline __m128i Equal(__m128i a, __m128i b, Pixel)
{
    return _mm_cmpeq_epi16(a, b);
}
#endif

// Keyed copy of one row; sixteen bytes at a time where the row cannot read its own writes.
template <typename T>
inline void KeyedRow(const T* s, T* d, int32_t w, T key)
{
    int32_t i = 0;
#if defined(__SSE2__)
    constexpr int32_t lanes = int32_t(16 / sizeof(T));
    if (!RowsOverlapForward(s, d, w)) {
        const __m128i keys = Splat(key);
        for (; i + lanes <= w; i += lanes) {
            __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            __m128i isKey = Equal(sv, keys, key);
            __m128i out = _mm_or_si128(_mm_and_si128(isKey, dv), _mm_andnot_si128(isKey, sv));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
        }
    }
#endif
    for (; i < w; ++i)
        if (s[i] != key)
            d[i] = s[i];
}

template <typename T>
void CopyKeyed(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, T key)
{
    const T* s = BoxStart<T>(sx, sy, w, h);
    T* d = BoxStart<T>(dx, dy, w, h);
    for (int32_t j = 0; j < h; ++j, s += CanvasWidth, d += CanvasWidth)
        KeyedRow(s, d, w, key);
}

template <typename T>
void CopyScaled(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step)
{
    assert((BoxInside<T>(sx, sy, (w - 1) * step + 1, (h - 1) * step + 1)));
    const T* s = CanvasOf<T>() + (ptrdiff_t(sy) << 10) + sx;
    T* d = BoxStart<T>(dx, dy, w, h);
    const ptrdiff_t sourceRow = ptrdiff_t(step) * CanvasWidth;
    for (int32_t j = 0; j < h; ++j, s += sourceRow, d += CanvasWidth)
        for (int32_t i = 0; i < w; ++i)
            d[i] = s[ptrdiff_t(i) * step];
}

template <typename T>
void Fill(int32_t x, int32_t y, int32_t w, int32_t h, T colour)
{
    T* d = BoxStart<T>(x, y, w, h);
    for (int32_t j = 0; j < h; ++j, d += CanvasWidth)
        std::fill_n(d, w, colour);
}

template <typename T>
void Shape(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, T key, T colour)
{
    WalkBoxes<T>(sx, sy, dx, dy, w, h, [key, colour](T s, T& d) {
        if (s != key)
            d = colour;
    });
}

template <typename T>
void Recoloured(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, T key, T from, T to)
{
    WalkBoxes<T>(sx, sy, dx, dy, w, h, [key, from, to](T s, T& d) {
        if (s != key)
            d = s == from ? to : s;
    });
}

// The four line routines. first colours the 1st, 3rd, ... pixel from the start point that the
// routine runs from, second the 2nd, 4th, ...
template <typename T>
void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, T first, T second)
{
    T* const canvas = CanvasOf<T>();
    auto plot = [canvas, first, second](int32_t x, int32_t y, int32_t n) {
        assert((BoxInside<T>(x, y, 1, 1)));
        canvas[(ptrdiff_t(y) << 10) + x] = (n & 1) ? second : first;
    };
    const int32_t adx = x2 > x1 ? x2 - x1 : x1 - x2;
    const int32_t ady = y2 > y1 ? y2 - y1 : y1 - y2;
    if (x1 == x2) {
        const int32_t top = std::min(y1, y2);
        for (int32_t n = 0; n <= ady; ++n)
            plot(x1, top + n, n);
    } else if (y1 == y2) {
        const int32_t left = std::min(x1, x2);
        for (int32_t n = 0; n <= adx; ++n)
            plot(left + n, y1, n);
    } else if (ady > adx) {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int32_t xStep = x2 > x1 ? 1 : -1;
        int32_t error = 2 * adx - ady;
        int32_t x = x1;
        for (int32_t n = 0; n <= ady; ++n) {
            plot(x, y1 + n, n);
            if (error >= 0) {
                x += xStep;
                error += 2 * adx - 2 * ady;
            } else {
                error += 2 * adx;
            }
        }
    } else {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        const int32_t yStep = y2 > y1 ? 1 : -1;
        int32_t error = 2 * ady - adx;
        int32_t y = y1;
        for (int32_t n = 0; n <= adx; ++n) {
            plot(x1 + n, y, n);
            if (error >= 0) {
                y += yStep;
                error += 2 * ady - 2 * adx;
            } else {
                error += 2 * ady;
            }
        }
    }
}

}  // namespace

void PutPixel8(int32_t x, int32_t y, ColourIndex colour)
{
    *BoxStart<ColourIndex>(x, y) = colour;
}

ColourIndex GetPixel8(int32_t x, int32_t y)
{
    return *BoxStart<ColourIndex>(x, y);
}

ColourIndex* PixelAddress8(int32_t x, int32_t y)
{
    return BoxStart<ColourIndex>(x, y);
}

void DrawLine8(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colours)
{
    Line<ColourIndex>(x1, y1, x2, y2, ColourIndex(colours), ColourIndex(colours >> 8));
}

void FillBox8(int32_t x, int32_t y, int32_t w, int32_t h, ColourIndex colour)
{
    Fill<ColourIndex>(x, y, w, h, colour);
}

void CopyBox8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h)
{
    CopyRows<ColourIndex>(sx, sy, dx, dy, w, h);
}

void CopyBoxScaled8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step)
{
    CopyScaled<ColourIndex>(sx, sy, dx, dy, w, h, step);
}

void CopyBoxKeyed8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key)
{
    CopyKeyed<ColourIndex>(sx, sy, dx, dy, w, h, key);
}

void CopyBoxOnMaterial8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                        MaterialMask mask)
{
    WalkBoxes<ColourIndex>(sx, sy, dx, dy, w, h, [key, mask](ColourIndex s, ColourIndex& d) {
        if (s != key && mask[d])
            d = s;
    });
}

void FillShape8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                ColourIndex colour)
{
    Shape<ColourIndex>(sx, sy, dx, dy, w, h, key, colour);
}

void CopyBoxRecoloured8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                        ColourIndex from, ColourIndex to)
{
    Recoloured<ColourIndex>(sx, sy, dx, dy, w, h, key, from, to);
}

void CycleBox8(int32_t x, int32_t y, int32_t w, int32_t h)
{
    ColourIndex* d = BoxStart<ColourIndex>(x, y, w, h);
    for (int32_t j = 0; j < h; ++j, d += CanvasWidth)
        for (int32_t i = 0; i < w; ++i)
            if (d[i] >= 245)
                d[i] = ColourIndex(d[i] + 1);
}

ColourIndex TestBoxCollision8(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, ColourIndex key,
                              MaterialMask mask)
{
    const ColourIndex* s = BoxStart<ColourIndex>(sx, sy, w, h);
    const ColourIndex* d = BoxStart<ColourIndex>(dx, dy, w, h);
    for (int32_t j = 0; j < h; ++j, s += CanvasWidth, d += CanvasWidth)
        for (int32_t i = 0; i < w; ++i)
            if (s[i] != key && mask[d[i]])
                return d[i];
    return 0;
}

void PutPixel16(int32_t x, int32_t y, Pixel p)
{
    *BoxStart<Pixel>(x, y) = p;
}

Pixel GetPixel16(int32_t x, int32_t y)
{
    return *BoxStart<Pixel>(x, y);
}

void DrawLine16(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colours)
{
    Line<Pixel>(x1, y1, x2, y2, Pixel(colours), Pixel(colours >> 16));
}

void FillBox16(int32_t x, int32_t y, int32_t w, int32_t h, Pixel colour)
{
    Fill<Pixel>(x, y, w, h, colour);
}

void CopyBox16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h)
{
    CopyRows<Pixel>(sx, sy, dx, dy, w, h);
}

void CopyBoxScaled16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t step)
{
    CopyScaled<Pixel>(sx, sy, dx, dy, w, h, step);
}

void CopyBoxKeyed16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key)
{
    CopyKeyed<Pixel>(sx, sy, dx, dy, w, h, key);
}

void CopyBoxUnflagged16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key)
{
    WalkBoxes<Pixel>(sx, sy, dx, dy, w, h, [key](Pixel s, Pixel& d) {
        if ((d & PixelSolid) == 0 && s != key)
            d = s;
    });
}

void FillShape16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key, Pixel colour)
{
    Shape<Pixel>(sx, sy, dx, dy, w, h, key, colour);
}

void CopyBoxRecoloured16(int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w, int32_t h, Pixel key, Pixel from,
                         Pixel to)
{
    Recoloured<Pixel>(sx, sy, dx, dy, w, h, key, from, to);
}
