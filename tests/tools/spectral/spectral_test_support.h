#pragma once
// Signals and picture checks shared by the spectral tool tests.

#include "../../support/test_signals.h"
#include "canvas/painter.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace kelvora::testing {

inline constexpr double TwoPi = 6.283185307179586;

using testing::Sine;

// True when the box of `picture` at (x, y) looks exactly like `text` drawn alone at (x, y) on
// white: the label is there and nothing else was drawn over it.
inline bool ShowsTextAt(const Picture& picture, int x, int y, const std::string& text, int width = 90)
{
    Picture expected(picture.width(), picture.height());
    Painter(expected).text(x, y, text);
    for (int py = y; py <= y + TextPixelSize; ++py)
        for (int px = x; px < x + width; ++px)
            if (expected.pixel(px, py) != picture.pixel(px, py))
                return false;
    return true;
}

inline int CountPixels(const Picture& picture, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == colour;
    return count;
}

// Topmost y in the columns x0 .. x1 with the colour, or -1.
inline int TopmostIn(const Picture& picture, int x0, int x1, QRgb colour)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = x0; x <= x1; ++x)
            if (picture.pixel(x, y) == colour)
                return y;
    return -1;
}

// Rightmost x with the colour, or -1.
inline int RightmostIn(const Picture& picture, QRgb colour)
{
    for (int x = picture.width() - 1; x >= 0; --x)
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixel(x, y) == colour)
                return x;
    return -1;
}

} // namespace kelvora::testing
