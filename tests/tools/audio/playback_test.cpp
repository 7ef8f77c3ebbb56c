// The shared player on a fake output with a manual clock: what is played, the cursor, the end
// of the buffer, restarting, stopping, and playing without a device.

#include "tools/audio/playback.h"

#include "platform/fake_audio_output.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

class CountingDialog : public DialogModel {
public:
    CountingDialog() : DialogModel(DialogTemplate{"player", {100, 100}, {}, {}}) {}
    void audioDone() override { ++done; }
    int done = 0;
};

bool CursorAt(const WaveformStrip& strip, int x)
{
    return strip.shown().pixel(x, StripCursorTop) == Red && strip.shown().pixel(x, StripCursorBottom - 1) == Red;
}

class PlaybackTest : public ::testing::Test {
protected:
    PlaybackTest() { strip.draw(signal, 0, 8000); }

    CountingDialog dialog;
    PlaybackState state;
    platform::FakeAudioOutput output;
    WaveformStrip strip;
    std::vector<double> signal = std::vector<double>(16000, 100.0);
};

TEST_F(PlaybackTest, PlaysTheIntervalSaturatedTo16Bits)
{
    const std::vector<double> loud = {0.0, 40000.7, -40000.0, 1.9, -1.9, 32767.5, -32768.9, 7.0};
    DialogPlayer player(dialog, state, &output);
    player.play(loud, 1, 6, 16000);
    EXPECT_EQ(output.buffer, (std::vector<std::int16_t>{32767, -32768, 1, -1, 32767, -32768}));
    EXPECT_EQ(state.buffer, output.buffer);
    EXPECT_EQ(output.rate, 16000u);
    EXPECT_TRUE(player.playing());
    ASSERT_EQ(dialog.timers().count(PlayTimer), 1u);
    EXPECT_EQ(dialog.timers().at(PlayTimer), 25);
}

TEST_F(PlaybackTest, TheCursorFollowsThePositionOverTheLowerBand)
{
    DialogPlayer player(dialog, state, &output);
    player.play(signal, 4000, 8000, 8000);
    output.advance(500); // 4000 of 8000 samples: half way, 325 of 650 columns
    const auto before = dialog.revision();
    EXPECT_TRUE(player.tick(strip));
    EXPECT_EQ(state.position, 4000u);
    EXPECT_TRUE(CursorAt(strip, 325));
    EXPECT_NE(strip.shown().pixel(325, StripCursorTop - 1), Red);
    EXPECT_GT(dialog.revision(), before);
    output.advance(250); // the next tick erases the old cursor
    EXPECT_TRUE(player.tick(strip));
    EXPECT_TRUE(CursorAt(strip, 487)); // 6000 × 650 ÷ 8000 = 487.5
    EXPECT_FALSE(CursorAt(strip, 325));
}

TEST_F(PlaybackTest, TheEndOfTheBufferStopsTheTimerAndTellsTheDialogOnce)
{
    DialogPlayer player(dialog, state, &output);
    player.play(signal, 0, 800, 8000); // 100 ms
    output.advance(99);
    EXPECT_EQ(dialog.done, 0);
    output.advance(1);
    EXPECT_EQ(dialog.done, 1);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(dialog.timers().count(PlayTimer), 0u);
    EXPECT_FALSE(player.tick(strip));
    output.advance(1000);
    EXPECT_EQ(dialog.done, 1);
}

TEST_F(PlaybackTest, PlayingAgainCutsOffAndStartsTheNewIntervalFromItsBeginning)
{
    DialogPlayer player(dialog, state, &output);
    player.play(signal, 0, 8000, 8000);
    output.advance(300);
    std::vector<double> other(100, -5.0);
    player.play(other, 0, 1, 8000); // one sample: a two-byte buffer
    EXPECT_EQ(output.playCount, 2);
    EXPECT_EQ(output.buffer, std::vector<std::int16_t>{-5});
    EXPECT_EQ(output.position(), 0u);
    EXPECT_EQ(dialog.done, 0); // the first sound was cut off, not finished
    output.advance(1);
    EXPECT_EQ(dialog.done, 1);
}

TEST_F(PlaybackTest, StopAndDestructionEndPlayingWithoutAReport)
{
    {
        DialogPlayer player(dialog, state, &output);
        player.play(signal, 0, 8000, 8000);
        player.stop();
        EXPECT_FALSE(output.playing());
        EXPECT_EQ(dialog.timers().count(PlayTimer), 0u);
        player.play(signal, 0, 8000, 8000);
    }
    EXPECT_FALSE(output.playing());
    output.advance(5000);
    EXPECT_EQ(dialog.done, 0);
    EXPECT_EQ(state.buffer.size(), 8000u); // the buffer outlives the dialog until the next play
}

TEST_F(PlaybackTest, WithoutADeviceNothingPlaysAndNoCursorIsDrawn)
{
    output.deviceAvailable = false;
    std::vector<std::string> notices;
    output.setUnavailableHandler([&](const std::string& text) { notices.push_back(text); });
    DialogPlayer player(dialog, state, &output);
    player.play(signal, 0, 100, 8000);
    player.play(signal, 0, 100, 8000);
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(player.tick(strip));
    EXPECT_EQ(dialog.timers().count(PlayTimer), 0u);
    EXPECT_EQ(notices, std::vector<std::string>{platform::NoAudioDeviceNotice});

    DialogPlayer silent(dialog, state, nullptr);
    silent.play(signal, 0, 100, 8000);
    EXPECT_FALSE(silent.playing());
    EXPECT_FALSE(silent.tick(strip));
}

TEST_F(PlaybackTest, TheCursorOfALongSoundDoesNotWrapRound)
{
    // 650 × position passes 2^32 beyond 6.6 million samples.
    const std::vector<double> longSound(6'800'000, 0.0);
    DialogPlayer player(dialog, state, &output);
    player.play(longSound, 0, 6'800'000, 44100);
    output.advance(6'800'000 * 1000ULL / 44100 / 2); // half way
    ASSERT_TRUE(player.tick(strip));
    EXPECT_TRUE(CursorAt(strip, 324) || CursorAt(strip, 325));
}

} // namespace
} // namespace kelvora
