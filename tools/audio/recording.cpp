#include "tools/audio/recording.h"

#include "canvas/painter.h"
#include "dsp/fft.h"
#include "tools/audio/colour_ramp.h"

#include <cmath>

namespace kelvora {

void RecordingDisplay::drawBlock(std::span<const std::int16_t> block)
{
    auto sample = [&](std::size_t j) { return j < block.size() ? int{block[j]} : 0; };
    const int x = column_;
    Painter painter(picture_);
    painter.fillRect(QRect(x, 0, 1, Rows), White);
    picture_.setPixel(x, WaveCentre + 1, Black); // the zero mark: a line of one pixel
    painter.setPen(BlackPen);

    painter.moveTo(x, lastWaveY_);
    for (std::size_t j = 0; j < RecordingAnalysisLength; ++j) {
        lastWaveY_ = RecordingWaveY(sample(j));
        painter.lineTo(x, lastWaveY_);
    }

    // A periodic Hann window of 256 samples, with 2π written as the display has always had it.
    real_.fill(0.0);
    imag_.fill(0.0);
    for (std::size_t j = 0; j < RecordingAnalysisLength; ++j)
        real_[j] = (1.0 - std::cos(static_cast<double>(j) * 6.283185303 * 0.00390625)) * (sample(j) * 0.5);
    dsp::FftInPlace(real_, imag_, 10, dsp::FftForward);
    for (int k = 0; k < SpectrumBins; ++k) {
        const double p = 10.0 * std::log10(real_[k] * real_[k] + imag_[k] * imag_[k] + 0.000001);
        if (p > maximum_)
            maximum_ = p;
        if (p < minimum_)
            minimum_ = p;
        // Only the upper half of the range seen so far gets colours; the lower half is black.
        const int c = maximum_ == minimum_
                          ? 0
                          : static_cast<int>(((p - minimum_) / (maximum_ - minimum_) - 0.5) * 1275 * 2);
        picture_.setPixel(x, SpectrumBins - k, ColourRamp(c));
    }
    column_ = (column_ + 1) % Columns;
}

void RecordingDisplay::compose(Picture& shown) const
{
    shown = Picture(ShownWidth, ShownHeight);
    Painter painter(shown);
    const int col = column_;
    // The older part's width counts one column more than it shows, as the display always has.
    const int oldWidth = static_cast<int>(static_cast<float>(Columns - col) * ShownWidth / Columns);
    if (Columns - col - 1 > 0)
        painter.stretch(picture_, QRect(col + 1, 0, Columns - col - 1, Rows), QRect(0, 0, oldWidth, ShownHeight));
    const int newWidth = col * ShownWidth / Columns;
    if (col > 0)
        painter.stretch(picture_, QRect(0, 0, col, Rows),
                        QRect(ShownWidth - newWidth, 0, newWidth, ShownHeight));
}

} // namespace kelvora
