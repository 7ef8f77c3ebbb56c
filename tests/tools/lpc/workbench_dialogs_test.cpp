// The lattice and adaptive-filter dialogs through their models: what a run leaves in the slots,
// the default order, the mode rule and the mends for silent errors.

#include "tools/lpc/adaptive_filter_dialog.h"
#include "tools/lpc/lattice_dialog.h"

#include "../../support/test_signals.h"
#include "../support/dialog_fixture.h"

#include <utility>

namespace kelvora {
namespace {

const std::vector<double>& Slot(const Session& session, SlotNumber slot)
{
    return session.traceSlots.samples(slot);
}

using LatticeDialogTest = testing::DialogFixture<LatticeDialog>;

TEST_F(LatticeDialogTest, OpensAtTheTractOrderAndRunsIntoTheSlots)
{
    LatticeDialog& d = open(testing::UniformNoise(1000, 3000.0, 3), 16000);
    EXPECT_EQ(d.control(LatticeDialog::OrderBar).position, 16);
    EXPECT_EQ(d.text(LatticeDialog::OrderLabel), "声道長17cmに必要な次数= 16");
    EXPECT_EQ(d.text(LatticeDialog::AlphaLabel), "a=0.9990 ");
    EXPECT_EQ(d.text(LatticeDialog::GammaLabel), "y=1.0000");

    d.scroll(LatticeDialog::OrderBar, ScrollRequest::ThumbTrack, 4);
    d.press(LatticeDialog::RunButton);
    EXPECT_EQ(d.text(LatticeDialog::RunButton), "処理中");
    EXPECT_EQ(Slot(session, SlotNumber::W).size(), 5u);
    const std::vector<double>& e = Slot(session, SlotNumber::E);
    const std::vector<double>& x = Slot(session, SlotNumber::X);
    ASSERT_EQ(x.size(), 1000u);
    ASSERT_EQ(e.size(), 1000u);
    for (std::size_t n = 0; n < x.size(); ++n)
        ASSERT_EQ(x[n], 32.0 * e[n]) << n;
    // YE is the sum of the squared coefficients: at the end, that of W.
    double sum = 0.0;
    for (double w : Slot(session, SlotNumber::W))
        sum += w * w;
    EXPECT_NEAR(Slot(session, SlotNumber::YE).back(), sum, 1e-12);
    EXPECT_EQ(d.control(LatticeDialog::Progress).position, 10); // one step per 100 samples

    // The power ratio button plots E in the dialog's own picture, not on the session's canvas.
    const Picture canvasBefore = session.resultCanvas;
    d.press(LatticeDialog::PowerRatioButton);
    EXPECT_EQ(d.text(LatticeDialog::PowerRatioButton), "EにYの平均パワを出力");
    EXPECT_EQ(session.resultCanvas, canvasBefore);
    EXPECT_NE(*d.picture(LatticeDialog::SlotPlotPicture), Picture(ResultCanvasWidth, ResultCanvasHeight));
}

using AdaptiveFilterDialogTest = testing::DialogFixture<AdaptiveFilterDialog>;

TEST_F(AdaptiveFilterDialogTest, FilterModeZeroesTheDelayAtTheNextCommand)
{
    AdaptiveFilterDialog& d = open(std::vector<double>(300, 100.0));
    EXPECT_EQ(d.text(AdaptiveFilterDialog::DelayLabel), "Ｍ=1");
    d.scroll(AdaptiveFilterDialog::DelayBar, ScrollRequest::ThumbTrack, 40);
    EXPECT_EQ(d.text(AdaptiveFilterDialog::DelayLabel), "Ｍ=40 ");
    d.press(AdaptiveFilterDialog::FilterRadio);
    EXPECT_EQ(d.control(AdaptiveFilterDialog::DelayBar).position, 0);
    EXPECT_EQ(d.text(AdaptiveFilterDialog::DelayLabel), "Ｍ=0 ");
    // The tap-length bar leaves W alone; only a run writes it, with as many weights as taps.
    session.traceSlots.fill(SlotNumber::W, {5.0, 6.0});
    d.scroll(AdaptiveFilterDialog::TapsBar, ScrollRequest::ThumbTrack, 3);
    EXPECT_EQ(Slot(session, SlotNumber::W).size(), 2u);
    d.press(AdaptiveFilterDialog::MoveButton);
    EXPECT_EQ(Slot(session, SlotNumber::YE), (std::vector<double>{5.0, 6.0}));
    d.press(AdaptiveFilterDialog::StartButton);
    EXPECT_EQ(Slot(session, SlotNumber::W).size(), 3u);
    // Back as a line enhancer the delay is 1 again, not the filter's 0.
    d.press(AdaptiveFilterDialog::EnhancerRadio);
    EXPECT_EQ(d.control(AdaptiveFilterDialog::DelayBar).position, 1);
    EXPECT_EQ(d.text(AdaptiveFilterDialog::DelayLabel), "Ｍ=1 ");
    EXPECT_EQ(d.params().delay, 1u);
}

TEST_F(AdaptiveFilterDialogTest, LineEnhancerRunScalesTheErrorIntoX)
{
    AdaptiveFilterDialog& d = open(testing::Sine(800, 440.0, 8000.0, 8000.0));
    d.press(AdaptiveFilterDialog::StartButton);
    const std::vector<double>& e = Slot(session, SlotNumber::E);
    const std::vector<double>& x = Slot(session, SlotNumber::X);
    double peak = 0.0;
    for (double v : e)
        peak = std::max(peak, std::fabs(v));
    for (std::size_t n = 0; n < x.size(); ++n)
        ASSERT_DOUBLE_EQ(x[n], e[n] / peak * 16383.5) << n;
    EXPECT_EQ(Slot(session, SlotNumber::W).size(), 200u);
    EXPECT_EQ(d.text(AdaptiveFilterDialog::RowLabel).rfind("kpk=", 0), 0u);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(AdaptiveFilterDialogTest, SilentErrorLeavesXAndSaysSo)
{
    AdaptiveFilterDialog& d = open(std::vector<double>(300, 0.0));
    d.press(AdaptiveFilterDialog::StartButton);
    EXPECT_EQ(Slot(session, SlotNumber::X), std::vector<double>(300, 0.0));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, SilentErrorText);
}

} // namespace
} // namespace kelvora
