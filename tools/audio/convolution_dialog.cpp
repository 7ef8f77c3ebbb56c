#include "tools/audio/convolution_dialog.h"

#include "canvas/painter.h"
#include "dsp/convolution.h"
#include "util/available_memory.h"

#include <algorithm>

namespace kelvora {
namespace {

using C = ConvolutionDialog;

DialogTemplate ConvolutionTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = ConvolutionCaption;
    t.size = {820, 466};
    AddStripControls(t, "←編集結果", "←赤枠選択区間");
    t.pictures.push_back({1, QRect(EchoLeft, EchoTop, EchoWidth, EchoHeight)});
    const std::vector<ControlSpec> controls = {
        {C::SaveButton, K::PushButton, "Ｗへ保存（最初は必須）", QRect(50, 264, 190, 30)},
        {C::ConvolveRadio, K::RadioButton, "畳み込み", QRect(252, 261, 110, 18), 1},
        {C::DeconvolveRadio, K::RadioButton, "逆畳み込み", QRect(252, 279, 110, 18), 1},
        {C::RunButton, K::PushButton, "X・W　畳み込み\n(その後W,E,YEフリー）", QRect(366, 260, 220, 36)},
        {IdOk, K::DefaultButton, "結果作成し終了（最後）", QRect(632, 226, 170, 28)},
        {IdCancel, K::PushButton, "キャンセル", QRect(632, 262, 170, 28)},
        {C::MeasureButton, K::PushButton, "エコータイム測定", QRect(50, 414, 170, 30)},
        {-1, K::Label, "開始　　　終点　　　時間　　　エコータイム", QRect(236, 408, 440, 18)},
        {C::ResultLabel, K::Label, "Static", QRect(236, 428, 560, 18)},
    };
    t.controls.insert(t.controls.end(), controls.begin(), controls.end());
    return t;
}

int EchoX(std::size_t n, std::size_t count)
{
    return static_cast<int>(static_cast<std::uint64_t>(n) * 650 / std::max<std::size_t>(count, 1));
}

} // namespace

void DrawEchoMeasurement(Picture& band, const dsp::EchoTimeResult& result, std::size_t count)
{
    const dsp::EchoEnvelope& envelope = result.envelope;
    const double range = envelope.maxDb - envelope.minDb;
    // Rows of the band counted from its top (dialog y 300): max at 0, min at 100.
    auto y = [&](double level) {
        if (!(range > 0.0))
            return EchoHeight - 1;
        return PixelCoordinate(400 - (level - envelope.minDb) * 100 / range) - EchoTop;
    };
    Painter painter(band);
    painter.setPen(BlackPen);
    painter.moveTo(0, 0);
    for (std::size_t n = 0; n < envelope.db.size(); ++n)
        painter.lineTo(EchoX(n, count), y(envelope.db[n]));
    if (!result.ok())
        return;
    const int x0 = EchoX(result.fitStart, count), x1 = EchoX(result.fitStart + result.fitWidth, count);
    const int y0 = y(result.levelStartDb), y1 = y(result.levelEndDb);
    painter.setPen({Red, PenStyle::Solid});
    painter.line(x0, y0, x1, y1);
    if (std::abs(x1 - x0) >= std::abs(y1 - y0))
        painter.line(x0, y0 - 1, x1, y1 - 1);
    else
        painter.line(x0 - 1, y0, x1 - 1, y1);
    painter.setPen(BlackPen);
}

ConvolutionDialog::ConvolutionDialog(Session& session, Services& services)
    : StripDialog(ConvolutionTemplate(), session, services), echo_(EchoWidth, EchoHeight)
{
}

void ConvolutionDialog::init()
{
    const std::size_t count = signal().size();
    const auto start = static_cast<std::uint32_t>(static_cast<double>(count) / 5.0);
    setBars(BarPosition(start, count), BarPosition(start, count));
    setFrame({start, count > 0 ? std::max<std::uint32_t>(start, 1) : 0});
}

void ConvolutionDialog::command(int id)
{
    if (playCommand(id))
        return;
    switch (id) {
    case SaveButton: session_.traceSlots.fill(SlotNumber::W, signal()); break;
    case RunButton: run(); break;
    case MeasureButton: measure(); break;
    case IdOk: finish(true); break;
    case IdCancel: finish(false); break;
    default: break;
    }
}

void ConvolutionDialog::run()
{
    TraceSlots& traceSlots = session_.traceSlots;
    // Until a sound has been stored in W there is nothing to convolve with: the button does
    // nothing at all, as the dialog's caption already says W comes first.
    if (traceSlots.empty(SlotNumber::W))
        return;
    const dsp::ConvolutionMode mode = isChecked(ConvolveRadio)     ? dsp::ConvolutionMode::Convolve
                                      : isChecked(DeconvolveRadio) ? dsp::ConvolutionMode::Deconvolve
                                                                   : dsp::ConvolutionMode::None;
    dsp::ConvolutionResult result =
        dsp::RunConvolution(signal(), traceSlots.samples(SlotNumber::W), mode, AvailableMemoryBytes());
    if (!result.ok()) {
        // X and W stay as they were, so the user can store another W or try the other way.
        services_.messages.showMessage(result.error, "畳み込み");
        return;
    }
    // The transform's bins and the normalisation each step the bar once per 500.
    StepProgressBar(control(Progress), 2 * static_cast<long long>((result.samples.size() + 499) / 500));
    traceSlots.fill(SlotNumber::X, std::move(result.samples));
    traceSlots.clear(SlotNumber::W);
    traceSlots.clear(SlotNumber::E);
    traceSlots.clear(SlotNumber::YE);
    player_.stop();
    // An echo drawing of the old sound would no longer belong to what is shown.
    echo_ = Picture(EchoWidth, EchoHeight);
    measured_ = false;
    signalChanged();
    setFrame({0, 100});
}

void ConvolutionDialog::measure()
{
    const std::vector<double>& x = signal();
    measurement_ = dsp::MeasureEchoTime(x, frame_.start, frame_.width, session_.SampleRate());
    measured_ = true;
    StepProgressBar(control(Progress), static_cast<long long>(x.size() / 100 + measurement_.envelope.db.size() / 100));
    echo_ = Picture(EchoWidth, EchoHeight);
    DrawEchoMeasurement(echo_, measurement_, x.size());
    setText(ResultLabel, dsp::EchoTimeLabel(measurement_));
    if (!measurement_.ok())
        services_.messages.showMessage(measurement_.error, "エコータイム測定");
    invalidate();
}

const Picture* ConvolutionDialog::picture(int index) const
{
    return index == 1 ? &echo_ : StripDialog::picture(index);
}

} // namespace kelvora
