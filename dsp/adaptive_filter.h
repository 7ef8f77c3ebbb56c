#pragma once
// A normalised LMS transversal filter with a leak, run sample by sample over a sound, either as
// an adaptive line enhancer (the filter sees the sound M samples late and predicts the sound
// itself, so it keeps what is periodic) or as an adaptive filter (it sees the sound and is
// driven towards a separate reference).

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace kelvora::dsp {

enum class AdaptiveMode { LineEnhancer, Filter };

struct AdaptiveFilterParams {
    AdaptiveMode mode = AdaptiveMode::LineEnhancer;
    std::size_t delay = 1;          // M: input delay of the line enhancer (forced to 0 as a filter)
    std::size_t taps = 200;         // L, at least 1
    std::size_t referenceDelay = 0; // D: delay of the reference in filter mode
    double mu = 0.1;                // step factor of the normalised update
    double leak = 1.0;              // β: each weight is multiplied by it before the update
    friend bool operator==(const AdaptiveFilterParams&, const AdaptiveFilterParams&) = default;
};

// The smoothed input and error powers; the dialog keeps them from one run to the next.
struct SmoothedPowers {
    double input = 0.0; // Px
    double error = 0.0; // Pe
};

inline constexpr std::size_t WeightHistoryRows = 100;

struct AdaptiveFilterResult {
    std::vector<double> output;  // y, one per input sample
    std::vector<double> error;   // e = desired − y, one per input sample
    std::vector<double> weights; // the final L weights
    // Row r (0 .. 99) holds the weights after the last sample n with trunc(100 n / count) = r;
    // rows no sample maps to stay zero. Row-major, L values per row, 101 rows.
    std::vector<double> history;
    double weightMaximum = 0.0; // the largest |weight| seen during the run
};

// Runs the filter over x from the weights (0.1, 0, …, 0). In filter mode the desired signal is
// reference[n − D], read as 0 before its start and past its end, so a reference of any length is
// safe. Updates `powers` at every sample with Px = (x² + 1000 Px) / 1001 and likewise Pe.
// `progress`, if given, is called once every 100 samples.
AdaptiveFilterResult RunAdaptiveFilter(std::span<const double> x, std::span<const double> reference,
                                       const AdaptiveFilterParams& params, SmoothedPowers& powers,
                                       const std::function<void()>& progress = {});

// 10 log10(Pe / Px): how far the error power lies below the input power, in dB.
double ErrorToInputDb(const SmoothedPowers& powers);

// The samples (the filter's error, as X gets it) scaled so that their largest magnitude is half
// of full scale (32767 × 0.5); nothing when they are all zeros, which cannot be scaled.
std::vector<double> ScaledToHalfFullScale(std::span<const double> samples);

} // namespace kelvora::dsp
