#pragma once
// A vowel made in code: its formant frequencies are known, so the analysis can be checked
// against them.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>
#include <vector>

namespace kelvora::testing {

// A 120 Hz pulse train, smoothed twice by a one-pole low-pass (a glottal source falling about
// 12 dB per octave), through a two-pole resonator for each (frequency, bandwidth) in Hz, then
// differenced (lip radiation), scaled to a peak of 20000.
inline std::vector<double> SyntheticVowel(std::size_t count, double rate,
                                          const std::vector<std::pair<double, double>>& formants,
                                          double pitch = 120.0)
{
    std::vector<double> x(count, 0.0);
    for (double t = 0.0; t < static_cast<double>(count); t += rate / pitch)
        x[static_cast<std::size_t>(t)] = 1.0;
    for (int pass = 0; pass < 2; ++pass) {
        double y = 0.0;
        for (double& v : x)
            v = y = 0.9 * y + v;
    }
    for (const auto& [frequency, bandwidth] : formants) {
        const double r = std::exp(-std::numbers::pi * bandwidth / rate);
        const double c = 2.0 * r * std::cos(2.0 * std::numbers::pi * frequency / rate);
        double y1 = 0.0, y2 = 0.0;
        for (double& v : x) {
            const double y = v + c * y1 - r * r * y2;
            y2 = y1;
            y1 = y;
            v = y;
        }
    }
    for (std::size_t i = count; i-- > 1;)
        x[i] -= x[i - 1];
    double peak = 0.0;
    for (double v : x)
        peak = std::max(peak, std::abs(v));
    for (double& v : x)
        v *= 20000.0 / peak;
    return x;
}

} // namespace kelvora::testing
