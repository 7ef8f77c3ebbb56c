#pragma once
// The editing dialogs' two-band waveform picture: the whole signal at fixed scale above, with
// the chosen interval framed in red, and that interval stretched over the full width and scaled
// to its own peak below. Drawn into an 800 x 200 bitmap and shown shrunk to 650 x 120.

#include "canvas/picture.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace kelvora {

inline constexpr int StripWidth = 800;
inline constexpr int StripHeight = 200;
inline constexpr int StripShownWidth = 650;
inline constexpr int StripShownHeight = 120;
// Rows of the shown strip that the play cursor covers: the lower band.
inline constexpr int StripCursorTop = 60;
inline constexpr int StripCursorBottom = 120;

// Lowest and highest sample of any run of a signal, from per-block extremes, so that a long run
// costs a few block look-ups instead of a pass over its samples. The signal is borrowed: it
// must outlive the index and keep its samples while the index is used.
class SampleExtremes {
public:
    SampleExtremes() = default;
    explicit SampleExtremes(std::span<const double> signal);

    // (lowest, highest) of samples [begin, end); end > begin and end <= the signal's size.
    std::pair<double, double> range(std::size_t begin, std::size_t end) const;

private:
    static constexpr std::size_t Block = 64;
    std::span<const double> signal_;
    std::vector<double> blockMin_;
    std::vector<double> blockMax_;
};

class WaveformStrip {
public:
    WaveformStrip();

    // Draws the strip of `signal` with the frame start … start + width − 1 (samples; clipped to
    // the signal). The whole-signal band is drawn once per signal and reused, so moving the frame
    // costs only the framed interval. Call signalChanged() whenever the samples change in place;
    // a new address or size is noticed by itself. Returns how many times the drawing would step
    // a progress bar (once per 1000 samples of each band). Samples are expected to be finite.
    int draw(std::span<const double> signal, std::uint32_t start, std::uint32_t width);
    void signalChanged() { cacheValid_ = false; }

    // The 800 x 200 drawing, and the 650 x 120 picture the dialog shows (with the cursor).
    const Picture& bitmap() const { return bitmap_; }
    const Picture& shown() const { return shown_; }

    // Shows the strip again with a red play cursor at column x of the shown picture over the
    // lower band, penWidth columns wide; a column outside the picture draws nothing.
    void showCursor(int x, int penWidth);
    // Shows the strip without a cursor.
    void hideCursor() { shown_ = plainShown_; }

private:
    Picture bitmap_;
    Picture upper_;      // white, divider, upper zero line and the whole signal
    Picture plainShown_; // bitmap_ shrunk, without cursor
    Picture shown_;
    SampleExtremes extremes_;
    bool cacheValid_ = false;
    const double* cachedData_ = nullptr;
    std::size_t cachedSize_ = 0;
};

// The same strip drawn one segment per sample, step by step as the dialogs describe it; kept
// as the reference that the fast drawing above must match pixel for pixel.
Picture DrawWaveformStripEverySegment(std::span<const double> signal, std::uint32_t start,
                                      std::uint32_t width);

// Shrinks a picture the way the dialogs show their strips: every shown pixel is the bitwise AND
// of the source pixels it covers, so thin dark or red lines on white survive the shrinking.
Picture ShrinkKeepingLines(const Picture& source, int width, int height);

} // namespace kelvora
