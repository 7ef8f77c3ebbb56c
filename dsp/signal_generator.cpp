#include "dsp/signal_generator.h"

#include <cmath>
#include <numbers>
#include <random>

namespace kelvora::dsp {

std::size_t GeneratedCount(const GeneratorParams& params) noexcept
{
    return static_cast<std::size_t>(std::uint64_t{params.lengthMs} * params.rate / 1000);
}

std::uint32_t PeriodSamples(const GeneratorParams& params) noexcept
{
    if (params.frequency == 0)
        return 0;
    return static_cast<std::uint32_t>(static_cast<double>(params.rate) / params.frequency + 0.5);
}

std::uint32_t DutySamples(const GeneratorParams& params) noexcept
{
    const double period = PeriodSamples(params);
    return static_cast<std::uint32_t>(params.dutyPercent * period / 100.0 + 0.5);
}

std::uint32_t WholePeriodsPerSecond(const GeneratorParams& params) noexcept
{
    const std::uint32_t period = PeriodSamples(params);
    return period == 0 ? 0 : params.rate / period;
}

namespace {

void FillPeriodic(std::vector<double>& out, const GeneratorParams& params)
{
    const std::uint64_t period = PeriodSamples(params);
    if (period == 0)
        return; // no period: leave the zero-filled sound silent
    const std::uint64_t amplitude = params.amplitude;
    const std::uint64_t duty = DutySamples(params);
    const std::uint64_t half = period / 2;
    for (std::size_t n = 0; n < out.size(); ++n) {
        const std::uint64_t r = n % period;
        switch (params.shape) {
        case WaveShape::Triangle:
            // The rising half is integer arithmetic and the falling half floating point, so an
            // odd period peaks at A (1 + 1/P) on its middle sample; the shape is kept as designed.
            out[n] = r < half ? static_cast<double>(amplitude * r * 2 / period)
                              : (2.0 - 2.0 * static_cast<double>(r) / static_cast<double>(period))
                                    * static_cast<double>(amplitude);
            break;
        case WaveShape::Sawtooth:
            out[n] = static_cast<double>(r * amplitude / period);
            break;
        case WaveShape::Rectangle:
            out[n] = r < duty ? static_cast<double>(amplitude) : 0.0;
            break;
        default:
            break;
        }
    }
}

void FillNoise(std::vector<double>& out, double amplitude, std::uint32_t seed)
{
    std::mt19937 engine(seed);
    for (double& sample : out) {
        double sum = 0.0;
        for (int i = 0; i < 12; ++i)
            sum += static_cast<double>(engine() >> 17) / 32767.0;
        sample = (sum - 6.0) * amplitude;
    }
}

} // namespace

std::vector<double> Generate(const GeneratorParams& params, std::uint32_t seed)
{
    std::vector<double> out(GeneratedCount(params), 0.0);
    const double amplitude = params.amplitude;
    switch (params.shape) {
    case WaveShape::Sine: {
        const double f = params.frequency;
        const double rate = params.rate;
        for (std::size_t n = 0; n < out.size(); ++n) {
            const double phase = f * std::numbers::pi * 2.0 * static_cast<double>(n) / rate;
            out[n] = amplitude * std::sin(phase);
        }
        break;
    }
    case WaveShape::Triangle:
    case WaveShape::Sawtooth:
    case WaveShape::Rectangle:
        FillPeriodic(out, params);
        break;
    case WaveShape::Noise:
        FillNoise(out, amplitude, seed);
        break;
    }
    return out;
}

} // namespace kelvora::dsp
