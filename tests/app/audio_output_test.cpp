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
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <utility>
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

// Plays silence, a 1 kHz burst from 0.5 s to 1.5 s, and silence to 2 s, while recording the
// loopback of the speaker, and compares the position the output reports with what is heard: the
// burst's start and end found in the recording are given wall-clock times, and the position at
// those times should be the burst's start and end samples. The recording's own latency makes
// the heard times late by a few milliseconds at most (a 20 ms capture buffer, polled every 2 ms),
// which shows here as a cursor slightly ahead.
void CursorFollowsWhatIsHeard()
{
    QAudioFormat format;
    format.setSampleRate(Rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QAudioSource source(QMediaDevices::defaultAudioInput(), format);
    source.setBufferSize(Rate / 50 * 2);
    QIODevice* input = source.start();
    ASSERT_NE(input, nullptr);

    std::vector<std::int16_t> sound(2 * Rate, 0);
    const std::vector<std::int16_t> burst = Tone(1000.0, 1.0, 12000.0);
    std::copy(burst.begin(), burst.end(), sound.begin() + Rate / 2);

    QtAudioOutput output;
    bool finished = false;
    output.setFinishedHandler([&] { finished = true; });
    QElapsedTimer clock;
    clock.start();
    std::vector<std::int16_t> recorded;
    std::vector<std::pair<double, std::size_t>> recordedBy; // (ms, samples recorded by then)
    std::vector<std::pair<double, std::uint64_t>> positions; // (ms, position)
    RunUntil([] { return false; }, 300); // the recording runs before the sound starts
    // A server slow to take the sound is where a position drawn from the wall clock leads and
    // then stalls: the speaker is held suspended for the first 400 ms of playing.
    const QStringList suspend{"suspend-sink", "@DEFAULT_SINK@", "1"};
    ASSERT_EQ(QProcess::execute("pactl", suspend), 0);
    ASSERT_TRUE(output.play(sound, Rate));
    QTimer::singleShot(400, [] { QProcess::execute("pactl", {"suspend-sink", "@DEFAULT_SINK@", "0"}); });
    RunUntil([&] {
        while (source.bytesAvailable() >= 2) {
            const QByteArray bytes = input->read(source.bytesAvailable() & ~qint64(1));
            if (bytes.isEmpty())
                break;
            const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.constData());
            recorded.insert(recorded.end(), samples, samples + bytes.size() / 2);
        }
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        recordedBy.emplace_back(now, recorded.size());
        if (auto position = output.position(); position && !finished)
            positions.emplace_back(now, *position);
        return finished && now > positions.back().first + 300;
    }, 8000);
    source.stop();
    ASSERT_TRUE(finished);

    // The burst's edges in the recording: the first and last sample above half its amplitude.
    std::size_t first = 0, last = 0;
    for (std::size_t n = 0; n < recorded.size(); ++n) {
        if (std::abs(recorded[n]) > 6000) {
            if (first == 0)
                first = n;
            last = n;
        }
    }
    ASSERT_GT(first, 0u);
    // The wall-clock time a recorded sample arrived, and the position reported at a time.
    auto heardAt = [&](std::size_t n) {
        for (const auto& [ms, count] : recordedBy)
            if (count > n)
                return ms - 1000.0 * static_cast<double>(count - 1 - n) / Rate;
        return 0.0;
    };
    auto positionAt = [&](double ms) {
        std::uint64_t at = 0;
        for (const auto& [when, position] : positions)
            if (when <= ms)
                at = position;
        return static_cast<double>(at);
    };
    // The first sample above half amplitude is at most a quarter period after the burst starts.
    const double leadAtStart = (positionAt(heardAt(first)) - Rate / 2) * 1000.0 / Rate;
    const double leadAtEnd = (positionAt(heardAt(last)) - 3 * Rate / 2) * 1000.0 / Rate;
    std::printf("play cursor ahead of the heard sound by %.1f ms at the burst's start, %.1f ms at its end\n",
                leadAtStart, leadAtEnd);
    EXPECT_LE(std::abs(leadAtStart), 50.0);
    EXPECT_LE(std::abs(leadAtEnd), 50.0);

    // Monotonic, and never standing still for long while the sound runs.
    double longestStill = 0.0, stillSince = positions.front().first;
    for (std::size_t i = 1; i < positions.size(); ++i) {
        EXPECT_GE(positions[i].second, positions[i - 1].second);
        if (positions[i].second != positions[i - 1].second)
            stillSince = positions[i].first;
        else if (positions[i].second > 0 && positions[i].second < sound.size())
            longestStill = std::max(longestStill, positions[i].first - stillSince);
    }
    std::printf("longest stand-still of the cursor while playing: %.1f ms\n", longestStill);
    EXPECT_LT(longestStill, 100.0);
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

// Each end of playback leaves the sound server answering the closed stream a moment later;
// many short sounds in a row give such an answer many chances to find its sink gone.
void ShortSoundsOneAfterAnother()
{
    QtAudioOutput output;
    int finished = 0;
    output.setFinishedHandler([&] { ++finished; });
    const std::vector<std::int16_t> click = Tone(1000.0, 0.05, 8000.0);
    constexpr int Sounds = 12;
    for (int played = 0; played < Sounds; ++played) {
        ASSERT_TRUE(output.play(click, Rate));
        RunUntil([&] { return finished > played; }, 3000);
        RunUntil([] { return false; }, 30);
    }
    EXPECT_EQ(finished, Sounds);
    EXPECT_FALSE(output.playing());
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
    {
        SCOPED_TRACE("cursor follows what is heard");
        CursorFollowsWhatIsHeard();
    }
    {
        SCOPED_TRACE("short sounds one after another");
        ShortSoundsOneAfterAnother();
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
