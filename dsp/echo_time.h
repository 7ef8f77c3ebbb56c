#pragma once
// Echo-time (reverberation) measurement: the short-time energy envelope of a sound in dB, a
// least-squares line over a chosen interval of it, and the time that line takes to fall 60 dB.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvora::dsp {

// Hann-weighted window of the envelope, in samples, centred on each envelope point.
inline constexpr std::size_t EchoWindow = 100;

// Energy added before taking the logarithm, so that silent stretches read −110 dB, not −∞.
inline constexpr double EchoEnergyFloor = 1e-11;

struct EchoEnvelope {
    std::vector<double> db; // one point per sample index, from 0
    double minDb = 0.0;     // extremes of db (0 when db is empty), the plot's bottom and top
    double maxDb = 0.0;
};

struct EchoTimeResult {
    EchoEnvelope envelope;            // filled whenever the sound has one, even if the fit failed
    std::size_t fitStart = 0;         // interval the line was fitted over, clipped to the envelope
    std::size_t fitWidth = 0;
    double slopeDbPerSample = 0.0;    // the fitted line: level(n) = intercept + slope × n
    double interceptDb = 0.0;
    double levelStartDb = 0.0;        // the line at fitStart and at fitStart + fitWidth
    double levelEndDb = 0.0;
    std::int64_t widthMs = 0;         // fitWidth × 1000 ÷ rate, truncated
    bool decays = false;              // slope < 0: only then is there an echo time
    double echoMs = 0.0;              // −60000 ÷ slope ÷ rate: time for a 60 dB fall
    std::string error;                // Japanese message when no line could be fitted

    [[nodiscard]] bool ok() const noexcept { return error.empty(); }
};

// Envelope of `signal`: with `last` the index of its last non-zero sample, last − 50 points
// e[n] = 10 log10(Σ_{j<100} x[|n + j − 50|]² · HannWindow(j, 100) + EchoEnergyFloor), the energy
// of the 100 samples centred on n with indices before the start mirrored. Empty when the sound
// has no non-zero sample beyond index 50.
EchoEnvelope EnergyEnvelope(std::span<const double> signal);

// Measures the echo time of `signal` over the interval start … start + width − 1 (samples) at
// `rate` samples per second. The interval is clipped to the envelope, which ends 50 samples
// before the last non-zero sample, and must keep at least 2 points there; otherwise (and for a
// rate of 0) the result carries an error and only the envelope. A line that does not fall has
// decays false and no echo time.
EchoTimeResult MeasureEchoTime(std::span<const double> signal, std::size_t start,
                               std::size_t width, std::uint32_t rate);

// The result line of the tool: "%3.1f(dB) %3.1f(dB)  %d(ms) %3.1f(ms) " with both levels, the
// width and the echo time; "減衰なし" replaces the echo time when the line does not fall, and the
// error text is returned for a failed measurement.
std::string EchoTimeLabel(const EchoTimeResult& result);

} // namespace kelvora::dsp
