// The audio tools run by menu command through the shell, with a scripted user: the sound they
// hand back becomes a window, a cancel or an empty result none.

#include "tools/shell/shell.h"
#include "../../support/test_signals.h"

#include "../support/scripted_services.h"
#include "../support/fake_window_host.h"

#include "platform/fake_audio_output.h"
#include "platform/scripted_ui.h"
#include "tools/audio/convolution_dialog.h"
#include "tools/audio/recording_dialog.h"
#include "tools/audio/signal_generator_dialog.h"
#include "tools/audio/waveform_editor.h"
#include "tools/audio/waveform_join_dialog.h"

#include <gtest/gtest.h>

#include <numeric>

namespace kelvora {
namespace {

class AudioShellTest : public ::testing::Test, protected testing::ScriptedServices {
protected:
    AudioShellTest()
    {
        shell = std::make_unique<Shell>(session, services, windows, StandardTools());
        shell->localTime = [] { return std::tm{}; };
    }
    // A sound window as a loaded file would make it.
    DataRecord& soundWindow(std::vector<double> samples, std::uint32_t rate)
    {
        session.soundFormat.samplesPerSecond = rate;
        return *shell->CreateDataWindow(KindSound, std::move(samples), "sound.wav", Picture(750, 530), 750, 530);
    }
    std::size_t windowCount() const { return shell->records().size(); }
    const DataRecord& newest() const { return *shell->records().back(); }

    Session session;
    testing::FakeWindowHost windows;
    std::unique_ptr<Shell> shell;
};

TEST_F(AudioShellTest, EditedSoundBecomesANewWindowAtTheSoundsRate)
{
    soundWindow(testing::Ramp(16000), 11025);
    dialogs.then([](DialogModel& d) {
        d.press(WaveformEditor::KeepButton);
        d.press(WaveformEditor::KeepButton);
        d.press(IdOk);
    });
    shell->execute(CmdEdit);
    ASSERT_EQ(windowCount(), 2u);
    EXPECT_EQ(newest().samples, testing::Ramp(14399, 800));
    EXPECT_EQ(newest().sampleRate, 11025u);
    EXPECT_EQ(newest().kind, KindSound);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
}

TEST_F(AudioShellTest, CancelledOrEmptiedEditsOpenNoWindow)
{
    soundWindow(testing::Ramp(100), 8000);
    dialogs.then([](DialogModel& d) {
        d.press(WaveformEditor::KeepButton);
        d.press(WaveformEditor::DeleteButton);
        d.press(WaveformEditor::PlayButton);
        d.press(IdCancel);
    });
    shell->execute(CmdEdit);
    EXPECT_EQ(windowCount(), 1u);
    EXPECT_FALSE(output.playing());

    dialogs.then([](DialogModel& d) {
        d.scroll(WaveformEditor::MoveBar, ScrollRequest::ThumbTrack, 0);
        d.scroll(WaveformEditor::WidthBar, ScrollRequest::ThumbTrack, 2000);
        d.press(WaveformEditor::DeleteButton);
        d.press(IdOk);
    });
    shell->execute(CmdEdit);
    EXPECT_EQ(windowCount(), 1u);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, EmptyEditText);
    EXPECT_EQ(dialogs.modalCount, 2);
}

TEST_F(AudioShellTest, GeneratedSoundOpensAtTheChosenRateWithoutAnActiveSound)
{
    session.soundFormat.samplesPerSecond = 44100; // the command starts from the standard format
    dialogs.then([](DialogModel& d) {
        d.press(SignalGeneratorDialog::Rate16k);
        d.press(SignalGeneratorDialog::Rectangle);
        d.press(SignalGeneratorDialog::CreateButton);
        d.press(IdOk);
    });
    shell->execute(CmdSignalGenerator);
    ASSERT_EQ(windowCount(), 1u);
    EXPECT_EQ(newest().sampleRate, 16000u);
    ASSERT_EQ(newest().samples.size(), 8000u); // 500 ms
    // 16000 ÷ 440 = 36.4: periods of 36 samples, 18 of them at the amplitude.
    EXPECT_EQ(newest().samples[17], 15000.0);
    EXPECT_EQ(newest().samples[18], 0.0);
    EXPECT_EQ(newest().samples[36], 15000.0);

    dialogs.then([](DialogModel& d) { d.press(IdOk); }); // nothing made
    shell->execute(CmdSignalGenerator);
    dialogs.then([](DialogModel& d) {
        d.press(SignalGeneratorDialog::CreateButton);
        d.press(IdCancel);
    });
    shell->execute(CmdSignalGenerator);
    EXPECT_EQ(windowCount(), 1u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(AudioShellTest, TwoJoinRunsPutTheFirstSoundBehindTheSecond)
{
    soundWindow(testing::Ramp(300, 1000), 8000);
    dialogs.then([](DialogModel& d) {
        d.press(WaveformJoinDialog::SaveButton);
        d.press(IdCancel);
    });
    shell->execute(CmdJoin);
    EXPECT_EQ(windowCount(), 1u);

    soundWindow(testing::Ramp(200, -100), 8000);
    dialogs.then([](DialogModel& d) {
        d.press(WaveformJoinDialog::PasteButton);
        d.press(IdOk);
    });
    shell->execute(CmdJoin);
    ASSERT_EQ(windowCount(), 3u);
    std::vector<double> expected = testing::Ramp(200, -100);
    const std::vector<double> first = testing::Ramp(300, 1000);
    expected.insert(expected.end(), first.begin(), first.end());
    EXPECT_EQ(newest().samples, expected);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::W));
}

TEST_F(AudioShellTest, AStoredImpulseResponseIsAppliedToTheNextSound)
{
    soundWindow({1000.0, 0.0, 500.0}, 8000); // a room: the sound and an echo two samples later
    dialogs.then([](DialogModel& d) {
        d.press(ConvolutionDialog::SaveButton);
        d.press(IdCancel);
    });
    shell->execute(CmdConvolution);
    EXPECT_EQ(windowCount(), 1u);

    soundWindow({0.0, 3.0, 0.0, 0.0, 0.0}, 8000);
    dialogs.then([](DialogModel& d) {
        d.press(ConvolutionDialog::ConvolveRadio);
        d.press(ConvolutionDialog::RunButton);
        d.press(IdOk);
    });
    shell->execute(CmdConvolution);
    ASSERT_EQ(windowCount(), 3u);
    const std::vector<double>& wet = newest().samples;
    ASSERT_EQ(wet.size(), 16u); // 2^k > 5 + 3
    const double expected[] = {0, 16380, 0, 8190, 0, 0, 0, 0};
    for (std::size_t n = 0; n < 8; ++n)
        EXPECT_NEAR(wet[n], expected[n], 1e-6) << n;
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::W));
}

TEST_F(AudioShellTest, RecordingMakesAWindowAndItsExtendedVariantKeepsNothing)
{
    session.soundFormat.samplesPerSecond = 44100; // recording resets the format to 8000 Hz
    auto recordTwoBlocks = [this](DialogModel& d) {
        input.script.assign(2, std::vector<std::int16_t>(RecordingBlockLength, 7));
        d.press(RecordingDialog::RecordButton);
        d.timer(RecordingDialog::BlockTimer);
        d.press(IdOk);
    };
    dialogs.then(recordTwoBlocks);
    shell->execute(CmdRecord);
    ASSERT_EQ(windowCount(), 1u);
    EXPECT_EQ(newest().samples, std::vector<double>(800, 7.0));
    EXPECT_EQ(newest().sampleRate, 8000u);

    dialogs.then(recordTwoBlocks);
    shell->execute(CmdFx);
    EXPECT_EQ(windowCount(), 1u);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
}

} // namespace
} // namespace kelvora
