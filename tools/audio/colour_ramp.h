#pragma once
// ColourRamp: the colour scale of the recording display and the spectrogram, from black through
// blue, cyan, green and yellow to red in five straight stretches of 255 steps.

#include "canvas/picture.h"

#include <algorithm>

namespace kelvora {

inline constexpr int ColourRampTop = 1275;

// Index c (clamped to 0 … 1275) to 0xRRGGBB: 0 black, 255 blue, 510 cyan, 765 green,
// 1020 yellow, 1275 red, linear in between.
constexpr QRgb ColourRamp(int c) noexcept
{
    c = std::clamp(c, 0, ColourRampTop);
    int r = 0, g = 0, b = 0;
    if (c <= 255) {
        b = c;
    } else if (c <= 510) {
        g = c - 255;
        b = 255;
    } else if (c <= 765) {
        g = 255;
        b = 765 - c;
    } else if (c <= 1020) {
        r = c - 765;
        g = 255;
    } else {
        r = 255;
        g = 1275 - c;
    }
    return static_cast<QRgb>((r << 16) | (g << 8) | b);
}

} // namespace kelvora
