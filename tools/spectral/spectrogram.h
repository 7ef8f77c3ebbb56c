#pragma once
// The numbers and pictures of the spectrogram tool: the dB range of a whole sound, the levels
// of one column, the 650 × 512 colour image with its time and frequency axes in an 800 × 552
// picture, and the spectrum of one point drawn along the right edge. The dialog, the command
// line and the benchmarks share them.

#include "canvas/painter.h"
#include "tools/spectral/analysis_range.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace kelvora {

inline constexpr int SpectrogramWidth = 800, SpectrogramHeight = 552;
inline constexpr int SpectrogramColumns = SpectrogramWidth - 150; // 650
inline constexpr int SpectrogramRows = SpectrogramHeight - 40;    // 512
inline constexpr int SpectrogramLeft = 50;                        // x of column 0
inline constexpr int SliceLeft = 700;                             // the slice's margin

// The range of levels over the whole sound, found once when the tool opens.
struct DbRange {
    double max = -10000.0;
    double min = 1000.0;
};

// Frames t = 0, n, 2n, … while t < count − n, each Hann-windowed and transformed (+1); the
// largest and smallest 10·log10(re² + im² + 1e-6) over bins 0 … n/2 − 1. The initial
// −10000 / 1000 when the sound has no such frame. progressStep is called once per frame.
DbRange ScanDbRange(std::span<const double> signal, int log2Size, const std::function<void()>& progressStep = {});

// First sample of column c: start + truncate(c · width ÷ 650).
std::size_t SpectrogramFrameStart(int column, const AnalysisRange& range) noexcept;
// The bin row r shows: floor(r · (n/2) ÷ 512).
std::size_t SpectrogramBinOfRow(int row, std::size_t n) noexcept;
// True when every column's frame of n samples lies inside a sound of `count` samples.
bool SpectrogramFits(const AnalysisRange& range, std::size_t count, std::size_t n) noexcept;

// Levels 10·log10(re² + im² + 1e-11) of bins 0 … n/2 − 1 of the Hann-windowed frame of n
// samples from `frameStart`, transformed (+1). real and imag are work arrays of n values;
// window holds HannWindow(i, n) for i < n. The frame must lie inside the signal.
void SpectrumLevels(std::span<const double> signal, std::size_t frameStart, int log2Size,
                    std::span<const double> window, std::span<double> real, std::span<double> imag,
                    std::span<double> levels);

// The colour image: column c at x = 50 + c, row r at y = 511 − r, coloured
// ColourRamp(truncate(level ÷ maxDb · 1275)), levels at or below 0 dB black. Nothing is drawn when the range does not fit
// the sound. The columns are shared out among `threads` threads; each column is computed the
// same way whichever thread does it, so the picture does not depend on their number.
// progressStep is called once per 500 columns.
void DrawSpectrogramImage(Picture& picture, std::span<const double> signal, const AnalysisRange& range,
                          int log2Size, double maxDb, int threads = 2,
                          const std::function<void()>& progressStep = {});

// The time axis (ticks every 0.1 s, labels every tick for intervals under 2 s, else on whole
// seconds), the "sec    (dB)" caption and the frequency axis (ticks every 64 rows, in kHz).
void DrawSpectrogramAxes(Picture& picture, const AnalysisRange& range, std::uint32_t sampleRate, Pen axesPen);

// The slice sample for a slice bar position: truncate(position · width ÷ 2000 + start), held
// at count − n (when it is held, *heldPosition gets the bar position of the held sample).
std::size_t SliceStart(int position, const AnalysisRange& range, std::size_t count, std::size_t n,
                       int* heldPosition = nullptr) noexcept;

// The spectrum of the frame at `frameStart` along the right edge: the margin x >= 700 of rows
// 0 … 511 cleared white, a base line at y = 512, and for r = 0 … 511 the point
// (truncate(800 − (level − (min + 30)) ÷ (max − (min + 30)) · 100), 512 − r) joined in the pen.
void DrawSpectrogramSlice(Picture& picture, std::span<const double> signal, std::size_t frameStart,
                          int log2Size, const DbRange& range, Pen pen);

// The numbers behind the image: for each of the 650 columns its frame start and the level of
// each of the 512 rows (row-major, 650 × 512). Empty when the range does not fit.
struct SpectrogramLevelMatrix {
    std::vector<std::size_t> frameStarts;
    std::vector<double> levels;
};
SpectrogramLevelMatrix ComputeSpectrogramLevels(std::span<const double> signal, const AnalysisRange& range,
                                                int log2Size);

} // namespace kelvora
