// The 1/sqrt(f) shaping, checked against what the gains must do to a constant, to a sine that
// lies exactly on bin 128, and to the spectrum of white noise.

#include "dsp/fft.h"
#include "dsp/noise_shaping.h"

#include "../support/test_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kelvora::dsp {
namespace {

TEST(NoiseShaping, RemovesTheConstantPartAndScalesABin128SineByItsGain)
{
    // A constant has power only in bins 0 and +-1 of a Hann frame; bin 0 goes, and the bin-1
    // parts of neighbouring frames (hop 256) have opposite signs, so the interior becomes 0.
    std::vector<double> samples(4096, 1000.0);
    ShapePink(samples, 8000);
    for (std::size_t i = 256; i < 4096 - 512; ++i)
        ASSERT_NEAR(samples[i], 0.0, 1e-4) << i; // the window constant is 2 pi to 9 digits

    // A sine at R / 4 repeats every 4 samples, so every frame holds the same values; its
    // window side bins 127 and 129 cancel between neighbours as above, and what is left is the
    // sine times g(128) = sqrt(R / 65536).
    for (const std::uint32_t rate : {8000u, 44100u}) {
        const std::vector<double> sine = kelvora::testing::Sine(6000, rate / 4.0, rate, 10000.0);
        samples = sine;
        ShapePink(samples, rate);
        const double gain = std::sqrt(rate / 65536.0);
        EXPECT_DOUBLE_EQ(PinkGain(128, rate), gain);
        for (std::size_t i = 256; i < 6000 - 512; ++i)
            ASSERT_NEAR(samples[i], gain * sine[i], 1e-8 * 10000.0) << i;
    }
}

TEST(NoiseShaping, WhiteNoiseFallsThreeDecibelsPerOctave)
{
    const std::size_t count = 1 << 18;
    std::vector<double> samples = kelvora::testing::UniformNoise(count, 10000.0, 9);
    ShapePink(samples, 8000);
    // Averaged periodogram with 1024-point Hann frames, then the mean power of octave bands
    // 16-31, 32-63, 64-127, 128-255: a 1/f power gives a ratio of 2 (3.01 dB) per octave.
    std::vector<double> power(512, 0.0), re(1024), im(1024);
    for (std::size_t s = 1024; s + 1024 <= count - 1024; s += 512) {
        for (std::size_t i = 0; i < 1024; ++i) {
            re[i] = HannWindow(i, 1024) * samples[s + i];
            im[i] = 0.0;
        }
        FftInPlace(re, im, 10, FftForward);
        for (std::size_t k = 0; k < 512; ++k)
            power[k] += re[k] * re[k] + im[k] * im[k];
    }
    auto band = [&](std::size_t from) {
        double sum = 0.0;
        for (std::size_t k = from; k < 2 * from; ++k)
            sum += power[k];
        return sum / static_cast<double>(from);
    };
    for (const std::size_t from : {16u, 32u, 64u, 128u})
        EXPECT_NEAR(10.0 * std::log10(band(from) / band(2 * from)), 3.01, 0.3) << from;
}

} // namespace
} // namespace kelvora::dsp
