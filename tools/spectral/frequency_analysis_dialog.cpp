#include "tools/spectral/frequency_analysis_dialog.h"

#include "canvas/painter.h"
#include "tools/spectral/export_options_dialog.h"
#include "tools/spectral/notice_blink_tick.h"
#include "util/sprintf.h"

#include <algorithm>

namespace kelvora {
namespace {

using F = FrequencyAnalysisDialog;

struct SizeRadio {
    int id;
    int log2Size;
};
// In the order the radios are read; the last checked one wins.
constexpr SizeRadio SizeRadios[] = {{F::Size65536, 16}, {F::Size16384, 14}, {F::Size4096, 12},
                                    {F::Size1024, 10},  {F::Size512, 9},    {F::Size256, 8}};

struct ModeRadio {
    int id;
    dsp::AnalysisMode mode;
};
constexpr ModeRadio ModeRadios[] = {{F::ShowDb, dsp::AnalysisMode::Db},
                                    {F::ShowAutocorrelation, dsp::AnalysisMode::Autocorrelation},
                                    {F::ShowCepstrum, dsp::AnalysisMode::Cepstrum},
                                    {F::ShowPower, dsp::AnalysisMode::Power},
                                    {F::ShowAmplitude, dsp::AnalysisMode::Amplitude}};

constexpr int SizeGroup = 1, DisplayGroup = 2;

DialogTemplate FrequencyAnalysisTemplate()
{
    DialogTemplate t;
    t.caption = "周波数分析";
    t.size = {900, 596};
    const ControlKind Radio = ControlKind::RadioButton, Label = ControlKind::Label,
                      Group = ControlKind::GroupBox;
    t.controls = {
        {F::Notice, Label, "X（一番上）へ読み込んだデータを対象とします。", QRect(100, 4, 560, 20)},
        {F::PositionLabel, Label, "Static", QRect(100, 26, 560, 20)},

        {F::Progress, ControlKind::ProgressBar, "", QRect(516, 50, 370, 14)},
        {-1, Label, "動いている間は読み込み中です。\nFULLになる必要はありません。", QRect(516, 68, 370, 34)},
        {-1, Group, "分析範囲（ポイント数）", QRect(516, 106, 370, 68)},
        {F::Size65536, Radio, "65536", QRect(530, 126, 100, 20), SizeGroup},
        {F::Size16384, Radio, "16384", QRect(648, 126, 100, 20), SizeGroup},
        {F::Size4096, Radio, "4096", QRect(766, 126, 100, 20), SizeGroup},
        {F::Size1024, Radio, "1024", QRect(530, 148, 100, 20), SizeGroup},
        {F::Size512, Radio, "512", QRect(648, 148, 100, 20), SizeGroup},
        {F::Size256, Radio, "256", QRect(766, 148, 100, 20), SizeGroup},
        {-1, Label, "パソコンのメモリ容量が十分でないと、ポイント数が多いときエラーを引き起こします。",
         QRect(516, 180, 370, 34)},
        {F::HannBox, ControlKind::CheckBox, "ハニング窓関数をかける。\n変更後は左をクリック",
         QRect(516, 216, 370, 36)},

        {F::StartBar, ControlKind::HScrollBar, "", QRect(100, 258, 400, 18)},
        {F::Reminder, Label, "←ここをクリックすると実行します。", QRect(508, 258, 380, 20)},

        {-1, Group, "スペクトル", QRect(688, 296, 204, 92)},
        {F::ShowDb, Radio, "ｄB", QRect(700, 316, 180, 20), DisplayGroup},
        {F::ShowPower, Radio, "パワー", QRect(700, 340, 180, 20), DisplayGroup},
        {F::ShowAmplitude, Radio, "振幅", QRect(700, 364, 180, 20), DisplayGroup},
        {-1, Group, "他の分析内容", QRect(688, 394, 204, 114)},
        {F::ShowAutocorrelation, Radio, "自己相関", QRect(700, 414, 180, 20), DisplayGroup},
        {F::ShowCepstrum, Radio,
         "ケプストラムー黒\nリフタリング関数ー緑\nリフタリング後ー青\n包絡線ー赤",
         QRect(700, 438, 188, 66), DisplayGroup},
        {F::ExportButton, ControlKind::PushButton, "データをファイルへ書き出す。",
         QRect(688, 516, 204, 32)},

        {F::CursorBar, ControlKind::HScrollBar, "", QRect(100, 530, 572, 18)},
        {-1, Label, "V字のところまでをリフタリングします。\nピッチの半分程度が適当です。",
         QRect(100, 552, 572, 36)},
    };
    t.pictures = {{F::StripPicture, QRect(100, 50, 400, 200)},
                  {F::GraphPicture, QRect(100, 300, 572, 225)}};
    return t;
}

} // namespace

FrequencyAnalysisDialog::FrequencyAnalysisDialog(Session& session, Services& services)
    : DialogModel(FrequencyAnalysisTemplate()), session_(session), services_(services),
      state_(session.toolState<FrequencyAnalysisState>()), funnel_(StripWidth, StripHeight)
{
    bars_.ids = {StartBar, CursorBar, 1029, 1033};
    bars_.maxima = {StartBarRange, CursorBarRange};
}

std::span<const double> FrequencyAnalysisDialog::signal() const
{
    return session_.traceSlots.samples(SlotNumber::X);
}

std::uint32_t FrequencyAnalysisDialog::sampleRate() const
{
    return std::max<std::uint32_t>(session_.SampleRate(), 1);
}

GraphLayout FrequencyAnalysisDialog::layout() const
{
    return {ResultCanvasWidth, ResultCanvasHeight, sampleRate()};
}

void FrequencyAnalysisDialog::init()
{
    n_ = 1024;
    log2Size_ = 10;
    state_.arrays.Allocate(n_);
    ControlState& progress = control(Progress);
    progress.minimum = 0;
    progress.maximum = 1000;
    progress.position = 0;
    setChecked(HannBox, true);
    checkRadio(Size1024);
    checkRadio(ShowDb);
    // The checked radio is what the next command reads; an export before any click must not
    // write a section for a mode that is no longer shown.
    state_.mode = dsp::AnalysisMode::Db;

    const double rate = sampleRate();
    setText(Notice, Sprintf("フレームポイント数=%d　フレーム長=%5.2f(ms)", 1024, 1024000.0 / rate));
    const std::size_t count = signal().size();
    if (count < n_)
        startBlinking(NoticeBlink::TooLittleData);

    control(StartBar).maximum = StartBarRange;
    control(StartBar).position = state_.startPosition;
    control(CursorBar).maximum = CursorBarRange;
    control(CursorBar).position = state_.cursorPosition;
    bars_.positions = {state_.startPosition, state_.cursorPosition};
    start_ = StartSampleFor(state_.startPosition, count, n_);
    setText(PositionLabel, Sprintf("スタート→%lld(ポイント)%5.2f(ms)から幅が%d(ポイント)%5.2f(ms)の区間",
                                   static_cast<long long>(start_), static_cast<double>(start_) * 1000 / rate,
                                   static_cast<int>(n_), static_cast<double>(n_) * 1000 / rate));

    strip_ = Picture(StripWidth, StripHeight);
    graph_ = Picture(ResultCanvasWidth, ResultCanvasHeight);
    // The whole-signal band is the same for every frame: drawn once here, copied under each one.
    funnel_.setSignal(signal(), StripScale(signal()), 1000, [this] { stepProgress(); });
    strip_ = funnel_.upperBand();

    lastN_ = 1024;
    lastMode_ = dsp::AnalysisMode::Db;
    invalidate();
}

void FrequencyAnalysisDialog::readRadios()
{
    for (const SizeRadio& radio : SizeRadios)
        if (isChecked(radio.id)) {
            log2Size_ = radio.log2Size;
            n_ = std::size_t{1} << radio.log2Size;
        }
    state_.mode = checkedDisplayMode();
}

dsp::AnalysisMode FrequencyAnalysisDialog::checkedDisplayMode() const
{
    dsp::AnalysisMode mode = state_.mode;
    for (const ModeRadio& radio : ModeRadios)
        if (isChecked(radio.id))
            mode = radio.mode;
    return mode;
}

void FrequencyAnalysisDialog::command(int id)
{
    readRadios();
    if (n_ != state_.arrays.size)
        state_.arrays.Allocate(n_);
    if (n_ != lastN_ || state_.mode != lastMode_) {
        startBlinking(NoticeBlink::Reminder);
        state_.graphPeak = 0.0;
        lastN_ = n_;
        lastMode_ = state_.mode;
    }
    if (id == IdCancel)
        close();
    else if (id == ExportButton)
        exportNumbers();
}

void FrequencyAnalysisDialog::scroll(int id, ScrollRequest request, int thumb)
{
    const int index = StepScrollBar(*this, request, thumb, id, bars_, session_.lastScrollBarIndex);
    state_.startPosition = bars_.positions[0];
    state_.cursorPosition = bars_.positions[1];
    if (index == 0)
        analyse();
    else if (index == 1)
        redrawWithCursor();
}

void FrequencyAnalysisDialog::analyse()
{
    setText(Reminder, "");
    const std::span<const double> samples = signal();
    if (samples.size() < n_) {
        startBlinking(NoticeBlink::TooLittleData);
        return;
    }
    setText(Notice, "選んだデータを対象とする。");
    const std::uint32_t rate = sampleRate();
    start_ = StartSampleFor(state_.startPosition, samples.size(), n_);
    setText(PositionLabel,
            Sprintf("切出し開始%lld(ポイント) %lld(ms)から幅%d(ポイント)%lld(ms)の区間",
                    static_cast<long long>(start_), static_cast<long long>(start_ * 1000 / rate),
                    static_cast<int>(n_), static_cast<long long>(n_ * 1000 / rate)));

    const dsp::AnalysisParams params{log2Size_, start_, checkedDisplayMode(), isChecked(HannBox)};
    const auto step = [this] { stepProgress(); };
    AnalyseAndDraw(samples, params, state_.arrays, graph_, state_.graphPeak, layout(), step);
    funnel_.drawInterval(strip_, start_, std::span<const double>(state_.arrays.frame).first(n_));

    stopTimer(BlinkTimer);
    state_.blink.count = 0;
    invalidate();
}

void FrequencyAnalysisDialog::redrawWithCursor()
{
    const double cursor = static_cast<double>(state_.cursorPosition) / CursorBarRange;
    RedrawGraph(state_.arrays, log2Size_, GraphKindFor(checkedDisplayMode()), cursor, graph_,
                state_.graphPeak, layout(), [this] { stepProgress(); });
    invalidate();
}

void FrequencyAnalysisDialog::timer(int id)
{
    if (id == BlinkTimer)
        TickNoticeBlink(*this, state_.blink, {BlinkTimer, Reminder, Notice}, n_);
}

void FrequencyAnalysisDialog::startBlinking(int state)
{
    state_.blink.state = state;
    startTimer(BlinkTimer, BlinkMilliseconds);
}

void FrequencyAnalysisDialog::stepProgress()
{
    ControlState& progress = control(Progress);
    progress.position += 1;
    if (progress.position > progress.maximum)
        progress.position = progress.minimum;
}

void FrequencyAnalysisDialog::exportNumbers()
{
    ExportOptions& options = state_.exportOptions;
    ExportOptionsDialog optionsDialog(options, state_.mode);
    services_.dialogs.runModal(optionsDialog);
    if (options.cancelled) {
        options.cancelled = false;
        return;
    }
    const auto path = services_.files.chooseSaveFile("Wave-FFT.txt", {{"Text files {*.txt}", "*.txt"}}, "txt");
    if (!path)
        return;
    setCaption(*path); // the chosen path becomes the dialog's title
    const files::Status written =
        WriteAnalysisExport(*path, state_.arrays.Export(log2Size_, state_.mode, sampleRate()), options);
    options.cancelled = false;
    if (!written)
        services_.messages.showMessage(written.error().message, "書き出せません");
}

void FrequencyAnalysisDialog::close()
{
    if (session_.resultCanvas.isNull())
        session_.resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight);
    const QRect whole(0, 0, graph_.width(), graph_.height());
    Painter(session_.resultCanvas).stretch(graph_, whole, whole);
    state_.arrays.Free();
    endDialog(1);
}

const Picture* FrequencyAnalysisDialog::picture(int index) const
{
    if (index == StripPicture)
        return &strip_;
    if (index == GraphPicture)
        return &graph_;
    return nullptr;
}

} // namespace kelvora
