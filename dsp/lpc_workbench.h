#pragma once
// The LPC workbench's pass over a whole sound: linear prediction every half frame, the frame
// inverse-filtered through a lattice of its own reflection coefficients, the forward and
// backward errors overlap-added, one chosen quantity per frame kept in a 500-row table, and,
// when a partner sound is given, the LPC cepstral distance between the two frame by frame.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace kelvora::dsp {

enum class LpcQuantity { Coefficients, Reflection, Autocorrelation, Areas, Spectrum, Cepstrum };

struct LpcWorkbenchParams {
    int log2Size = 9;         // frame N = 2^log2Size, 8 .. 10 in the dialog; hop N/2
    std::size_t order = 16;   // p
    bool preemphasis = false; // x[n] − x[n+1] before the analysis
    LpcQuantity quantity = LpcQuantity::Areas;
    friend bool operator==(const LpcWorkbenchParams&, const LpcWorkbenchParams&) = default;
};

// 500 rows of up to 512 values: one row per group of frames, spread evenly over the sound.
class LpcResultTable {
public:
    static constexpr std::size_t Rows = 500;
    static constexpr std::size_t Width = 512;

    LpcResultTable() : values_(Rows * Width, 0.0) {}
    std::span<const double> row(std::size_t r) const { return {values_.data() + r * Width, rowLength}; }
    std::span<double> fullRow(std::size_t r) { return {values_.data() + r * Width, Width}; }
    // Valid entries per row: p + 1, or N/2 for the spectrum.
    std::size_t rowLength = 0;

private:
    std::vector<double> values_;
};

struct LpcWorkbenchResult {
    std::vector<double> forwardError;      // Y: overlap-added forward errors of the windowed frames
    std::vector<double> backwardError;     // E: likewise the backward errors
    std::vector<double> cepstralDistance;  // YE: dB per frame held over its hop; zeros without a partner
    std::size_t frames = 0;
    std::size_t lastStart = 0;             // the frame position after the last frame
};

// The fewest samples the workbench takes for a frame of n points: n + 1, so that the
// pre-emphasis of the first frame reads real samples only.
constexpr std::size_t LpcWorkbenchMinimum(std::size_t n) { return n + 1; }

// Runs the workbench over x (at least LpcWorkbenchMinimum(N) samples, else nothing) and fills
// `table` (cleared first, kept by the caller between runs). Frames start at 0, N/2, … while the
// start lies below x.size() − N. Rows no frame reaches take the values of the row before, entry
// by entry where an entry is exactly 0. With a partner of at least one frame, YE over each
// frame's hop is the cepstral distance (10 / ln 10) · sqrt(2 Σ_{i=1..p} (c_x[i] − c_w[i])²) to the
// partner's frame at the same position; frames the partner does not cover stay 0. `progress`, if
// given, is called once per frame.
std::optional<LpcWorkbenchResult> RunLpcWorkbench(std::span<const double> x, std::span<const double> partner,
                                                  const LpcWorkbenchParams& params, LpcResultTable& table,
                                                  const std::function<void()>& progress = {});

// The lattice inverse filter of one frame, in place: f and b enter as copies of the frame and
// leave as its forward and backward errors. b is delayed by one sample before the first stage and
// after every stage; stage q applies f ← f − k_q b and b ← b − k_q f, both from the values
// before the stage; b[0] is 0 at the end. k[1..p] are used.
void LatticeInverseFilter(std::span<double> f, std::span<double> b, std::span<const double> k,
                          std::size_t order) noexcept;

// The LPC cepstral distance in dB between two cepstra c[1..p].
double CepstralDistanceDb(std::span<const double> c1, std::span<const double> c2, std::size_t order) noexcept;

} // namespace kelvora::dsp
