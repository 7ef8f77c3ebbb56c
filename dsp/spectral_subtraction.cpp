#include "dsp/spectral_subtraction.h"

#include "dsp/short_frames.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <new>
#include <optional>
#include <vector>

namespace kelvora::dsp {
namespace {

constexpr std::size_t Bins = ShortFrameSize;

// The artificial value that history slot j starts with: (j * 999999) mod 1000000 in 32-bit
// integer arithmetic, 0 for slot 0 and 1000000 - j after it. Runs of them are so steady that
// the first frames take a noise estimate near one million until real powers fill the history.
double ArtificialPower(int slot)
{
    return static_cast<double>(static_cast<std::int32_t>(slot) * 999999 % 1000000);
}

// The noise tracking of all 512 bins. The history of the rule is a row of 512 powers per frame,
// kept in a ring of numl rows: the value numbered a (the artificial slots 0 … numl - 1, then
// frame t as numl + t) lives in row a mod numl, so nothing is shifted.
//
// The history only ever moves on by one frame, so a run of slen consecutive values keeps its
// mean and variance for as long as it stays in the history. Each frame therefore computes only
// the run that ends at the new power, with the same sums in the same order as the rule's
// search, and the searched runs form a window that slides by one run per frame. Each bin keeps
// a queue of the runs that can still win, their variances rising from front to back: a new run
// removes the runs behind it with a larger variance, so the front is the smallest variance in
// the window and, of equal ones, the oldest; a NaN variance, which never wins a comparison, is
// never queued. The noise chosen is that of the direct search bit for bit, at a cost per frame
// that grows neither with slen nor with numl.
class NoiseTracker {
public:
    NoiseTracker(int numl, int slen, std::pmr::memory_resource* memory)
        : numl_(numl), slen_(slen), searchedRuns_(numl - 2 * (slen / 2)),
          searching_(slen > 0 && searchedRuns_ > 0), history_(memory), runMean_(memory),
          runVariance_(memory), queueCapacity_(std::bit_ceil(static_cast<unsigned>(std::max(searchedRuns_, 1)))),
          queue_(memory), queueFront_(memory), queueSize_(memory)
    {
        if (numl_ <= 0)
            return;
        history_.resize(static_cast<std::size_t>(numl_) * Bins);
        for (int slot = 0; slot < numl_; ++slot)
            std::fill_n(row(history_, slot), Bins, ArtificialPower(slot));
        if (!searching_)
            return;
        runMean_.resize(history_.size());
        runVariance_.resize(history_.size());
        queue_.resize(static_cast<std::size_t>(queueCapacity_) * Bins);
        queueFront_.resize(Bins);
        queueSize_.resize(Bins);
        for (int last = slen_ - 1; last < numl_; ++last)
            computeRunEndingAt(last);
        // Before the first frame the window holds the runs ending at slen … slen + runs - 2;
        // the first frame adds the one ending at slen + runs - 1.
        for (std::int64_t last = slen_; last < slen_ + searchedRuns_ - 1; ++last)
            for (std::size_t k = 0; k < Bins; ++k)
                enqueue(k, last, offsetOf(last));
    }

    // Stores the frame's powers as the newest history values and moves each bin's noise to the
    // mean of its steadiest run (strictly smallest variance below the bound, oldest first).
    void track(const ShortFrame& power, ShortFrame& noise)
    {
        if (numl_ <= 0)
            return;
        const std::int64_t newest = numl_ + frame_;
        std::copy(power.begin(), power.end(), row(history_, newest));
        if (searching_) {
            computeRunEndingAt(newest);
            // Slot j of the history holds value frame_ + 1 + j; the run starting there ends at
            // value frame_ + j + slen, for j = 0 … runs - 1.
            const std::int64_t first = frame_ + slen_;
            const std::int64_t entering = first + searchedRuns_ - 1;
            const std::size_t enteringOffset = offsetOf(entering);
            for (std::size_t k = 0; k < Bins; ++k) {
                enqueue(k, entering, enteringOffset);
                while (queueSize_[k] > 0 && front(k).run < first)
                    popFront(k);
                if (queueSize_[k] > 0 && front(k).variance < RunVarianceBound)
                    noise[k] = front(k).mean;
            }
        }
        ++frame_;
    }

private:
    double* row(std::pmr::vector<double>& table, std::int64_t value)
    {
        return table.data() + static_cast<std::size_t>(value % numl_) * Bins;
    }

    // Mean and variance (divided by slen) of the values last - slen + 1 … last, summed oldest
    // first as the rule sums them.
    void computeRunEndingAt(std::int64_t last)
    {
        double* mean = row(runMean_, last);
        double* variance = row(runVariance_, last);
        const double length = slen_;
        std::fill_n(mean, Bins, 0.0);
        for (int i = 0; i < slen_; ++i) {
            const double* values = row(history_, last - slen_ + 1 + i);
            for (std::size_t k = 0; k < Bins; ++k)
                mean[k] += values[k];
        }
        for (std::size_t k = 0; k < Bins; ++k)
            mean[k] /= length;
        std::fill_n(variance, Bins, 0.0);
        for (int i = 0; i < slen_; ++i) {
            const double* values = row(history_, last - slen_ + 1 + i);
            for (std::size_t k = 0; k < Bins; ++k) {
                const double d = values[k] - mean[k];
                variance[k] += d * d;
            }
        }
        for (std::size_t k = 0; k < Bins; ++k)
            variance[k] /= length;
    }

    // A run waiting in a bin's queue: its number, variance and mean.
    struct QueuedRun {
        std::int64_t run;
        double variance;
        double mean;
    };

    // Bin k's queue: a ring of queueCapacity_ entries (a power of two, at least the window).
    QueuedRun& slot(std::size_t k, unsigned i)
    {
        return queue_[k * queueCapacity_ + ((queueFront_[k] + i) & (queueCapacity_ - 1))];
    }
    const QueuedRun& front(std::size_t k) { return slot(k, 0); }
    void popFront(std::size_t k)
    {
        queueFront_[k] = (queueFront_[k] + 1) & (queueCapacity_ - 1);
        --queueSize_[k];
    }
    std::size_t offsetOf(std::int64_t value) const { return static_cast<std::size_t>(value % numl_) * Bins; }

    // Queues run `run`, whose row starts at `offset`, behind bin k's runs of no larger variance.
    void enqueue(std::size_t k, std::int64_t run, std::size_t offset)
    {
        const double variance = runVariance_[offset + k];
        if (std::isnan(variance))
            return;
        while (queueSize_[k] > 0 && slot(k, queueSize_[k] - 1).variance > variance)
            --queueSize_[k];
        if (queueSize_[k] == static_cast<unsigned>(searchedRuns_)) // only an expired run is this old
            popFront(k);
        slot(k, queueSize_[k]) = {run, variance, runMean_[offset + k]};
        ++queueSize_[k];
    }

    int numl_;
    int slen_;
    int searchedRuns_;
    bool searching_;
    std::int64_t frame_ = 0;
    std::pmr::vector<double> history_;
    std::pmr::vector<double> runMean_;
    std::pmr::vector<double> runVariance_;
    unsigned queueCapacity_;
    std::pmr::vector<QueuedRun> queue_;
    std::pmr::vector<unsigned> queueFront_;
    std::pmr::vector<unsigned> queueSize_;
};

// Takes noise * alpha off each bin's power, keeping the bin's phase: the bin is scaled by
// sqrt(D / P), or zeroed when D < 0 (and when P = 0, which D / P could not say). With
// autoAlpha, alpha = (2 sqrt(N P) - N) / N per bin; D is then (sqrt P - sqrt N)^2, computed in
// that form so that rounding cannot make it negative and zero a bin whose power differs from
// the noise.
void SubtractNoise(ShortFrame& real, ShortFrame& imag, const ShortFrame& power,
                   const ShortFrame& noise, bool autoAlpha, double& alpha)
{
    ShortFrame share; // D / P, or 0 for a bin that is zeroed
    if (autoAlpha) {
        for (std::size_t k = 0; k < Bins; ++k) {
            const double p = power[k], n = noise[k];
            if (n > 0.0)
                alpha = (2.0 * std::sqrt(n * p) - n) / n;
            const double magnitude = std::sqrt(p) - std::sqrt(n);
            share[k] = p == 0.0 ? 0.0 : magnitude * magnitude / p;
        }
    } else {
        for (std::size_t k = 0; k < Bins; ++k) {
            const double p = power[k];
            const double d = p - noise[k] * alpha;
            share[k] = p == 0.0 || d < 0.0 ? 0.0 : d / p;
        }
    }
    for (std::size_t k = 0; k < Bins; ++k) {
        const double gain = std::sqrt(share[k]);
        real[k] *= gain;
        imag[k] *= gain;
    }
}

void PowerOf(const ShortFrame& real, const ShortFrame& imag, ShortFrame& power)
{
    for (std::size_t k = 0; k < Bins; ++k)
        power[k] = real[k] * real[k] + imag[k] * imag[k];
}

} // namespace

SubtractionOutcome SpectralSubtraction(std::span<double> samples, const SubtractionParams& params,
                                       const std::function<void()>& frameDone,
                                       std::pmr::memory_resource* memory)
{
    SubtractionOutcome outcome{params.alpha, {}};
    const int numl = std::clamp(params.numl, 0, MaxNoiseHistory);
    const int slen = std::max(params.slen, 0);
    std::optional<NoiseTracker> tracker;
    try {
        if (!params.fixedNoise)
            tracker.emplace(numl, slen, memory);
    } catch (const std::bad_alloc&) {
        outcome.error = "メモリが足りないため雑音除去できません。音は元のままです。";
        return outcome;
    }

    ShortFrame real, imag, power, noise;
    LoadFrameSpectrum(samples, InitialNoiseStart, real, imag);
    PowerOf(real, imag, noise);

    const bool autoAlpha = params.fixedNoise && params.autoAlpha;
    OverlapAdd output(samples);
    for (std::size_t start = 0; start < samples.size(); start += ShortFrameHop) {
        LoadFrameSpectrum(samples, start, real, imag);
        PowerOf(real, imag, power);
        if (tracker)
            tracker->track(power, noise);
        SubtractNoise(real, imag, power, noise, autoAlpha, outcome.alpha);
        output.add(real, imag, start);
        if (frameDone)
            frameDone();
    }
    return outcome;
}

} // namespace kelvora::dsp
