#include "tools/spectral/optimal_order_dialog.h"

#include "tests/support/vowel_signal.h"
#include "tests/tools/spectral/spectral_test_support.h"
#include "tests/tools/support/dialog_fixture.h"
#include "tools/spectral/order_graph.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora {
namespace {

using O = OptimalOrderDialog;
using testing::ShowsTextAt;

std::vector<double> VowelA()
{
    return testing::SyntheticVowel(8000, 8000.0, {{800, 80}, {1200, 90}, {2500, 150}});
}

class OptimalOrderTest : public testing::DialogFixture<OptimalOrderDialog> {
protected:
    void Run(int position) { dialog->scroll(O::StartBar, ScrollRequest::ThumbTrack, position); }
};

TEST_F(OptimalOrderTest, OpensWithItsDefaults)
{
    open(VowelA());
    EXPECT_EQ(dialog->caption(), "AIC");
    EXPECT_TRUE(dialog->isChecked(O::Aic));
    EXPECT_TRUE(dialog->isChecked(O::Size256));
    EXPECT_TRUE(dialog->isChecked(O::PreemphasisBox));
    EXPECT_EQ(dialog->text(O::Notice), "フレームポイント数=256\nフレーム長=32.00(ms)");
    EXPECT_EQ(dialog->text(O::PositionLabel), "スタート→40(ポイント) 5.00(ms)から幅が256(ポイント)32.00(ms)の区間");
    EXPECT_TRUE(dialog->timers().empty());
}

TEST_F(OptimalOrderTest, ARunMarksTheLowestCriterion)
{
    open(VowelA());
    Run(2500);
    EXPECT_EQ(dialog->start(), 4000u);
    EXPECT_EQ(dialog->text(O::PositionLabel), "切出し開始4000(ポイント) 500(ms)から幅256(ポイント)32(ms)の区間");
    EXPECT_EQ(dialog->text(O::Notice), "X（一番上）へ読み込んだデータを対象とする。");
    const auto& criteria = dialog->criteria();
    EXPECT_EQ(criteria[0], 0.0);
    const std::size_t k = dialog->optimum().order;
    for (std::size_t p = 0; p < 100; ++p)
        EXPECT_GE(criteria[p], criteria[k]) << p;
    // Three resonances need about six coefficients.
    EXPECT_GE(k, 4u);
    const Picture& graph = dialog->graph();
    const int x = 5 * static_cast<int>(k);
    EXPECT_EQ(graph.pixel(x, 100), Black);
    EXPECT_EQ(graph.pixel(x, 80), Black);
    EXPECT_EQ(graph.pixel(x + 4, 90), Black);

    // 1024 points: a changed size asks for a run, and the run uses it.
    dialog->press(O::Size1024);
    EXPECT_EQ(dialog->timers().count(O::BlinkTimer), 1u);
    dialog->timer(O::BlinkTimer);
    EXPECT_EQ(dialog->text(O::Reminder), "←ここをクリック。(下図を更新すべきです.)");
    Run(2500);
    EXPECT_EQ(dialog->analysisSize(), 1024u);
    EXPECT_TRUE(dialog->timers().empty());
    EXPECT_EQ(dialog->text(O::Reminder), "");
}

TEST_F(OptimalOrderTest, SilenceSaysWhyTheGraphIsFlat)
{
    open(std::vector<double>(2000, 0.0));
    Run(1000);
    EXPECT_EQ(dialog->text(O::Notice), "無音の区間なので基準値が求まりません。");
    for (int x : {0, 250, 495})
        EXPECT_EQ(dialog->graph().pixel(x, 100), Black) << x;
    EXPECT_TRUE(ShowsTextAt(dialog->graph(), 10, 140, "無音の区間なので基準値が求まりません。", 200));

    dialog->press(O::Fpe);
    Run(1000);
    EXPECT_EQ(dialog->text(O::Notice), "どの次数でも基準値が同じなので、最適次数は決まりません。");
}

TEST_F(OptimalOrderTest, TooLittleDataBlinksAndClosingStretchesTheGraph)
{
    open(std::vector<double>(100, 5.0));
    EXPECT_EQ(dialog->timers().count(O::BlinkTimer), 1u);
    Run(10);
    dialog->timer(O::BlinkTimer);
    EXPECT_EQ(dialog->text(O::Notice), "データ量が256(ポイント)より少ないので動きません");
    EXPECT_EQ(dialog->criteria()[0], 0.0); // nothing analysed

    open(VowelA());
    Run(2500);
    session.NewResultCanvas();
    dialog->press(IdOk);
    EXPECT_EQ(dialog->result(), 1);
    // The 572 x 225 graph stretched over 750 x 530: its optimum's arrow tip (5k, 100) lands
    // near (5k * 750 / 572, 100 * 530 / 225).
    const int k = static_cast<int>(dialog->optimum().order);
    EXPECT_EQ(session.resultCanvas.pixel(5 * k * 750 / 572, 100 * 530 / 225), Black);
}

TEST(OrderGraphDrawing, CurveAndMarkerFollowTheScale)
{
    std::vector<double> criteria(100);
    for (std::size_t p = 0; p < 100; ++p)
        criteria[p] = (static_cast<double>(p) - 30.0) * (static_cast<double>(p) - 30.0);
    const dsp::OrderOptimum optimum = dsp::FindOptimalOrder(criteria);
    Picture graph(OrderGraphWidth, OrderGraphHeight);
    DrawOrderGraph(graph, criteria, optimum);
    // Lowest 0 at p = 30, highest 69^2 = 4761 at p = 99: y = trunc(100 - v / 4761 * 100).
    EXPECT_EQ(graph.pixel(150, 100), Black);
    EXPECT_EQ(graph.pixel(146, 90), Black);
    EXPECT_EQ(graph.pixel(154, 90), Black);
    EXPECT_EQ(graph.pixel(150, 80), Black);
    EXPECT_EQ(graph.pixel(0, static_cast<int>(100 - 900.0 / 4761 * 100)), Black);
    EXPECT_EQ(graph.pixel(495, 0), Black);
    EXPECT_EQ(graph.pixel(250, static_cast<int>(100 - 400.0 / 4761 * 100)), Black);
    EXPECT_TRUE(ShowsTextAt(graph, 130, 60, "最適次数(X軸)=30", 90));
    EXPECT_TRUE(ShowsTextAt(graph, 130, 110, "最小値(Y軸)= 0.00", 90));
}

} // namespace
} // namespace kelvora
