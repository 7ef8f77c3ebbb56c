#pragma once
// Removal of stationary noise by spectral subtraction. Every 512-sample frame (hop 256) is
// transformed; each bin's noise power is either tracked, as the mean of the steadiest run of
// `slen` consecutive powers among the bin's last `numl` frame powers, or fixed at the power of
// the frame at sample 500; alpha times that noise power is taken off the bin's power while the
// bin keeps its phase, and the frames are added back together.

#include <cstddef>
#include <functional>
#include <memory_resource>
#include <span>
#include <string>

namespace kelvora::dsp {

// Frames a bin's history can hold: numl is at most this.
inline constexpr int MaxNoiseHistory = 99;
// The first sample of the frame that gives the initial noise estimate.
inline constexpr std::size_t InitialNoiseStart = 500;
// Runs whose variance is not below this never become the noise estimate.
inline constexpr double RunVarianceBound = 1.1e9;

struct SubtractionParams {
    int numl = 30;         // frames kept per bin, 0 … 99 (values outside are clamped)
    int slen = 3;          // length of the runs whose steadiness is compared, >= 0
    double alpha = 1.4;    // over-subtraction factor
    bool fixedNoise = false; // keep the initial noise estimate instead of tracking
    bool autoAlpha = false;  // with fixedNoise: alpha per bin, (2 sqrt(N P) - N) / N

    bool operator==(const SubtractionParams&) const = default;
};

struct SubtractionOutcome {
    // alpha as the run left it: the last per-bin value with autoAlpha, else params.alpha.
    double alpha = 0.0;
    std::string error; // Japanese text for the user; empty on success

    [[nodiscard]] bool ok() const noexcept { return error.empty(); }
};

// Replaces `samples` with the noise-reduced sound of the same length, in place. `frameDone` is
// called once per frame. The bins' histories and run sums (under 3 MB) come from `memory`; when they
// cannot be had, the samples are left unchanged and the outcome says so.
// A sound shorter than 1012 samples gets its initial estimate from the samples that exist,
// zero beyond the end. With slen 0 or 2 (slen / 2) >= numl no run is searched and the initial
// estimate stays; numl 0 keeps no history at all.
SubtractionOutcome SpectralSubtraction(std::span<double> samples, const SubtractionParams& params,
                                       const std::function<void()>& frameDone = {},
                                       std::pmr::memory_resource* memory = std::pmr::get_default_resource());

} // namespace kelvora::dsp
