#include "tools/lpc/trace_slot_ops.h"

#include "tools/shell/session.h"
#include "tools/waveform/draw_waveform.h"

#include <cmath>
#include <utility>

namespace kelvora {

bool HoldsSamples(const TraceSlots& traceSlots, SlotNumber slot)
{
    return !traceSlots.empty(slot) && !traceSlots.samples(slot).empty();
}

std::vector<double> SmoothedPowerRatioDb(std::span<const double> y)
{
    std::vector<double> ratio(y.size(), 0.0);
    double mean = 0.0;
    double variance = 0.0;
    for (std::size_t n = 0; n < y.size(); ++n) {
        const double u = std::fabs(y[n]);
        mean = (100.0 * mean + u) / 101.0;
        variance = (100.0 * variance + (mean - u) * (mean - u)) / 101.0;
        if (mean != 0.0)
            ratio[n] = 10.0 * std::log10(variance / mean / mean);
    }
    return ratio;
}

bool YPowerRatio(TraceSlots& traceSlots)
{
    if (!HoldsSamples(traceSlots, SlotNumber::Y))
        return false;
    traceSlots.fill(SlotNumber::E, SmoothedPowerRatioDb(std::as_const(traceSlots).samples(SlotNumber::Y)));
    return true;
}

bool MoveWToYE(TraceSlots& traceSlots)
{
    if (!HoldsSamples(traceSlots, SlotNumber::W)) {
        traceSlots.clear(SlotNumber::YE);
        return false;
    }
    std::vector<double> w = traceSlots.take(SlotNumber::W);
    traceSlots.fill(SlotNumber::W, std::vector<double>(w.size(), 0.0));
    traceSlots.fill(SlotNumber::YE, std::move(w));
    return true;
}

Picture SlotPlot(std::span<const double> samples, const SoundFormat& format)
{
    Picture plot(ResultCanvasWidth, ResultCanvasHeight);
    DrawWaveform(plot, samples, {format.samplesPerSecond, format.bitsPerSample, format.channels},
                 WaveformScale::Normalised);
    return plot;
}

} // namespace kelvora
