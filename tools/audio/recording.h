#pragma once
// The pieces of the recording dialog that do not depend on a device: the take that grows by
// one block at a time, and the scrolling display of one column per block (a spectrogram of
// 0 … 4 kHz over a waveform strip) with the two stretched copies that show it.

#include "canvas/picture.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvora {

inline constexpr std::uint32_t RecordingRate = 8000;
inline constexpr std::size_t RecordingBlockLength = 400;   // 50 ms
inline constexpr std::size_t RecordingAnalysisLength = 256; // samples of a block drawn and analysed

// Everything recorded so far. Appending a block costs amortised constant time: the storage
// grows geometrically instead of being copied whole for every block.
class RecordingTake {
public:
    void append(std::span<const std::int16_t> block) { samples_.insert(samples_.end(), block.begin(), block.end()); }
    std::size_t size() const { return samples_.size(); }
    std::span<const std::int16_t> samples() const { return samples_; }
    std::size_t capacityBytes() const { return samples_.capacity() * sizeof(std::int16_t); }
    // The take as the samples of a working signal (16-bit values, unscaled).
    std::vector<double> toDoubles() const { return {samples_.begin(), samples_.end()}; }

private:
    std::vector<std::int16_t> samples_;
};

// The 90 × 683 picture of the last 4.5 s: bins k = 0 … 511 of each block's spectrum at
// y = 512 − k, the waveform strip centred on y = 597, one column per block.
class RecordingDisplay {
public:
    static constexpr int Columns = 90, Rows = 683;
    static constexpr int SpectrumBins = 512;
    static constexpr int WaveCentre = Rows * 7 / 8; // 597
    static constexpr int WaveHalfHeight = Rows / 8;  // 85
    static constexpr int ShownWidth = 450, ShownHeight = 300;

    RecordingDisplay() : picture_(Columns, Rows) {}

    // Draws one block (its first RecordingAnalysisLength samples) into the current column and
    // moves on to the next: column cleared white, zero mark, the waveform stroke joined to the
    // previous column, and the spectrum coloured over the upper half of the dB range seen so far.
    // A shorter block counts its missing samples as 0.
    void drawBlock(std::span<const std::int16_t> block);

    // The two stretched copies of the paint: the oldest columns on the left, the newest at the
    // right edge; the column to be written next is not shown. `shown` becomes 450 × 300.
    void compose(Picture& shown) const;

    const Picture& picture() const { return picture_; }
    int column() const { return column_; }
    double maximum() const { return maximum_; }
    double minimum() const { return minimum_; }

private:
    Picture picture_;
    int column_ = 0;
    int lastWaveY_ = 0;
    double maximum_ = -10000.0;
    double minimum_ = 1000.0;
    std::array<double, 1024> real_{};
    std::array<double, 1024> imag_{};
};

// y of sample s in the waveform strip: 597 − trunc(s · 85 ÷ 32767), in integer arithmetic.
constexpr int RecordingWaveY(int sample) noexcept
{
    return RecordingDisplay::WaveCentre - sample * RecordingDisplay::WaveHalfHeight / 32767;
}

} // namespace kelvora
