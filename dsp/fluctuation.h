#pragma once
// The numbers of the 1/f fluctuation tool: short-time power spectra (256-point Hann frames) of
// 800 frames spread over an interval, the least-squares slope of each frame's spectrum on
// log-log axes, and the average spectrum of all 800 frames with its regression line. Both axes
// are 10 log10, so a slope is the exponent a of a power law P ~ f^a: 0 for white noise, -1 for
// 1/f noise, about -2 for regular voicing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace kelvora::dsp {

inline constexpr int FluctuationFrameLog2 = 8;
inline constexpr std::size_t FluctuationFrameSize = std::size_t{1} << FluctuationFrameLog2; // 256
inline constexpr std::size_t FluctuationColumns = 800;
// Bins 1 … 127 enter the regressions; bin 0 never does.
inline constexpr std::size_t FluctuationLastBin = FluctuationFrameSize / 2 - 1;

// Least-squares slope of y on x: sum((x - mean x)(y - mean y)) / sum((x - mean x)^2).
// 0 for fewer than two points or x without spread.
double LeastSquaresSlope(std::span<const double> x, std::span<const double> y) noexcept;

struct FluctuationResult {
    // Slope of frame c, c = 0 … 799, starting at sample start + truncate(c (width - 256) / 800).
    std::array<double, FluctuationColumns> frameSlopes{};
    // Index k = 1 … 127 (element 0 unused): 10 log10 of the bin's frequency in whole Hz,
    // floor(R k / 256), and 10 log10 of the bin's power averaged over the 800 frames, each
    // power taken as (re^2 + im^2 + 1e-11) / 32767^2.
    std::array<double, FluctuationLastBin + 1> logFrequency{};
    std::array<double, FluctuationLastBin + 1> averageDb{};
    double slope = 0.0;     // regression of averageDb on logFrequency
    double intercept = 0.0; // mean averageDb - slope * mean logFrequency
};

// Analyses the interval [start, start + width) of `signal`. Returns false, writing nothing,
// when width < 256 or the interval does not lie inside the signal. `frameDone` is called after
// each of the 800 frames.
bool AnalyseFluctuation(std::span<const double> signal, std::size_t start, std::size_t width,
                        std::uint32_t sampleRate, FluctuationResult& result,
                        const std::function<void()>& frameDone = {});

} // namespace kelvora::dsp
