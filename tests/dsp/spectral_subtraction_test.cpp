// The noise removal is checked against the rule written out directly (a shifted history per bin
// and the full run search), against what an unchanged frame must give back, and against the
// closed forms of the fixed-noise rule.

#include "dsp/fft.h"
#include "dsp/spectral_subtraction.h"

#include "../support/test_signals.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace kelvora::dsp {
namespace {

using kelvora::testing::UniformNoise;

// The rule as stated, step by step: a 512 x 100 history shifted every frame, every run's mean
// and variance summed afresh, positions past the end zero, the auto alpha from its formula.
std::vector<double> DirectSubtraction(const std::vector<double>& x, int numl, int slen, double alpha,
                                      bool fixedNoise = false, bool autoAlpha = false)
{
    const std::size_t n = x.size();
    std::vector<double> out(n, 0.0), re(512), im(512), noise(512);
    std::vector<std::vector<double>> history(512, std::vector<double>(100));
    for (auto& bin : history)
        for (int j = 0; j < numl; ++j)
            bin[j] = j == 0 ? 0.0 : 1000000.0 - j;
    auto load = [&](std::size_t s) {
        for (std::size_t i = 0; i < 512; ++i) {
            re[i] = s + i < n ? 0.5 * (1.0 - std::cos(6.283185303 * i / 512.0)) * x[s + i] : 0.0;
            im[i] = 0.0;
        }
        FftInPlace(re, im, 9, 1);
    };
    load(500);
    for (int k = 0; k < 512; ++k)
        noise[k] = re[k] * re[k] + im[k] * im[k];
    const int half = slen / 2;
    for (std::size_t s = 0; s < n; s += 256) {
        load(s);
        for (int k = 0; k < 512; ++k) {
            const double p = re[k] * re[k] + im[k] * im[k];
            if (!fixedNoise && numl > 0) {
                for (int j = 0; j + 1 < numl; ++j)
                    history[k][j] = history[k][j + 1];
                history[k][numl - 1] = p;
                if (2 * half < numl && slen > 0) {
                    double best = 1.1e9;
                    for (int j = 0; j <= numl - 2 * half - 1; ++j) {
                        double sum = 0.0;
                        for (int i = j; i < j + slen; ++i)
                            sum += history[k][i];
                        const double mean = sum / slen;
                        double variance = 0.0;
                        for (int i = j; i < j + slen; ++i)
                            variance += (history[k][i] - mean) * (history[k][i] - mean);
                        variance /= slen;
                        if (variance < best) {
                            best = variance;
                            noise[k] = mean;
                        }
                    }
                }
            }
            if (autoAlpha)
                alpha = (2.0 * std::sqrt(noise[k] * p) - noise[k]) / noise[k];
            const double d = p - noise[k] * alpha;
            const double gain = d < 0.0 || p == 0.0 ? 0.0 : std::sqrt(d / p);
            re[k] *= gain;
            im[k] *= gain;
        }
        FftInPlace(re, im, 9, -1);
        for (std::size_t i = 0; i < 512 && s + i < n; ++i)
            out[s + i] += re[i];
    }
    return out;
}

// Noise whose level steps up and down every 40 frames, so each bin's steadiest run moves.
std::vector<double> VaryingNoise(std::size_t count, unsigned seed)
{
    std::vector<double> v = UniformNoise(count, 3000.0, seed);
    for (std::size_t i = 0; i < count; ++i)
        v[i] *= (i / 10240) % 2 == 0 ? 1.0 : 4.0;
    return v;
}

TEST(SpectralSubtraction, TrackingChoosesTheNoiseOfTheDirectSearch)
{
    struct Case {
        int numl, slen;
    };
    // Odd and even runs, the longest history, runs too long to search, empty runs, no history.
    for (const Case c : {Case{30, 3}, Case{30, 4}, Case{99, 7}, Case{5, 5}, Case{30, 30}, Case{30, 0},
                         Case{0, 3}, Case{1, 1}}) {
        SCOPED_TRACE(::testing::Message() << "numl " << c.numl << " slen " << c.slen);
        // Noise of changing level, and a sound that repeats every frame, whose equal powers
        // make every run a tie that the oldest must win.
        std::vector<double> repeating = UniformNoise(256, 3000.0, 1);
        repeating.resize(20000);
        for (std::size_t i = 256; i < repeating.size(); ++i)
            repeating[i] = repeating[i - 256];
        for (const std::vector<double>& input : {VaryingNoise(40000, 7), repeating}) {
            std::vector<double> samples = input;
            const SubtractionOutcome outcome = SpectralSubtraction(samples, {c.numl, c.slen, 1.4});
            ASSERT_TRUE(outcome.ok());
            EXPECT_EQ(samples, DirectSubtraction(input, c.numl, c.slen, 1.4));
        }
    }
}

TEST(SpectralSubtraction, RunsThatCannotBeSearchedKeepTheInitialEstimate)
{
    // 2 (slen / 2) >= numl and slen 0 leave the noise of the frame at sample 500: the same
    // result as the fixed-noise rule.
    const std::vector<double> input = VaryingNoise(20000, 3);
    std::vector<double> fixed = input;
    SpectralSubtraction(fixed, {30, 3, 1.0, true});
    for (const int slen : {30, 31, 0}) {
        std::vector<double> samples = input;
        SpectralSubtraction(samples, {30, slen, 1.0});
        EXPECT_EQ(samples, fixed) << "slen " << slen;
    }
}

TEST(SpectralSubtraction, AlphaZeroGivesBackTheInputInsideTheFadedEnds)
{
    const std::vector<double> input = UniformNoise(5000, 20000.0, 11);
    std::vector<double> samples = input;
    SpectralSubtraction(samples, {30, 3, 0.0});
    // Every sample from 256 on lies under two windows: frames start while they start inside the
    // sound, so the last samples are covered by the last frame and the one before it.
    for (std::size_t i = 256; i < 5000; ++i)
        ASSERT_NEAR(samples[i], input[i], 1e-8 * std::abs(input[i]) + 1e-9) << i; // window constant: 2 pi to 9 digits
    // The first half frame comes out under the rising half of the window alone.
    for (std::size_t i = 1; i < 256; i += 37)
        EXPECT_NEAR(samples[i], input[i] * 0.5 * (1.0 - std::cos(6.283185303 * i / 512.0)), 1e-6);
}

TEST(SpectralSubtraction, FixedNoiseRuleAndItsAutomaticAlpha)
{
    const std::vector<double> input = VaryingNoise(30000, 5);
    std::vector<double> samples = input;
    SpectralSubtraction(samples, {30, 3, 1.0, true});
    EXPECT_EQ(samples, DirectSubtraction(input, 30, 3, 1.0, true));

    // Per-bin alpha: the magnitude becomes |sqrt P - sqrt N|, never zeroed.
    samples = input;
    const SubtractionOutcome outcome = SpectralSubtraction(samples, {30, 3, 1.0, true, true});
    const std::vector<double> direct = DirectSubtraction(input, 30, 3, 1.0, true, true);
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_NEAR(samples[i], direct[i], 1e-6 * (1.0 + std::abs(direct[i]))) << i;
    EXPECT_NE(outcome.alpha, 1.0); // the last bin's value is handed back

    // A sound that repeats every 4 samples has P = N in every frame that starts on a multiple
    // of 4 (sample 500 is one): everything inside the faded ends is taken away, even with the
    // per-bin alpha.
    std::vector<double> periodic(6000);
    for (std::size_t i = 0; i < periodic.size(); ++i)
        periodic[i] = std::array{3000.0, -1000.0, 500.0, 250.0}[i % 4];
    for (const bool autoAlpha : {false, true}) {
        samples = periodic;
        SpectralSubtraction(samples, {30, 3, 1.0, true, autoAlpha});
        for (std::size_t i = 256; i < 5632; ++i)
            ASSERT_NEAR(samples[i], 0.0, 1e-6) << i;
    }
}

TEST(SpectralSubtraction, ShortSoundsAndFailedAllocations)
{
    // Shorter than the initial noise frame (and than one frame): read only what is there.
    for (const std::size_t count : {0u, 1u, 300u, 700u, 1011u}) {
        const std::vector<double> input = UniformNoise(count, 1000.0, 2);
        std::vector<double> samples = input;
        ASSERT_TRUE(SpectralSubtraction(samples, {30, 3, 1.4}).ok());
        EXPECT_EQ(samples, DirectSubtraction(input, 30, 3, 1.4)) << count;
    }
    // No memory for the output: the sound stays as it was and the caller is told.
    const std::vector<double> input = UniformNoise(3000, 1000.0, 4);
    std::vector<double> samples = input;
    const SubtractionOutcome outcome =
        SpectralSubtraction(samples, {}, {}, std::pmr::null_memory_resource());
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(samples, input);
}

// A harmonic voice-like tone (150 Hz and its harmonics, gliding and syllable-modulated) plus
// white noise; the SNR is measured against the clean tone after the tracker has settled.
double SnrGain(double inputSnrDb, bool syllables)
{
    const double rate = 8000.0;
    const std::size_t count = 80000;
    std::vector<double> clean(count), noisy(count);
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i / rate;
        phase += 2.0 * std::numbers::pi * (150.0 + 20.0 * std::sin(2.0 * std::numbers::pi * 0.5 * t)) / rate;
        double v = 0.0;
        for (int h = 1; h <= 10; ++h)
            v += std::sin(h * phase) / h;
        const double envelope = syllables ? std::pow(std::sin(std::numbers::pi * 4.0 * t), 2) : 1.0;
        clean[i] = 3000.0 * envelope * v;
    }
    const std::vector<double> noise = UniformNoise(count, 1.0, 21);
    double signalEnergy = 0.0, noiseEnergy = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        signalEnergy += clean[i] * clean[i];
        noiseEnergy += noise[i] * noise[i];
    }
    const double noiseScale = std::sqrt(signalEnergy / noiseEnergy / std::pow(10.0, inputSnrDb / 10.0));
    for (std::size_t i = 0; i < count; ++i)
        noisy[i] = clean[i] + noiseScale * noise[i];
    std::vector<double> denoised = noisy;
    SpectralSubtraction(denoised, {});
    auto snr = [&](const std::vector<double>& y) {
        double s = 0.0, e = 0.0;
        for (std::size_t i = 8000; i < count - 512; ++i) {
            s += clean[i] * clean[i];
            e += (y[i] - clean[i]) * (y[i] - clean[i]);
        }
        return 10.0 * std::log10(s / e);
    };
    return snr(denoised) - snr(noisy);
}

TEST(SpectralSubtraction, DefaultSettingsRaiseTheSnrOfAToneInWhiteNoise)
{
    // A steady tone is itself stationary, so the tracker takes part of it for noise: the gain is
    // small. A tone spoken in syllables, as a voice is, gains more.
    const double steady5 = SnrGain(5.0, false), steady0 = SnrGain(0.0, false);
    const double syllables5 = SnrGain(5.0, true), syllables0 = SnrGain(0.0, true);
    std::printf("SNR gain, steady tone: %.2f dB at 5 dB, %.2f dB at 0 dB; in syllables: %.2f dB, %.2f dB\n",
                steady5, steady0, syllables5, syllables0);
    EXPECT_GT(steady5, 0.0);
    EXPECT_GT(steady0, 0.0);
    EXPECT_GT(syllables5, 1.0);
    EXPECT_GT(syllables0, 1.0);
}

} // namespace
} // namespace kelvora::dsp
