// The three noise dialogs through their models: the up-down controls and their texts, what
// "開始" does to the working signal, and what every way out leaves for the frame.

#include "dsp/noise_shaping.h"
#include "dsp/spectral_subtraction.h"
#include "tools/noise/noise_creation_dialog.h"
#include "tools/noise/noise_removal_dialog.h"
#include "tools/noise/spectral_subtraction_dialog.h"
#include "util/sprintf.h"

#include "../../support/test_signals.h"
#include "../support/dialog_fixture.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using testing::DialogFixture;
using testing::UniformNoise;

const std::vector<double>& Noisy()
{
    static const std::vector<double> sound = UniformNoise(6000, 4000.0, 8);
    return sound;
}

std::vector<double> Subtracted(std::vector<double> x, const dsp::SubtractionParams& params, int times = 1)
{
    for (int i = 0; i < times; ++i)
        dsp::SpectralSubtraction(x, params);
    return x;
}

using NoiseRemoval = DialogFixture<NoiseRemovalDialog>;

TEST_F(NoiseRemoval, SpinSetsAlphaWrapsAndIsKeptForTheNextOpening)
{
    NoiseRemovalDialog& d = open(Noisy());
    EXPECT_EQ(d.control(NoiseRemovalDialog::AlphaSpin).position, 14);
    EXPECT_EQ(d.text(NoiseRemovalDialog::AlphaEdit), "14");
    EXPECT_DOUBLE_EQ(d.alpha(), 1.4);
    d.setSpinPosition(NoiseRemovalDialog::AlphaSpin, 50);
    d.stepSpin(NoiseRemovalDialog::AlphaSpin, +1); // wraps to 0
    EXPECT_EQ(d.text(NoiseRemovalDialog::AlphaEdit), "0");
    d.stepSpin(NoiseRemovalDialog::AlphaSpin, -1); // and back to 50
    d.stepSpin(NoiseRemovalDialog::AlphaSpin, -1);
    EXPECT_DOUBLE_EQ(d.alpha(), 4.9);
    d.press(IdCancel);
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), Noisy()); // an unchanged copy goes back

    NoiseRemovalDialog& again = open(Noisy());
    EXPECT_EQ(again.text(NoiseRemovalDialog::AlphaEdit), "49");
}

TEST_F(NoiseRemoval, StartProcessesWithTheDefaultHistoryAndCloses)
{
    NoiseRemovalDialog& d = open(Noisy());
    d.setSpinPosition(NoiseRemovalDialog::AlphaSpin, 20);
    d.press(NoiseRemovalDialog::StartButton);
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(d.result(), 1);
    EXPECT_EQ(d.text(NoiseRemovalDialog::StartButton), "開始");
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), Subtracted(Noisy(), {30, 3, 2.0}));
    // 6000 samples make 24 frames, one step each on the 0 … 100 bar.
    EXPECT_EQ(d.control(NoiseRemovalDialog::Progress).position, 24);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::W));
}

using Workbench = DialogFixture<SpectralSubtractionDialog>;
using W = SpectralSubtractionDialog;

TEST_F(Workbench, ParameterTextFollowsTheSpinsAndRunsRepeatOnTheResult)
{
    W& d = open(Noisy());
    EXPECT_EQ(d.text(W::ParameterText), "numl=30  slen=3 alpha=1.000000");
    d.setSpinPosition(W::NumlSpin, 20);
    d.setSpinPosition(W::SlenSpin, 5);
    d.setSpinPosition(W::AlphaSpin, 12);
    EXPECT_EQ(d.text(W::ParameterText), "numl=20  slen=5 alpha=1.200000");
    d.setSpinPosition(W::NumlSpin, 150); // typed past the end: held at 99
    EXPECT_EQ(d.text(W::NumlEdit), "99");
    d.setSpinPosition(W::NumlSpin, 20);

    d.press(W::StartButton);
    d.press(W::StartButton);
    EXPECT_FALSE(d.ended());
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), Subtracted(Noisy(), {20, 5, 1.2}, 2));
    d.press(IdOk);
    EXPECT_TRUE(d.ended());

    W& again = open(Noisy());
    EXPECT_EQ(again.text(W::ParameterText), "numl=20  slen=5 alpha=1.200000");
}

TEST_F(Workbench, PerBinAlphaIsShownAfterTheRunButNotReusedWithoutIt)
{
    W& d = open(Noisy());
    d.press(W::FixedNoiseBox);
    d.press(W::AutoAlphaBox);
    d.press(W::StartButton);
    const dsp::SubtractionParams autoParams{30, 3, 1.0, true, true};
    std::vector<double> expected = Noisy();
    const double lastAlpha = dsp::SpectralSubtraction(expected, autoParams).alpha;
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), expected);
    EXPECT_EQ(d.text(W::ParameterText), Sprintf("numl=30  slen=3 alpha=%f", lastAlpha));

    // Without 1059 the spin's alpha applies again.
    d.press(W::AutoAlphaBox);
    d.press(W::StartButton);
    dsp::SpectralSubtraction(expected, {30, 3, 1.0, true, false});
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), expected);
    EXPECT_EQ(d.text(W::ParameterText), "numl=30  slen=3 alpha=1.000000"); // the alpha this run used
}

using NoiseCreation = DialogFixture<NoiseCreationDialog>;

TEST_F(NoiseCreation, EachStartShapesTheSoundAgain)
{
    NoiseCreationDialog& d = open(Noisy(), 16000);
    d.press(NoiseCreationDialog::StartButton);
    d.press(NoiseCreationDialog::StartButton);
    std::vector<double> expected = Noisy();
    dsp::ShapePink(expected, 16000);
    dsp::ShapePink(expected, 16000);
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), expected);
    EXPECT_FALSE(d.ended());
    d.press(IdCancel);
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(session.traceSlots.samples(SlotNumber::X), expected);
}

} // namespace
} // namespace kelvora
