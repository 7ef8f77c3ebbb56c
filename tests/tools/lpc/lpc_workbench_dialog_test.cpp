// The LPC workbench dialog through its model: frame text, refusal of short sounds, the slots a
// run leaves, and the row bar's text and drawing checked against values summed directly.

#include "tools/lpc/lpc_workbench_dialog.h"

#include "../../support/test_signals.h"
#include "../support/dialog_fixture.h"
#include "util/sprintf.h"

#include <cmath>
#include <regex>
#include <utility>

namespace kelvora {
namespace {

using LpcWorkbenchDialogTest = testing::DialogFixture<LpcWorkbenchDialog>;
using D = LpcWorkbenchDialog;

// k1 = r1 / r0 of the circular autocorrelation of the Hann-windowed frame of n at s.
double FirstReflection(const std::vector<double>& x, std::size_t s, std::size_t n)
{
    const auto w = [&](std::size_t i) {
        return x[s + i] * 0.5 * (1.0 - std::cos(6.283185303 * static_cast<double>(i) / static_cast<double>(n)));
    };
    double r0 = 0.0, r1 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        r0 += w(i) * w(i);
        r1 += w(i) * w((i + 1) % n);
    }
    return r1 / r0;
}

TEST_F(LpcWorkbenchDialogTest, FrameTextAndShortSoundRefusal)
{
    D& d = open(std::vector<double>(300, 1.0), 8000);
    EXPECT_TRUE(d.isChecked(D::Frame256));
    EXPECT_EQ(d.control(D::OrderBar).position, 8);
    d.press(D::Frame512);
    d.press(D::Frame256); // the third radio, captioned "128", is 256 points
    EXPECT_EQ(d.text(D::FrameText), "フレームポイント数=256\nフレーム長=32.00(ms)\n最適は30ms");
    d.press(D::Frame512);
    d.press(D::RunButton);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "データ量が513(ポイント)より少ないので動きません");
    EXPECT_EQ(std::as_const(session.traceSlots).samples(SlotNumber::X), std::vector<double>(300, 1.0));
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::Y));
}

TEST_F(LpcWorkbenchDialogTest, RowTextShowsSevenReflectionCoefficients)
{
    const std::vector<double> x = testing::UniformNoise(16000, 6000.0, 4);
    D& d = open(x, 16000);
    EXPECT_EQ(d.control(D::OrderBar).position, 16);
    d.press(D::ReflectionRadio);
    d.press(D::RunButton);
    // 16000 / 256 + 1 = 63 row steps over 500 rows: frame 10 (at 2560) is row 500·10/63 = 79.
    d.scroll(D::RowBar, ScrollRequest::ThumbTrack, 79);
    const std::string text = d.text(D::RowLabel);
    EXPECT_EQ(text.rfind(Sprintf("79 1=%5.3f 2=", FirstReflection(x, 2560, 512)), 0), 0u) << text;
    EXPECT_TRUE(std::regex_match(text, std::regex("79( [1-7]=-?[0-9]\\.[0-9]{3}){7}"))) << text;

    // X is 30 × Y; without a partner in W, YE is silence of X's length.
    const TraceSlots& traceSlots = session.traceSlots;
    ASSERT_EQ(traceSlots.samples(SlotNumber::X).size(), x.size());
    for (std::size_t i = 0; i < x.size(); i += 97)
        ASSERT_EQ(traceSlots.samples(SlotNumber::X)[i], 30.0 * traceSlots.samples(SlotNumber::Y)[i]);
    EXPECT_EQ(traceSlots.samples(SlotNumber::YE), std::vector<double>(x.size(), 0.0));
}

// Row of the autocorrelation at order 1: (1, r1), two points. The polyline starts at the zero
// line (0, 125), goes to (0, 125 − 75) = (0, 50) and on to (200, trunc(125 − 75 r1)).
TEST_F(LpcWorkbenchDialogTest, RowPolylineFollowsItsFormula)
{
    const std::vector<double> x = testing::Sine(1000, 500.0, 8000.0, 9000.0);
    D& d = open(x, 8000);
    d.scroll(D::OrderBar, ScrollRequest::ThumbTrack, 1);
    d.press(D::AutocorrelationRadio);
    d.press(D::RunButton);
    d.scroll(D::RowBar, ScrollRequest::ThumbTrack, 0);
    const Picture& p = *d.picture(D::WavePicture);
    const double r1 = FirstReflection(x, 0, 256);
    const int y1 = static_cast<int>(125.0 - r1 * 200 * 3 * 0.125);
    EXPECT_EQ(p.pixel(0, 50), Black);
    EXPECT_EQ(p.pixel(0, 100), Black);
    EXPECT_EQ(p.pixel(0, 49), White);
    EXPECT_EQ(p.pixel(200, y1), Black);
    EXPECT_EQ(p.pixel(201, y1), White); // the polyline ends at x = 200
    EXPECT_EQ(p.pixel(390, 125), Black); // the zero line at 5/8 of the height
    EXPECT_EQ(p.pixel(390, 124), White);
}

} // namespace
} // namespace kelvora
