// The workbenches' slot rules: the smoothed power ratio of Y, the W→YE move, and the dialog that
// opens a slot as a new sound window through the shell.

#include "tools/lpc/open_slot_dialog.h"
#include "tools/lpc/trace_slot_ops.h"
#include "tools/shell/shell.h"

#include "../support/fake_window_host.h"
#include "../support/scripted_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace kelvora {
namespace {

// y = (0, 2): at n = 0 the mean is still 0, so 0 dB. At n = 1, m = 2/101 and
// v = (m − 2)² / 101, so v / m² = (100/101)² · 101 = 10000 / 101.
TEST(TraceSlotOps, PowerRatioWorkedByHandAndSilenceStaysFinite)
{
    const std::vector<double> ratio = SmoothedPowerRatioDb(std::vector<double>{0.0, -2.0});
    EXPECT_EQ(ratio[0], 0.0);
    EXPECT_NEAR(ratio[1], 10.0 * std::log10(10000.0 / 101.0), 1e-12);

    TraceSlots traceSlots;
    traceSlots.fill(SlotNumber::Y, std::vector<double>(50, 0.0));
    ASSERT_TRUE(YPowerRatio(traceSlots));
    const std::vector<double>& e = std::as_const(traceSlots).samples(SlotNumber::E);
    ASSERT_EQ(e.size(), 50u);
    for (double value : e)
        EXPECT_EQ(value, 0.0); // a flat line, not 10 log10(0/0)

    TraceSlots nothing;
    nothing.fill(SlotNumber::E, {1.0});
    EXPECT_FALSE(YPowerRatio(nothing));
    EXPECT_EQ(std::as_const(nothing).samples(SlotNumber::E), std::vector<double>{1.0});
}

TEST(TraceSlotOps, MoveWToYE)
{
    TraceSlots traceSlots;
    traceSlots.fill(SlotNumber::W, {1.0, 2.0, 3.0});
    ASSERT_TRUE(MoveWToYE(traceSlots));
    EXPECT_EQ(std::as_const(traceSlots).samples(SlotNumber::YE), (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(std::as_const(traceSlots).samples(SlotNumber::W), (std::vector<double>{0.0, 0.0, 0.0}));

    // With W empty or of no samples, YE ends empty as well.
    for (bool zeroLength : {false, true}) {
        TraceSlots empty;
        if (zeroLength)
            empty.fill(SlotNumber::W, {});
        empty.fill(SlotNumber::YE, {4.0});
        EXPECT_FALSE(MoveWToYE(empty));
        EXPECT_TRUE(empty.empty(SlotNumber::YE));
    }
}

class OpenSlotTest : public ::testing::Test, protected testing::ScriptedServices {
protected:
    Session session;
    testing::FakeWindowHost windows;
};

TEST_F(OpenSlotTest, OpensTheChosenSlotAsANewSoundAndKeepsTheSlot)
{
    Shell shell(session, services, windows, StandardTools());
    session.traceSlots.fill(SlotNumber::Y, {1.0, -2.0, 3.0});
    dialogs.then([](DialogModel& d) {
        EXPECT_FALSE(d.control(IdOk).enabled); // W is empty
        d.press(OpenSlotDialog::YRadio);
        EXPECT_EQ(d.text(OpenSlotDialog::SlotText), "Y：　3点");
        d.press(IdOk);
    });
    shell.execute(CmdOpenSlot);
    ASSERT_EQ(shell.records().size(), 1u);
    EXPECT_EQ(shell.records()[0]->samples, (std::vector<double>{1.0, -2.0, 3.0}));
    EXPECT_EQ(std::as_const(session.traceSlots).samples(SlotNumber::Y), (std::vector<double>{1.0, -2.0, 3.0}));
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));

    dialogs.then([](DialogModel& d) { d.press(IdCancel); });
    shell.execute(CmdOpenSlot);
    EXPECT_EQ(shell.records().size(), 1u);

    // Small values (coefficients, dB curves) can be opened at half of full scale: 32767 / 2 / 1.
    session.traceSlots.fill(SlotNumber::E, {0.5, -1.0});
    dialogs.then([](DialogModel& d) {
        d.press(OpenSlotDialog::ERadio);
        d.press(OpenSlotDialog::NormaliseBox);
        d.press(IdOk);
    });
    shell.execute(CmdOpenSlot);
    ASSERT_EQ(shell.records().size(), 2u);
    EXPECT_EQ(shell.records()[1]->samples, (std::vector<double>{8191.75, -16383.5}));
}

} // namespace
} // namespace kelvora
