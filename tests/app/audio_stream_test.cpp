// The hearing demonstration's continuous output against a sound server: the mixed tone is
// recorded back through the loopback input, and a frequency change made half a second after
// the start reaches the speaker within 100 ms of the bar move, not a buffer length later. Runs
// where the test script has started its private PulseAudio server (KELVORA_TEST_AUDIO=1).

#include "app/qt_audio_input.h"
#include "app/qt_audio_stream.h"
#include "platform/scripted_ui.h"
#include "tools/audio/hearing_dialog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

namespace kelvora {
namespace {

constexpr double InputRate = 8000.0;
constexpr std::size_t Hop = 80; // 10 ms of the recording

double PowerAt(const std::vector<double>& samples, std::size_t from, std::size_t length, double frequency)
{
    double re = 0.0, im = 0.0;
    for (std::size_t n = 0; n < length; ++n) {
        const double angle = 2 * std::numbers::pi * frequency * static_cast<double>(n) / InputRate;
        re += samples[from + n] * std::cos(angle);
        im += samples[from + n] * std::sin(angle);
    }
    return re * re + im * im;
}

TEST(QtAudioStreamTest, ABarMoveIsHeardWithinAHundredMilliseconds)
{
    if (std::getenv("KELVORA_TEST_AUDIO") == nullptr)
        GTEST_SKIP() << "KELVORA_TEST_AUDIO is not set: no private PulseAudio server was started";
    QtAudioInput input;
    ASSERT_TRUE(input.start(static_cast<std::uint32_t>(InputRate)));
    QtAudioStream stream;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    ScriptedDialogRunner dialogs;
    Services services{files, messages, urls, dialogs, "", nullptr, nullptr, &stream};
    HearingDialog dialog(services);
    dialog.init();
    dialog.scroll(HearingDialog::LevelBar1, ScrollRequest::ThumbTrack, 0);

    // The recording is put on the wall clock: sample k reached the speaker no later than the
    // first read that returned it, so the earliest "read time less samples before it" over all
    // reads bounds when recorded sample 0 was played. This takes out the loopback's own
    // buffering, which the listener never hears, and can only overstate the delay.
    QElapsedTimer wall;
    wall.start();
    double firstSampleMs = std::numeric_limits<double>::infinity();
    std::vector<double> recorded;
    std::array<std::int16_t, 400> block{};
    auto collect = [&] {
        while (input.readBlock(block)) {
            recorded.insert(recorded.end(), block.begin(), block.end());
            const double lastSampleMs = static_cast<double>(recorded.size() - 1) / InputRate * 1000.0;
            firstSampleMs = std::min(firstSampleMs, static_cast<double>(wall.nsecsElapsed()) / 1e6 - lastSampleMs);
        }
    };
    auto run = [&](int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            QEventLoop loop;
            QTimer::singleShot(HearingDialog::ToneTickMilliseconds, &loop, &QEventLoop::quit);
            loop.exec();
            dialog.timer(HearingDialog::ToneTimer);
            collect();
        }
    };
    run(300);
    const double startMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    dialog.mouse(MouseButton::Left);
    ASSERT_TRUE(stream.running());
    run(500);
    const double moveMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    dialog.scroll(HearingDialog::FrequencyBar, ScrollRequest::ThumbTrack, 1500);
    run(500);
    dialog.mouse(MouseButton::Right);
    EXPECT_FALSE(stream.running());
    run(400);
    input.stop();

    // Onset: the first 10 ms step whose 20 ms window carries the tone; change: the first where
    // 1500 Hz outweighs 440 Hz. Either is reached when the new sound fills half the window, so
    // the sound itself begins at the window's middle.
    std::size_t onset = 0, change = 0;
    for (std::size_t at = 0; at + 2 * Hop <= recorded.size(); at += Hop) {
        const double low = PowerAt(recorded, at, 2 * Hop, 440.0), high = PowerAt(recorded, at, 2 * Hop, 1500.0);
        const double loud = std::pow(2 * Hop * 16383.0 / 4, 2); // a quarter of the full tone's power
        if (onset == 0 && low > loud)
            onset = at;
        if (onset != 0 && change == 0 && high > low && high > loud)
            change = at;
    }
    ASSERT_GT(onset, 0u) << "the tone never came back";
    ASSERT_GT(change, onset) << "the change was never heard";
    const double changeHeardMs = firstSampleMs + static_cast<double>(change + Hop) / InputRate * 1000.0;
    const double delay = changeHeardMs - moveMs;
    const double startHeardMs = firstSampleMs + static_cast<double>(onset + Hop) / InputRate * 1000.0;
    std::printf("start to speaker %.1f ms, bar move to speaker %.1f ms\n", startHeardMs - startMs, delay);
    EXPECT_GT(delay, 0.0) << "the change was recorded before the bar moved: the clock mapping is wrong";
    EXPECT_LT(delay, 100.0) << "the change was heard " << delay << " ms after the bar move";
}

} // namespace
} // namespace kelvora
