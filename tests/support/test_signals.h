#pragma once
// Test signals made in code, so every expected value can be worked out from its formula.

#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <vector>

namespace kelvora::testing {

// from, from + 1, … : every sample tells its own index.
inline std::vector<double> Ramp(std::size_t count, double from = 0.0)
{
    std::vector<double> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = from + static_cast<double>(i);
    return samples;
}

// amplitude · sin(2π · frequency · i / rate), i = 0 … count − 1.
inline std::vector<double> Sine(std::size_t count, double frequency, double rate, double amplitude)
{
    std::vector<double> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate);
    return samples;
}

// Uniform values in [−amplitude, amplitude) from a Mersenne twister with the given seed.
inline std::vector<double> UniformNoise(std::size_t count, double amplitude, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-amplitude, amplitude);
    std::vector<double> samples(count);
    for (double& s : samples)
        s = uniform(random);
    return samples;
}

} // namespace kelvora::testing
