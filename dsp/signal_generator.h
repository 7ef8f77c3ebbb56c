#pragma once
// Test sounds for the signal generator: four periodic shapes and approximately Gaussian noise,
// in integer sample units, built from a plain parameter record that the dialog, the command line
// and the tests fill alike.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvora::dsp {

enum class WaveShape { Sine, Triangle, Sawtooth, Rectangle, Noise };

struct GeneratorParams {
    WaveShape shape = WaveShape::Sine;
    std::uint32_t rate = 8000;        // samples per second
    std::uint32_t lengthMs = 500;     // length of the sound in milliseconds
    std::uint32_t frequency = 440;    // Hz; 0 silences the periodic shapes
    std::uint32_t amplitude = 15000;  // peak (periodic shapes) or standard deviation (noise)
    std::uint32_t dutyPercent = 50;   // share of each rectangle period held at the amplitude

    bool operator==(const GeneratorParams&) const = default;
};

// Number of samples of the sound: lengthMs × rate ÷ 1000, truncated.
std::size_t GeneratedCount(const GeneratorParams& params) noexcept;

// Period of the periodic shapes in whole samples: rate ÷ frequency rounded to the nearest
// sample. Frequency 0 has no period and gives 0, as does a frequency above twice the rate.
std::uint32_t PeriodSamples(const GeneratorParams& params) noexcept;

// Samples per period at the amplitude for the rectangle: dutyPercent × period ÷ 100 rounded to
// the nearest sample (9 for 50 % of 18). 0 when the period is 0.
std::uint32_t DutySamples(const GeneratorParams& params) noexcept;

// Whole periods per second, rate ÷ period truncated, as the rectangle's summary reports it
// (444 for 18-sample periods at 8 kHz); 0 when the period is 0.
std::uint32_t WholePeriodsPerSecond(const GeneratorParams& params) noexcept;

// Builds GeneratedCount(params) samples of the chosen shape.
// Sine: A sin(2π F n ÷ R). Triangle: rises from 0 to A over the first half period and falls back.
// Sawtooth: ramp from 0 towards A. Rectangle: A for the first DutySamples of each period, else 0.
// The periodic shapes have no negative half; with no period (frequency 0) they are all zeros.
// Noise: (sum of 12 uniforms u ÷ 32767 − 6) × A with u in 0 … 32767, mean 0, deviation about A.
// The uniforms are the top 15 bits of successive std::mt19937 outputs seeded with `seed`, so a
// seed always gives the same sound on every platform; the dialog passes the time of the press.
// Noise at large amplitudes may exceed the 16-bit range; the samples are kept as they are.
std::vector<double> Generate(const GeneratorParams& params, std::uint32_t seed);

} // namespace kelvora::dsp
