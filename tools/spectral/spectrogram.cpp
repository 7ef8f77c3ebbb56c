#include "tools/spectral/spectrogram.h"

#include "dsp/fft.h"
#include "tools/audio/colour_ramp.h"
#include "util/sprintf.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace kelvora {
namespace {

std::vector<double> HannTable(std::size_t n)
{
    std::vector<double> window(n);
    for (std::size_t i = 0; i < n; ++i)
        window[i] = dsp::HannWindow(i, n);
    return window;
}

constexpr int CaptionLeft = 700; // x of the time axis caption

// Frame levels with the given floor under the power.
void FrameLevels(std::span<const double> signal, std::size_t frameStart, int log2Size,
                 std::span<const double> window, std::span<double> real, std::span<double> imag,
                 std::span<double> levels, double floor)
{
    const std::size_t n = std::size_t{1} << log2Size;
    for (std::size_t i = 0; i < n; ++i) {
        real[i] = signal[frameStart + i] * window[i];
        imag[i] = 0.0;
    }
    dsp::FftInPlace(real, imag, log2Size, dsp::FftForward);
    for (std::size_t k = 0; k < n / 2; ++k)
        levels[k] = 10.0 * std::log10(real[k] * real[k] + imag[k] * imag[k] + floor);
}

// Columns first, first + stride, … of the image.
void DrawColumns(QRgb* bits, qsizetype pixelsPerLine, std::span<const double> signal, const AnalysisRange& range,
                 int log2Size, std::span<const double> window, double maxDb, int first, int stride)
{
    const std::size_t n = std::size_t{1} << log2Size;
    std::vector<double> real(n), imag(n), levels(n / 2);
    for (int c = first; c < SpectrogramColumns; c += stride) {
        SpectrumLevels(signal, SpectrogramFrameStart(c, range), log2Size, window, real, imag, levels);
        for (int r = 0; r < SpectrogramRows; ++r) {
            const double level = levels[SpectrogramBinOfRow(r, n)];
            // Levels at or below 0 dB are black, also when the whole range lies below 0 dB (silence).
            const int v = level <= 0.0 || maxDb <= 0.0
                              ? 0
                              : static_cast<int>(std::min(level / maxDb * ColourRampTop, double{ColourRampTop}));
            bits[(SpectrogramRows - 1 - r) * pixelsPerLine + SpectrogramLeft + c] = ColourRamp(v) | 0xff000000u;
        }
    }
}

} // namespace

DbRange ScanDbRange(std::span<const double> signal, int log2Size, const std::function<void()>& progressStep)
{
    DbRange range;
    const std::size_t n = std::size_t{1} << log2Size;
    if (signal.size() < n)
        return range;
    const std::vector<double> window = HannTable(n);
    std::vector<double> real(n), imag(n), levels(n / 2);
    for (std::size_t t = 0; t < signal.size() - n; t += n) {
        FrameLevels(signal, t, log2Size, window, real, imag, levels, 1e-6);
        for (const double d : levels) {
            range.max = std::max(range.max, d);
            range.min = std::min(range.min, d);
        }
        if (progressStep)
            progressStep();
    }
    return range;
}

std::size_t SpectrogramFrameStart(int column, const AnalysisRange& range) noexcept
{
    return range.start + static_cast<std::size_t>(static_cast<std::uint64_t>(column) * range.width / SpectrogramColumns);
}

std::size_t SpectrogramBinOfRow(int row, std::size_t n) noexcept
{
    return static_cast<std::size_t>(row) * (n / 2) / SpectrogramRows;
}

bool SpectrogramFits(const AnalysisRange& range, std::size_t count, std::size_t n) noexcept
{
    return count >= n && SpectrogramFrameStart(SpectrogramColumns - 1, range) <= count - n;
}

void SpectrumLevels(std::span<const double> signal, std::size_t frameStart, int log2Size,
                    std::span<const double> window, std::span<double> real, std::span<double> imag,
                    std::span<double> levels)
{
    FrameLevels(signal, frameStart, log2Size, window, real, imag, levels, 1e-11);
}

void DrawSpectrogramImage(Picture& picture, std::span<const double> signal, const AnalysisRange& range,
                          int log2Size, double maxDb, int threads, const std::function<void()>& progressStep)
{
    const std::size_t n = std::size_t{1} << log2Size;
    if (!SpectrogramFits(range, signal.size(), n) || picture.width() < SpectrogramWidth ||
        picture.height() < SpectrogramRows)
        return;
    const std::vector<double> window = HannTable(n);
    // Detached here, once, so the threads write into memory that no one else shares.
    QImage& image = picture.image();
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    const qsizetype pixelsPerLine = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    threads = std::clamp(threads, 1, 8);
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(DrawColumns, bits, pixelsPerLine, signal, range, log2Size, std::span<const double>(window),
                             maxDb, t, threads);
    DrawColumns(bits, pixelsPerLine, signal, range, log2Size, window, maxDb, 0, threads);
    for (std::thread& helper : helpers)
        helper.join();
    if (progressStep)
        for (int c = 0; c < SpectrogramColumns; c += 500)
            progressStep();
}

void DrawSpectrogramAxes(Picture& picture, const AnalysisRange& range, std::uint32_t sampleRate, Pen axesPen)
{
    Painter painter(picture);
    painter.setPen(axesPen);
    const int base = SpectrogramRows; // y = 512
    painter.fillRect(QRect(0, base, picture.width(), picture.height() - base), White);
    painter.line(SpectrogramLeft, base, SpectrogramWidth, base);
    const double rate = std::max<std::uint32_t>(sampleRate, 1);
    const auto firstTenth = static_cast<long long>(static_cast<double>(range.start) * 10 / rate);
    const auto lastTenth = static_cast<long long>(static_cast<double>(range.start + range.width) * 10 / rate);
    const bool shortInterval = range.width / std::max<std::uint32_t>(sampleRate, 1) < 2;
    for (long long u = firstTenth; u <= lastTenth && range.width > 0; ++u) {
        const double at = rate * static_cast<double>(u) / 10;
        if (at <= static_cast<double>(range.start))
            continue;
        const int x = PixelCoordinate((at - static_cast<double>(range.start)) / static_cast<double>(range.width) *
                                          SpectrogramColumns + SpectrogramLeft);
        painter.line(x, base, x, base + 20);
        // The end of the axis belongs to the caption; a label there would be cut by it.
        if (x >= CaptionLeft - 10)
            continue;
        if (shortInterval)
            painter.text(x - 10, 527, Sprintf("%2.1f", static_cast<double>(u) / 10));
        else if (u % 10 == 0)
            painter.text(x - 3, 527, Sprintf("%d", static_cast<int>(u / 10)));
    }
    painter.text(CaptionLeft, 522, "sec    (dB)");

    painter.line(SpectrogramLeft, 0, SpectrogramLeft, base);
    painter.fillRect(QRect(0, 0, SpectrogramLeft, picture.height()), White);
    for (int u = 0; u < SpectrogramRows; u += 64) {
        const int y = base - u;
        painter.line(SpectrogramLeft, y, 30, y);
        painter.text(15, y - 5, Sprintf("%2.1f", rate * 0.5 * u / 512 / 1000));
    }
    painter.text(15, 0, "kHz");
}

std::size_t SliceStart(int position, const AnalysisRange& range, std::size_t count, std::size_t n,
                       int* heldPosition) noexcept
{
    const auto t = static_cast<std::size_t>(static_cast<double>(position) * static_cast<double>(range.width) / 2000 +
                                            static_cast<double>(range.start));
    if (count < n || t <= count - n)
        return count < n ? 0 : t;
    if (heldPosition != nullptr && range.width > 0)
        *heldPosition = std::max(0, static_cast<int>((static_cast<double>(count) - static_cast<double>(range.start) -
                                                      static_cast<double>(n)) *
                                                     2000 / static_cast<double>(range.width)));
    return count - n;
}

void DrawSpectrogramSlice(Picture& picture, std::span<const double> signal, std::size_t frameStart,
                          int log2Size, const DbRange& range, Pen pen)
{
    const std::size_t n = std::size_t{1} << log2Size;
    if (signal.size() < n || frameStart > signal.size() - n)
        return;
    std::vector<double> real(n), imag(n), levels(n / 2);
    SpectrumLevels(signal, frameStart, log2Size, HannTable(n), real, imag, levels);

    Painter painter(picture);
    painter.fillRect(QRect(SliceLeft, 0, picture.width() - SliceLeft, SpectrogramRows), White);
    painter.setPen(pen);
    painter.line(SpectrogramWidth, SpectrogramRows, SliceLeft, SpectrogramRows);
    const double low = range.min + 30;
    std::vector<QPoint> points;
    points.reserve(SpectrogramRows);
    for (int r = 0; r < SpectrogramRows; ++r) {
        const double level = levels[SpectrogramBinOfRow(r, n)];
        points.emplace_back(PixelCoordinate(SpectrogramWidth - (level - low) / (range.max - low) * 100),
                            SpectrogramRows - r);
    }
    painter.polyline(points);
}

SpectrogramLevelMatrix ComputeSpectrogramLevels(std::span<const double> signal, const AnalysisRange& range,
                                                int log2Size)
{
    SpectrogramLevelMatrix matrix;
    const std::size_t n = std::size_t{1} << log2Size;
    if (!SpectrogramFits(range, signal.size(), n))
        return matrix;
    const std::vector<double> window = HannTable(n);
    std::vector<double> real(n), imag(n), levels(n / 2);
    matrix.levels.reserve(std::size_t{SpectrogramColumns} * SpectrogramRows);
    for (int c = 0; c < SpectrogramColumns; ++c) {
        const std::size_t start = SpectrogramFrameStart(c, range);
        SpectrumLevels(signal, start, log2Size, window, real, imag, levels);
        matrix.frameStarts.push_back(start);
        for (int r = 0; r < SpectrogramRows; ++r)
            matrix.levels.push_back(levels[SpectrogramBinOfRow(r, n)]);
    }
    return matrix;
}

} // namespace kelvora
