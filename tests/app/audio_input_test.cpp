// The real input path against a sound server: a tone played on the default output comes back
// through the loopback input in whole blocks, at its frequency and for its length. Runs where
// the test script has started its private PulseAudio server (KELVORA_TEST_AUDIO=1).

#include "app/qt_audio_input.h"
#include "app/qt_audio_output.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 8000;
constexpr std::size_t Block = 400;

// Power of one frequency by direct correlation (independent of any FFT).
double PowerAt(std::span<const double> samples, double frequency)
{
    double re = 0.0, im = 0.0;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        re += samples[n] * std::cos(2 * std::numbers::pi * frequency * static_cast<double>(n) / Rate);
        im += samples[n] * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(n) / Rate);
    }
    return re * re + im * im;
}

void Wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(QtAudioInputTest, RecordsBackAPlayedToneInWholeBlocks)
{
    if (std::getenv("KELVORA_TEST_AUDIO") == nullptr)
        GTEST_SKIP() << "KELVORA_TEST_AUDIO is not set: no private PulseAudio server was started";
    QtAudioInput input;
    ASSERT_TRUE(input.start(Rate));
    EXPECT_TRUE(input.capturing());
    std::vector<double> recorded;
    std::array<std::int16_t, Block> block{};
    int blocks = 0;
    auto collect = [&] {
        while (input.readBlock(block)) {
            ++blocks;
            recorded.insert(recorded.end(), block.begin(), block.end());
        }
    };

    // 1.5 s of 700 Hz at amplitude 12000, with silence around it.
    std::vector<std::int16_t> tone(12000);
    for (std::size_t n = 0; n < tone.size(); ++n)
        tone[n] = static_cast<std::int16_t>(12000 * std::sin(2 * std::numbers::pi * 700 * static_cast<double>(n) / Rate));
    QtAudioOutput output;
    bool finished = false;
    output.setFinishedHandler([&] { finished = true; });
    Wait(300);
    collect();
    ASSERT_TRUE(output.play(tone, Rate));
    QElapsedTimer clock;
    clock.start();
    while (!finished && clock.elapsed() < 6000) {
        Wait(10);
        collect();
    }
    for (int i = 0; i < 40; ++i) { // what was played last reaches the loopback
        Wait(10);
        collect();
    }
    input.stop();
    EXPECT_FALSE(input.capturing());
    EXPECT_FALSE(input.readBlock(block));
    ASSERT_TRUE(finished);
    EXPECT_EQ(recorded.size(), static_cast<std::size_t>(blocks) * Block);

    // Length: the blocks whose RMS is above half the tone's (12000 ÷ √2 ÷ 2) span 1.5 s.
    std::size_t loud = 0, first = recorded.size();
    for (std::size_t at = 0; at + Block <= recorded.size(); at += Block) {
        double energy = 0.0;
        for (std::size_t n = at; n < at + Block; ++n)
            energy += recorded[n] * recorded[n];
        if (std::sqrt(energy / Block) > 12000 / std::sqrt(2.0) / 2) {
            ++loud;
            first = std::min(first, at);
        }
    }
    EXPECT_NEAR(static_cast<double>(loud * Block), 12000.0, 800.0);
    // Frequency: the strongest of 500 … 1000 Hz in 10 Hz steps over 4000 samples of the tone.
    ASSERT_LE(first + 4000, recorded.size());
    const std::span<const double> middle(recorded.data() + first, 4000);
    double bestFrequency = 0.0, bestPower = 0.0;
    for (double f = 500.0; f <= 1000.0; f += 10.0)
        if (const double power = PowerAt(middle, f); power > bestPower) {
            bestPower = power;
            bestFrequency = f;
        }
    EXPECT_EQ(bestFrequency, 700.0);
}

TEST(QtAudioInputTest, WithoutADeviceStartFails)
{
    if (!QMediaDevices::audioInputs().isEmpty())
        GTEST_SKIP() << "this machine has a sound input device";
    QtAudioInput input;
    EXPECT_FALSE(input.start(Rate));
    EXPECT_FALSE(input.capturing());
    std::array<std::int16_t, Block> block{};
    EXPECT_FALSE(input.readBlock(block));
}

} // namespace
} // namespace kelvora
