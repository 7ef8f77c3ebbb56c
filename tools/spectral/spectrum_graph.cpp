#include "tools/spectral/spectrum_graph.h"

#include "canvas/painter.h"
#include "dsp/fft.h"
#include "canvas/column_polyline.h"
#include "util/sprintf.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cmath>

namespace kelvora {
namespace {

constexpr int AxisX = 60;
constexpr double DbRange = 110.0;

bool Usable(const SpectrumGraphArrays& arrays, int log2Size)
{
    if (log2Size < 1 || log2Size > dsp::FftMaxLog2Size)
        return false;
    const std::size_t n = std::size_t{1} << log2Size;
    return arrays.real.size() >= n && arrays.imag.size() >= n && arrays.display.size() >= n &&
           arrays.lifterWindow.size() >= n && arrays.liftered.size() >= n &&
           arrays.envelope.size() >= n;
}

bool IsCorrelationKind(GraphKind kind)
{
    return kind == GraphKind::Autocorrelation || kind == GraphKind::Cepstrum;
}

// value / scale, read as 0 when there is no scale yet (an all-zero analysis): a curve along
// its zero level instead of coordinates computed from 0/0.
double Ratio(double value, double scale)
{
    return scale > 0.0 ? value / scale : 0.0;
}

// y of a plotted value, per kind, truncated toward zero.
struct CurveY {
    GraphKind kind;
    double h;
    double scale;

    int operator()(double d) const
    {
        switch (kind) {
        case GraphKind::Db: return PixelCoordinate(-(d / DbRange) * h);
        case GraphKind::Autocorrelation:
        case GraphKind::Cepstrum: return PixelCoordinate(h - ((Ratio(d, scale) + 1.0) / 2.0) * h);
        case GraphKind::Power:
        case GraphKind::Amplitude:
            return PixelCoordinate(scale > 0.0 ? h - 0.8 * h * d / scale : h);
        }
        return 0;
    }
};

// The last column a text's glyphs colour when drawn at x = 0, found by drawing it: font
// metrics round the ink box, and a label must neither be cut nor moved needlessly.
int InkRight(const std::string& text)
{
    const int advance = QFontMetrics(ProgramFont()).horizontalAdvance(QString::fromUtf8(text.c_str()));
    Picture scratch(advance + 8, TextPixelSize + 8);
    Painter(scratch).text(0, 0, text);
    for (int x = scratch.width() - 1; x >= 0; --x)
        for (int y = 0; y < scratch.height(); ++y)
            if (scratch.pixel(x, y) != White)
                return x;
    return 0;
}

// A text that starts at x moved left just enough to end inside a picture `width` wide: the
// last tick label of a long lag axis and the cursor texts near the right edge stay readable.
int FitRight(int x, const std::string& text, int width)
{
    return std::min(x, width - 1 - InkRight(text));
}

void StepEvery1000(std::size_t points, const std::function<void()>& progressStep)
{
    if (!progressStep)
        return;
    for (std::size_t i = 0; i < points; i += 1000)
        progressStep();
}

void DrawCurves(Painter& painter, const SpectrumGraphData& data, const GraphLayout& layout,
                const std::function<void()>& progressStep)
{
    const std::size_t n = std::size_t{1} << data.log2Size;
    const std::size_t half = n / 2;
    const double h = layout.PlotHeight();
    const int hh = layout.PlotHeight() / 2;
    const CurveY curveY{data.kind, h, data.scale};
    auto x = [&](std::size_t i) { return layout.X(i, n); };

    painter.setPen(BlackPen);
    const auto mainY = [&](std::size_t i) { return curveY(data.display[i]); };
    DrawColumnPolyline(painter, half, x, mainY,
                       IsCorrelationKind(data.kind) ? std::optional<QPoint>(QPoint(AxisX, 0))
                                                    : std::nullopt);
    StepEvery1000(half, progressStep);
    if (!IsCorrelationKind(data.kind))
        return;

    const QPoint origin(AxisX, 0);
    painter.setPen({Green, PenStyle::Solid});
    DrawColumnPolyline(
        painter, data.lifterPoints, x,
        [&](std::size_t k) { return PixelCoordinate(hh - data.lifterWindow[k] * hh); }, origin);

    painter.setPen({Blue, PenStyle::Solid});
    DrawColumnPolyline(painter, data.lifterPoints, x,
                       [&](std::size_t k) { return curveY(data.liftered[k]); }, origin);

    // A flat envelope (always so without a cursor) has no scale: 0/0 would place it anywhere.
    if (!data.envelopeRange.drawable())
        return;
    const double low = data.envelopeRange.min;
    const double span = static_cast<double>(data.envelopeRange.max) - low;
    painter.setPen({Red, PenStyle::Solid});
    DrawColumnPolyline(
        painter, half, x,
        [&](std::size_t i) { return PixelCoordinate(h - ((data.envelope[i] - low) / span) * h); },
        origin);
    StepEvery1000(half, progressStep);
}

void DrawAxes(Painter& painter, const SpectrumGraphData& data, const GraphLayout& layout)
{
    const int w = layout.width, bigH = layout.height;
    const int h = layout.PlotHeight(), hh = h / 2;
    painter.setPen(BlackPen);
    painter.line(AxisX, 0, AxisX, h);
    painter.line(AxisX, h, w, h);

    switch (data.kind) {
    case GraphKind::Db:
        for (int t = 0; t <= 5; ++t) {
            const int yt = static_cast<int>(h * t / 5.5);
            painter.line(AxisX, yt, AxisX + 10, yt);
            painter.text(20, t == 0 ? 0 : yt - 7, Sprintf("%4d", -20 * t));
        }
        painter.text(0, 8, "(dB)");
        break;
    case GraphKind::Autocorrelation:
        painter.line(AxisX, hh, w, hh);
        painter.text(20, 0, "1");
        painter.text(20, hh, "0");
        painter.text(20, h, "-1");
        painter.text(0, 30, "cor");
        break;
    case GraphKind::Cepstrum: painter.line(AxisX, hh, w, hh); break;
    case GraphKind::Power:
    case GraphKind::Amplitude: {
        const int tick = static_cast<int>(0.2 * h);
        painter.line(AxisX, tick, AxisX + 10, tick);
        painter.text(80, static_cast<int>(0.1 * h), Sprintf("%2.1e", data.scale));
        painter.text(20, h, "0");
        painter.text(10, 8, data.kind == GraphKind::Power ? "パワ" : "振幅");
        break;
    }
    }

    const std::uint64_t rate = std::max<std::uint32_t>(layout.sampleRate, 1);
    const std::uint64_t n = std::uint64_t{1} << data.log2Size;
    for (int t = 0; t <= 4; ++t) {
        const int xt = (w - AxisX) * t / 4;
        const int x = t == 4 ? xt + 59 : xt + 60;
        painter.line(x, h, x, bigH - 50);
        const std::uint64_t value = IsCorrelationKind(data.kind)
                                        ? n * static_cast<std::uint64_t>(t) * 125 / rate
                                        : ((rate * static_cast<std::uint64_t>(t) / 4) / 1000) / 2;
        const std::string label = Sprintf("%llu", static_cast<unsigned long long>(value));
        painter.text(t == 4 ? FitRight(xt + 45, label, w) : xt + 55, bigH - 30, label);
    }
    const char* unit = data.kind == GraphKind::Autocorrelation ? "τ(ms)"
                       : data.kind == GraphKind::Cepstrum      ? "(ms)"
                                                               : "(kHz)";
    painter.text(w - 100, bigH - 20, unit);
}

void DrawCursor(Painter& painter, const SpectrumGraphData& data, const GraphLayout& layout)
{
    const double c = data.cursor;
    const std::size_t n = std::size_t{1} << data.log2Size;
    const std::size_t k = std::min(static_cast<std::size_t>(static_cast<double>(n / 2) * c), n - 1);
    const double x = (layout.width - AxisX) * c + AxisX;
    const double h = layout.PlotHeight();
    const double d = data.display[k];
    const std::uint32_t rate = std::max<std::uint32_t>(layout.sampleRate, 1);
    const double nd = static_cast<double>(n);

    double y = 0.0;
    std::string a, b;
    switch (data.kind) {
    case GraphKind::Db:
    case GraphKind::Power:
    case GraphKind::Amplitude:
        a = Sprintf("%6.3f(kHz)", (rate / 2) * c / 1000);
        if (data.kind == GraphKind::Db) {
            y = -(d / DbRange) * h;
            b = Sprintf("%6.3f(dB)", d);
        } else {
            y = data.scale > 0.0 ? h - 0.8 * h * d / data.scale : h;
            b = Sprintf("%e", d);
        }
        break;
    case GraphKind::Autocorrelation:
        y = h - ((Ratio(d, data.scale) + 1.0) * 0.5) * h;
        a = Sprintf("%6.2f(ms)", nd * c * 1000 * 0.5 / rate);
        b = Sprintf("%6.4f", Ratio(d, data.scale));
        break;
    case GraphKind::Cepstrum: {
        y = h - ((Ratio(d, data.scale) + 1.0) * 0.5) * h;
        const double q = nd * c * 0.5 / rate; // quefrency in seconds
        a = Sprintf("%6.2f(ms) = %6.2f(Hz) ", q * 1000, 1 / q);
        b = Sprintf("%6.4f", Ratio(d, data.scale));
        break;
    }
    }

    painter.setPen(BlackPen);
    const int px = PixelCoordinate(x), py = PixelCoordinate(y);
    painter.line(px, py, PixelCoordinate(x + 10), PixelCoordinate(y - 80));
    painter.line(px, py, PixelCoordinate(x - 10), PixelCoordinate(y - 80));
    const double dx = c > 0.5 ? -100 : 25;
    const double dy = y > layout.height / 2 ? -200 : 20;
    // Both lines stay inside the picture, also for a point far off it (the cepstrum at lag 0).
    const int textY = std::clamp(PixelCoordinate(y + dy), 0, std::max(0, layout.height - 30 - TextPixelSize - 2));
    const int textX = PixelCoordinate(x + dx);
    painter.text(FitRight(textX, a, layout.width), textY, a);
    painter.text(FitRight(textX, b, layout.width), textY + 30, b);
}

} // namespace

GraphKind GraphKindFor(dsp::AnalysisMode mode) noexcept
{
    switch (mode) {
    case dsp::AnalysisMode::Db: return GraphKind::Db;
    case dsp::AnalysisMode::Autocorrelation: return GraphKind::Autocorrelation;
    case dsp::AnalysisMode::Cepstrum: return GraphKind::Cepstrum;
    case dsp::AnalysisMode::Power: return GraphKind::Power;
    case dsp::AnalysisMode::Amplitude: return GraphKind::Amplitude;
    }
    return GraphKind::Db;
}

int GraphLayout::X(std::size_t i, std::size_t n) const noexcept
{
    const std::size_t half = std::max<std::size_t>(n / 2, 1);
    return AxisX + static_cast<int>(static_cast<long long>(i) * (width - AxisX) /
                                    static_cast<long long>(half));
}

SpectrumGraphData ComputeSpectrumGraph(const SpectrumGraphArrays& arrays, int log2Size,
                                       GraphKind kind, double cursor, double& graphPeak)
{
    SpectrumGraphData data;
    data.kind = kind;
    data.log2Size = log2Size;
    data.cursor = cursor;
    if (!Usable(arrays, log2Size)) {
        data.log2Size = 0;
        return data;
    }
    const std::size_t n = std::size_t{1} << log2Size;
    // The display modes map one to one onto the graph kinds; the plotted values of the
    // autocorrelation and the cepstrum are the input itself.
    const dsp::AnalysisMode mode = kind == GraphKind::Db          ? dsp::AnalysisMode::Db
                                   : kind == GraphKind::Amplitude ? dsp::AnalysisMode::Amplitude
                                   : kind == GraphKind::Cepstrum  ? dsp::AnalysisMode::Cepstrum
                                                                  : dsp::AnalysisMode::Power;
    dsp::DisplayValues(arrays.real, mode, log2Size, arrays.display);
    const double peak = dsp::DisplayPeak(arrays.display, mode, log2Size);
    if (peak > graphPeak)
        graphPeak = peak;
    data.scale = graphPeak;

    data.display = arrays.display.first(n);
    if (IsCorrelationKind(kind)) {
        data.lifterPoints = dsp::LifterAndEnvelope(arrays.display, dsp::LifterLength(log2Size, cursor),
                                                   log2Size, arrays.lifterWindow, arrays.liftered,
                                                   arrays.envelope, arrays.imag);
        data.envelopeRange = dsp::EnvelopeRangeOf(arrays.envelope, log2Size);
        data.lifterWindow = arrays.lifterWindow.first(n);
        data.liftered = arrays.liftered.first(n);
        data.envelope = arrays.envelope.first(n);
    }
    return data;
}

void DrawSpectrumGraph(Picture& target, const SpectrumGraphData& data, const GraphLayout& layout,
                       const std::function<void()>& progressStep)
{
    if (target.isNull() || data.log2Size < 1 || data.display.size() < (std::size_t{1} << data.log2Size))
        return;
    Painter painter(target);
    DrawCurves(painter, data, layout, progressStep);
    DrawAxes(painter, data, layout);
    if (data.cursor >= 0.0)
        DrawCursor(painter, data, layout);
}

void SpectrumGraph(Picture& target, const SpectrumGraphArrays& arrays, int log2Size, GraphKind kind,
                   double cursor, double& graphPeak, const GraphLayout& layout,
                   const std::function<void()>& progressStep)
{
    const SpectrumGraphData data = ComputeSpectrumGraph(arrays, log2Size, kind, cursor, graphPeak);
    DrawSpectrumGraph(target, data, layout, progressStep);
}

} // namespace kelvora
