#include "tools/spectral/frequency_analysis_dialog.h"

#include "../support/scripted_services.h"
#include "platform/scripted_ui.h"
#include "tests/tools/spectral/spectral_test_support.h"
#include "tests/tools/support/fake_window_host.h"
#include "tests/tools/support/temp_files.h"
#include "tools/shell/shell.h"
#include "tools/spectral/export_options_dialog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace kelvora {
namespace {

using F = FrequencyAnalysisDialog;
using testing::CountPixels;
using testing::ShowsTextAt;
using testing::Sine;
using testing::TopmostIn;

std::string FirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

class FrequencyAnalysis : public ::testing::Test, protected testing::ScriptedServices {
protected:
    void Load(std::vector<double> samples, std::uint32_t rate = 8000)
    {
        session.traceSlots.fill(SlotNumber::X, std::move(samples));
        session.soundFormat.samplesPerSecond = rate;
    }
    std::unique_ptr<F> Open()
    {
        auto dialog = std::make_unique<F>(session, services);
        dialog->init();
        return dialog;
    }
    // The unwindowed 1 kHz sine of amplitude 16384 at 8000 Hz, analysed from sample 0.
    std::unique_ptr<F> OpenOnSineAndAnalyse()
    {
        Load(Sine(8000, 1000, 8000, 16384));
        auto dialog = Open();
        dialog->press(F::HannBox); // off
        dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 0);
        return dialog;
    }

    Session session;
};

TEST_F(FrequencyAnalysis, OpensWithItsDefaults)
{
    Load(std::vector<double>(10000, 0.0));
    auto dialog = Open();
    EXPECT_EQ(dialog->caption(), "周波数分析");
    EXPECT_TRUE(dialog->isChecked(F::Size1024));
    EXPECT_TRUE(dialog->isChecked(F::ShowDb));
    EXPECT_TRUE(dialog->isChecked(F::HannBox));
    EXPECT_EQ(dialog->control(F::StartBar).maximum, 5000);
    EXPECT_EQ(dialog->control(F::StartBar).position, 25);
    EXPECT_EQ(dialog->control(F::CursorBar).maximum, 1024);
    EXPECT_EQ(dialog->control(F::CursorBar).position, 100);
    EXPECT_EQ(dialog->control(F::Progress).maximum, 1000);
    EXPECT_EQ(dialog->text(F::Notice), "フレームポイント数=1024　フレーム長=128.00(ms)");
    // 25 * 10000 / 5000 = 50.
    EXPECT_EQ(dialog->text(F::PositionLabel), "スタート→50(ポイント) 6.25(ms)から幅が1024(ポイント)128.00(ms)の区間");
    EXPECT_TRUE(dialog->timers().empty());
    EXPECT_EQ(CountPixels(dialog->graph(), White), 750 * 530);
}

TEST_F(FrequencyAnalysis, SinePeaksAtMinus12DbOnBin128)
{
    auto dialog = OpenOnSineAndAnalyse();
    EXPECT_EQ(dialog->text(F::PositionLabel), "切出し開始0(ポイント) 0(ms)から幅1024(ポイント)128(ms)の区間");
    EXPECT_EQ(dialog->text(F::Notice), "選んだデータを対象とする。");
    EXPECT_EQ(dialog->text(F::Reminder), "");
    // 10 log10((16384/2/32767)^2) = -12.04 dB: y = 12.04 / 110 * 495 = 54.2, x = 60 + 128 * 690 / 512.
    const int x = 60 + 128 * 690 / 512;
    EXPECT_EQ(x, 232);
    EXPECT_EQ(dialog->graph().pixel(x, 54), Black);
    EXPECT_EQ(TopmostIn(dialog->graph(), 71, 749, Black), 54);
    EXPECT_EQ(TopmostIn(dialog->graph(), x, x, Black), 54);
}

TEST_F(FrequencyAnalysis, StartBarAtTheEndEndsTheFrameAtTheLastSample)
{
    Load(std::vector<double>(1024, 1.0));
    auto exact = Open();
    exact->scroll(F::StartBar, ScrollRequest::ThumbTrack, 5000);
    EXPECT_EQ(exact->start(), 0u);

    Load(std::vector<double>(10000, 1.0));
    auto longer = Open();
    longer->scroll(F::StartBar, ScrollRequest::ThumbTrack, 5000);
    EXPECT_EQ(longer->start(), 10000u - 1024u);
    longer->scroll(F::StartBar, ScrollRequest::ThumbTrack, 2000);
    EXPECT_EQ(longer->start(), 4000u);
    // The position is clamped to the bar and kept for the next opening.
    longer->scroll(F::StartBar, ScrollRequest::ThumbTrack, 9000);
    EXPECT_EQ(longer->control(F::StartBar).position, 5000);
    EXPECT_EQ(session.toolState<FrequencyAnalysisState>().startPosition, 5000);
}

TEST_F(FrequencyAnalysis, ArrowClickComputesTwiceWithTheSameResult)
{
    Load(Sine(20000, 440, 8000, 9000));
    auto dialog = Open();
    dialog->scroll(F::StartBar, ScrollRequest::LineRight, 0);
    const Picture first = dialog->graph();
    const std::size_t start = dialog->start();
    dialog->scroll(F::StartBar, ScrollRequest::EndScroll, 0);
    EXPECT_EQ(dialog->control(F::StartBar).position, 26);
    EXPECT_EQ(dialog->start(), start);
    EXPECT_TRUE(dialog->graph() == first);
}

TEST_F(FrequencyAnalysis, ChangingTheSizeReallocatesBlinksAndKeepsTheOldGraph)
{
    auto dialog = OpenOnSineAndAnalyse();
    const Picture before = dialog->graph();
    dialog->press(F::Size4096);
    FrequencyAnalysisState& state = dialog->state();
    EXPECT_EQ(state.arrays.size, 4096u);
    EXPECT_EQ(state.arrays.real.size(), 4096u);
    EXPECT_EQ(std::count(state.arrays.frame.begin(), state.arrays.frame.end(), 0.0), 4096);
    EXPECT_EQ(state.graphPeak, 0.0);
    ASSERT_EQ(dialog->timers().count(F::BlinkTimer), 1u);
    EXPECT_EQ(dialog->timers().at(F::BlinkTimer), 100);
    EXPECT_TRUE(dialog->graph() == before);

    for (int tick = 1; tick <= 4; ++tick) {
        dialog->timer(F::BlinkTimer);
        EXPECT_EQ(dialog->text(F::Reminder), tick % 2 ? "←ここをクリック。(下図を更新すべきです.)" : "") << tick;
    }
    EXPECT_TRUE(dialog->graph() == before);

    dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 0);
    EXPECT_EQ(dialog->text(F::PositionLabel), "切出し開始0(ポイント) 0(ms)から幅4096(ポイント)512(ms)の区間");
    EXPECT_TRUE(dialog->timers().empty());
    EXPECT_EQ(dialog->text(F::Reminder), "");
    EXPECT_FALSE(dialog->graph() == before);
    // The same sine at 4096 points: bin 512, still at x = 232 and -12.04 dB.
    EXPECT_EQ(TopmostIn(dialog->graph(), 71, 749, Black), 54);
}

TEST_F(FrequencyAnalysis, TooLittleDataBlinksTwentyTicksThenStaysAndNeverAnalyses)
{
    Load(Sine(1000, 1000, 8000, 16384));
    auto dialog = Open();
    ASSERT_EQ(dialog->timers().count(F::BlinkTimer), 1u);
    const std::string message = "データ量が1024(ポイント)より少ないので動きません";
    for (int tick = 1; tick < 20; ++tick) {
        dialog->timer(F::BlinkTimer);
        EXPECT_EQ(dialog->text(F::Notice), tick % 2 ? message : "") << tick;
        EXPECT_EQ(dialog->timers().count(F::BlinkTimer), 1u) << tick;
    }
    dialog->timer(F::BlinkTimer);
    EXPECT_TRUE(dialog->timers().empty());
    EXPECT_EQ(dialog->text(F::Notice), message);
    EXPECT_EQ(dialog->state().blink.count, 0);

    const std::string label = dialog->text(F::PositionLabel);
    dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 100);
    EXPECT_EQ(CountPixels(dialog->graph(), White), 750 * 530);
    EXPECT_EQ(dialog->text(F::PositionLabel), label);
    EXPECT_EQ(dialog->timers().count(F::BlinkTimer), 1u);

    // A size that fits the data does analyse.
    dialog->press(F::Size512);
    dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 100);
    EXPECT_LT(CountPixels(dialog->graph(), White), 750 * 530);
}

TEST_F(FrequencyAnalysis, BlinkingStopsAtTheLongestCount)
{
    Load(std::vector<double>(5000, 0.0));
    auto dialog = Open();
    dialog->press(F::Size4096);
    for (int tick = 1; tick < 500000; ++tick)
        dialog->timer(F::BlinkTimer);
    EXPECT_EQ(dialog->timers().count(F::BlinkTimer), 1u);
    dialog->timer(F::BlinkTimer);
    EXPECT_TRUE(dialog->timers().empty());
    EXPECT_EQ(dialog->state().blink.count, 0);
    EXPECT_EQ(dialog->state().blink.state, NoticeBlink::Reminder);
}

TEST_F(FrequencyAnalysis, CursorBarRedrawsWithTheReadingOfTheCurve)
{
    auto dialog = OpenOnSineAndAnalyse();
    dialog->scroll(F::CursorBar, ScrollRequest::ThumbTrack, 256); // c = 0.25: bin 128
    const Picture& graph = dialog->graph();
    EXPECT_EQ(graph.pixel(232, 54), Black);
    // y = 54.2 is in the upper half: the texts sit 25 right of and 20 below the V.
    EXPECT_TRUE(ShowsTextAt(graph, 257, 74, " 1.000(kHz)"));
    EXPECT_TRUE(ShowsTextAt(graph, 257, 104, "-12.041(dB)"));
    EXPECT_EQ(session.toolState<FrequencyAnalysisState>().cursorPosition, 256);
}

TEST_F(FrequencyAnalysis, ChangingTheDisplayOnlyMarksTheGraphStale)
{
    auto dialog = OpenOnSineAndAnalyse();
    EXPECT_DOUBLE_EQ(dialog->state().graphPeak, 110.0);
    const Picture before = dialog->graph();
    dialog->press(F::ShowPower);
    EXPECT_EQ(dialog->state().graphPeak, 0.0);
    EXPECT_EQ(dialog->state().mode, dsp::AnalysisMode::Power);
    EXPECT_EQ(dialog->timers().count(F::BlinkTimer), 1u);
    EXPECT_TRUE(dialog->graph() == before);
    // The cursor draws the new kind from the arrays as they stand (here the power spectrum).
    dialog->scroll(F::CursorBar, ScrollRequest::ThumbTrack, 0);
    EXPECT_TRUE(ShowsTextAt(dialog->graph(), 10, 8, "パワ", 26));
    const double p = (8192.0 / 32767.0) * (8192.0 / 32767.0);
    EXPECT_NEAR(dialog->state().graphPeak, p, 1e-9);
}

TEST_F(FrequencyAnalysis, StripDrawnFromTheCacheEqualsAFullRedraw)
{
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, 3000);
    std::vector<double> x(50000);
    for (double& v : x)
        v = noise(random);
    Load(x);
    auto dialog = Open();
    dialog->press(F::Size4096);
    dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 1234);
    const std::size_t start = 1234 * 50000 / 5000;
    ASSERT_EQ(dialog->start(), start);
    std::vector<double> frame(4096);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = x[start + i] * 0.5 * (1 - std::cos(6.283185303 * static_cast<double>(i) / 4096));
    Picture full(800, 400);
    DrawFunnelStripFully(full, x, StripScale(x), start, frame);
    EXPECT_TRUE(dialog->strip() == full);
    // The funnel leaves the upper band at the interval's ends.
    EXPECT_EQ(dialog->strip().pixel(static_cast<int>(800 * start / 50000), 10), Black);
}

TEST_F(FrequencyAnalysis, ClosingHandsTheGraphOverAndKeepsTheSettings)
{
    auto dialog = OpenOnSineAndAnalyse();
    dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 300);
    dialog->press(F::Size256);
    session.NewResultCanvas();
    dialog->press(IdCancel);
    EXPECT_TRUE(dialog->ended());
    EXPECT_EQ(dialog->result(), 1);
    EXPECT_TRUE(session.resultCanvas == dialog->graph());
    EXPECT_EQ(session.toolState<FrequencyAnalysisState>().arrays.size, 0u);

    auto again = Open();
    EXPECT_EQ(again->analysisSize(), 1024u);
    EXPECT_TRUE(again->isChecked(F::Size1024));
    EXPECT_EQ(again->control(F::StartBar).position, 300);
    EXPECT_EQ(again->state().arrays.size, 1024u);
}

TEST_F(FrequencyAnalysis, ShellRunsTheToolAndMakesAPictureWindow)
{
    testing::FakeWindowHost windows;
    session.soundFormat.samplesPerSecond = 8000;
    Shell shell(session, services, windows, StandardTools());
    shell.CreateDataWindow(KindSound, Sine(8000, 1000, 8000, 16384), "sine.wav", Picture(750, 530), 750, 530);
    dialogs.then([](DialogModel& dialog) {
        dialog.press(F::HannBox);
        dialog.scroll(F::StartBar, ScrollRequest::ThumbTrack, 0);
    });
    shell.execute(CmdFrequencyAnalysis);
    EXPECT_EQ(dialogs.modalCount, 1);
    ASSERT_EQ(shell.records().size(), 2u);
    const DataRecord& made = *shell.records().back();
    EXPECT_EQ(made.kind, KindPicture);
    EXPECT_EQ(windows.active, &made);
    EXPECT_EQ(made.picture.pixel(232, 54), Black);
    EXPECT_EQ(TopmostIn(made.picture, 71, 749, Black), 54);
    EXPECT_TRUE(session.traceSlots.empty(SlotNumber::X));
}

class FrequencyAnalysisExport : public FrequencyAnalysis {
protected:
    testing::TempDir temp;
};

TEST_F(FrequencyAnalysisExport, WritesTheChosenColumnsAndTakesThePathAsCaption)
{
    auto dialog = OpenOnSineAndAnalyse();
    dialogs.then([](DialogModel& save) {
        save.press(ExportOptionsDialog::FrequencyBox);
        save.press(ExportOptionsDialog::OkButton);
    });
    const std::string path = temp.file("out.txt");
    files.answer(path);
    dialog->press(F::ExportButton);
    EXPECT_EQ(files.lastProposedName, "Wave-FFT.txt");
    ASSERT_EQ(files.lastFilters.size(), 1u);
    EXPECT_EQ(files.lastFilters[0].description, "Text files {*.txt}");
    EXPECT_EQ(files.lastFilters[0].pattern, "*.txt");
    EXPECT_EQ(files.lastDefaultExtension, "txt");
    EXPECT_EQ(FirstLine(path), "周波数\tｄB\t");
    EXPECT_EQ(dialog->caption(), path);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(dialog->state().exportOptions.cancelled);
}

TEST_F(FrequencyAnalysisExport, CancelInTheOptionsOrTheChooserWritesNothing)
{
    auto dialog = OpenOnSineAndAnalyse();
    dialogs.then([](DialogModel& save) { save.press(ExportOptionsDialog::CancelButton); });
    dialog->press(F::ExportButton);
    EXPECT_EQ(files.saveCount, 0);
    EXPECT_FALSE(dialog->state().exportOptions.cancelled);

    // The close box is not a cancel: the chooser still comes, and cancelling it writes nothing.
    dialogs.then([](DialogModel&) {});
    files.answer(std::nullopt);
    dialog->press(F::ExportButton);
    EXPECT_EQ(files.saveCount, 1);
    EXPECT_EQ(dialog->caption(), "周波数分析");
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(temp.file("x")).parent_path()));
}

TEST_F(FrequencyAnalysisExport, ExportingLeavesTheAnalysisAsItWas)
{
    Load(Sine(20000, 180, 8000, 12000));
    auto dialog = Open();
    dialog->press(F::ShowCepstrum);
    dialog->scroll(F::StartBar, ScrollRequest::ThumbTrack, 100);
    const auto exportTo = [&](const std::string& path) {
        dialogs.then([](DialogModel& save) { save.press(ExportOptionsDialog::OkButton); });
        files.answer(path);
        dialog->press(F::ExportButton);
        return testing::ReadBytes(path);
    };
    // Before the cursor ever moved there is no envelope yet: its rows read 0.
    exportTo(temp.file("none.txt"));
    std::ifstream in(temp.file("none.txt"));
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    EXPECT_EQ(line, "0.000000\t0.000000");

    dialog->scroll(F::CursorBar, ScrollRequest::ThumbTrack, 60);
    const Picture graph = dialog->graph();
    const auto first = exportTo(temp.file("a.txt"));
    const auto second = exportTo(temp.file("b.txt"));
    EXPECT_EQ(first, second);
    EXPECT_NE(first, testing::ReadBytes(temp.file("none.txt")));
    // The cursor still redraws the same graph: the export worked on arrays of its own.
    dialog->scroll(F::CursorBar, ScrollRequest::ThumbTrack, 60);
    EXPECT_TRUE(dialog->graph() == graph);
}

TEST_F(FrequencyAnalysisExport, FailuresAreReported)
{
    auto dialog = OpenOnSineAndAnalyse();
    dialogs.then([](DialogModel& save) { save.press(ExportOptionsDialog::OkButton); });
    files.answer(temp.file("no-such-folder/out.txt"));
    dialog->press(F::ExportButton);
    ASSERT_EQ(messages.messages.size(), 1u);

    // The autocorrelation of a silent frame has nothing to normalise by.
    Load(std::vector<double>(4096, 0.0));
    auto silent = Open();
    silent->press(F::ShowAutocorrelation);
    silent->scroll(F::StartBar, ScrollRequest::ThumbTrack, 0);
    dialogs.then([](DialogModel& save) { save.press(ExportOptionsDialog::OkButton); });
    const std::string path = temp.file("auto.txt");
    files.answer(path);
    silent->press(F::ExportButton);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace kelvora
