#pragma once
// One run of the vowel tool, apart from its dialog: the frame's FFT spectrum and LPC envelope,
// F1 and F2, and the vocal-tract areas, plus the drawing of the 800 x 400 waveform-and-spectra
// picture. The dialog, the command line and the formant track share these.

#include "canvas/picture.h"
#include "dsp/lpc.h"
#include "dsp/lpc_spectrum.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kelvora {

// The vowel tool's first area, in pixels of the chart's tract profile.
inline constexpr double VowelFirstArea = 10.0;

// Arrays of one run, sized once per frame length and order and reused.
struct VowelWork {
    dsp::LpcWorkspace lpc;
    std::vector<double> spectrumRe, spectrumIm;
    std::vector<double> spectrumDb; // P[0 .. N/2): the pre-emphasised frame's spectrum in dB
    std::vector<double> levels;     // L[0 .. N): the LPC envelope in dB
    std::vector<double> areas;      // A[0 .. p], glottis first

    void resize(std::size_t n, std::size_t order);
};

// What a run found.
struct VowelFrame {
    std::size_t start = 0;  // first sample of the frame
    std::size_t size = 0;   // N
    int log2Size = 0;
    std::size_t order = 0;  // the order analysed, kept below N/2
    dsp::FormantBins bins;
    double f1 = 0.0;        // Hz
    double f2 = 0.0;
    bool silent = false;    // no power in the frame: no formants, a flat tract
};

// Analyses the frame of `frame.size` samples at `start` (the sample after its end counts as 0
// when the frame is the signal's last): the Hann-weighted first difference's spectrum P[i] =
// 10 log10(|X|^2 + 1e-11), linear prediction of order `order` (at most LpcOrderLimit(N)) on the
// first difference over 32767, the LPC envelope, F1 and F2, and the tube areas with A0 = 10.
// `work` is resized as needed.
VowelFrame AnalyseVowel(std::span<const double> signal, std::size_t start,
                        dsp::LpcFrameLength frame, std::size_t order, unsigned sampleRate,
                        VowelWork& work);

inline constexpr int VowelPictureWidth = 800, VowelPictureHeight = 400;

// The upper half of the 800 x 400 picture: lines at y = 200 and y = 100, and the whole signal
// from (0, 100), sample i at (i * 800 / n, 100 - (x[i] / M) * 100), M the largest |sample|.
// Draws onto the picture as it is.
void DrawVowelWaveform(Picture& picture, std::span<const double> signal);

// The frame's box in the upper half: from (xs, 3) down to (xs, 197), across to (xe, 197), up
// and back, with xs and xe the frame's ends stretched over 800 pixels.
void DrawVowelFrameBox(Picture& picture, std::size_t start, std::size_t size, std::size_t count);

// The lower half: the FFT spectrum scaled by its largest value, the LPC envelope scaled between
// its extremes (a flat envelope lies on the bottom line), and an arrow with "F 1" and "F 2" at
// each formant's bin (at x = 0 for one not found).
void DrawVowelSpectra(Picture& picture, const VowelFrame& frame, const VowelWork& work);

} // namespace kelvora
