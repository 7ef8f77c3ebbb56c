// The real output path against a sound server: a tone is played on the default device and
// recorded back from the loopback input. Runs where the test script has started its private
// PulseAudio server (KELVORA_TEST_AUDIO=1); the no-device case runs where there is no device.

#include "app/qt_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace kelvora {
namespace {

constexpr std::uint32_t Rate = 8000;

std::vector<std::int16_t> Tone(double frequency, double seconds, double amplitude)
{
    std::vector<std::int16_t> tone(static_cast<std::size_t>(seconds * Rate));
    for (std::size_t n = 0; n < tone.size(); ++n)
        tone[n] = static_cast<std::int16_t>(amplitude * std::sin(2 * std::numbers::pi * frequency * n / Rate));
    return tone;
}

// Power of one frequency in a block, by direct correlation (independent of any FFT).
double PowerAt(const std::vector<double>& block, double frequency)
{
    double re = 0.0, im = 0.0;
    for (std::size_t n = 0; n < block.size(); ++n) {
        re += block[n] * std::cos(2 * std::numbers::pi * frequency * n / Rate);
        im += block[n] * std::sin(2 * std::numbers::pi * frequency * n / Rate);
    }
    return (re * re + im * im) / static_cast<double>(block.size() * block.size());
}

bool TestServerRunning()
{
    return std::getenv("KELVORA_TEST_AUDIO") != nullptr;
}

// Runs the event loop until `done` turns true or the time is up.
void RunUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// Plays one second of a 1 kHz tone while recording the loopback input.
void PlayAndRecordBack()
{
    QAudioFormat format;
    format.setSampleRate(Rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QAudioSource source(QMediaDevices::defaultAudioInput(), format);
    QIODevice* input = source.start();
    ASSERT_NE(input, nullptr);
    std::vector<double> recorded;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        // The device's own bytesAvailable() stays 0; the source's count is the one to poll.
        while (source.bytesAvailable() >= 2) {
            const QByteArray bytes = input->read(source.bytesAvailable() & ~qint64(1));
            if (bytes.isEmpty())
                break;
            const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.constData());
            recorded.insert(recorded.end(), samples, samples + bytes.size() / 2);
        }
    });
    reader.start(10);

    QtAudioOutput output;
    EXPECT_TRUE(output.available());
    int finished = 0;
    output.setFinishedHandler([&] { ++finished; });
    const std::vector<std::int16_t> tone = Tone(1000.0, 1.0, 12000.0);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(output.play(tone, Rate));
    EXPECT_TRUE(output.playing());

    std::uint64_t lastPosition = 0;
    bool monotone = true;
    RunUntil([&] {
        if (auto position = output.position()) {
            monotone = monotone && *position >= lastPosition;
            lastPosition = *position;
        }
        return finished > 0;
    }, 6000);
    const qint64 elapsed = clock.elapsed();
    RunUntil([] { return false; }, 300); // what was played last reaches the loopback
    reader.stop();
    source.stop();

    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(output.playing());
    ASSERT_TRUE(output.position().has_value());
    EXPECT_EQ(*output.position(), tone.size());
    EXPECT_TRUE(monotone);
    // The end is reported when the sound has been played, not when it was handed over.
    EXPECT_GT(elapsed, 800);

    // The loudest 4000-sample block of the recording carries the tone, not its neighbours.
    ASSERT_GT(recorded.size(), 4000u);
    std::size_t best = 0;
    double bestEnergy = 0.0;
    for (std::size_t at = 0; at + 4000 <= recorded.size(); at += 400) {
        double energy = 0.0;
        for (std::size_t n = at; n < at + 4000; ++n)
            energy += recorded[n] * recorded[n];
        if (energy > bestEnergy) {
            bestEnergy = energy;
            best = at;
        }
    }
    const std::vector<double> block(recorded.begin() + static_cast<std::ptrdiff_t>(best),
                                    recorded.begin() + static_cast<std::ptrdiff_t>(best + 4000));
    const double rms = std::sqrt(bestEnergy / 4000.0);
    EXPECT_NEAR(rms, 12000.0 / std::sqrt(2.0), 850.0) << "the tone did not come back at its level";
    const double tonePower = PowerAt(block, 1000.0);
    EXPECT_GT(tonePower, 100.0 * PowerAt(block, 700.0));
    EXPECT_GT(tonePower, 100.0 * PowerAt(block, 1500.0));
    // A sine of amplitude A has power (A/2)^2 in its bin.
    EXPECT_NEAR(std::sqrt(tonePower), 6000.0, 600.0);
}

// A second play cuts the first off; stop ends at once without a finished report.
void RestartAndStop()
{
    QtAudioOutput output;
    int finished = 0;
    output.setFinishedHandler([&] { ++finished; });
    ASSERT_TRUE(output.play(Tone(440.0, 2.0, 8000.0), Rate));
    RunUntil([] { return false; }, 200);
    // A second play cuts the first one off and starts from the beginning of the new buffer.
    const std::vector<std::int16_t> shortTone = Tone(880.0, 0.25, 8000.0);
    ASSERT_TRUE(output.play(shortTone, Rate));
    ASSERT_TRUE(output.position().has_value());
    EXPECT_LT(*output.position(), shortTone.size());
    RunUntil([&] { return finished > 0; }, 4000);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(*output.position(), shortTone.size());

    ASSERT_TRUE(output.play(Tone(440.0, 2.0, 8000.0), Rate));
    RunUntil([] { return false; }, 100);
    output.stop();
    EXPECT_FALSE(output.playing());
    EXPECT_FALSE(output.position().has_value());
    RunUntil([] { return false; }, 400);
    EXPECT_EQ(finished, 1);
}

// One test, so that no two tones share the server's one speaker when tests run in parallel.
TEST(QtAudioOutputTest, PlaysToTheEndRestartsStopsAndTheToneCanBeRecordedBack)
{
    if (!TestServerRunning())
        GTEST_SKIP() << "KELVORA_TEST_AUDIO is not set: no private PulseAudio server was started";
    {
        SCOPED_TRACE("play and record back");
        PlayAndRecordBack();
    }
    {
        SCOPED_TRACE("restart and stop");
        RestartAndStop();
    }
}

TEST(QtAudioOutputTest, WithoutADeviceStaysSilentAndSaysSoOnce)
{
    if (!QMediaDevices::audioOutputs().isEmpty())
        GTEST_SKIP() << "this machine has a sound output device";

    QtAudioOutput output;
    std::vector<std::string> notices;
    output.setUnavailableHandler([&](const std::string& notice) { notices.push_back(notice); });
    int finished = 0;
    output.setFinishedHandler([&] { ++finished; });
    const std::vector<std::int16_t> tone = Tone(440.0, 0.1, 8000.0);
    EXPECT_FALSE(output.play(tone, Rate));
    EXPECT_FALSE(output.play(tone, Rate));
    EXPECT_FALSE(output.available());
    EXPECT_FALSE(output.playing());
    EXPECT_FALSE(output.position().has_value());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], platform::NoAudioDeviceNotice);
    output.stop();
    RunUntil([] { return false; }, 100);
    EXPECT_EQ(finished, 0);
}

} // namespace
} // namespace kelvora
