#include "dsp/echo_time.h"

#include "dsp/fft.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace kelvora::dsp {

EchoEnvelope EnergyEnvelope(std::span<const double> signal)
{
    EchoEnvelope envelope;
    std::size_t end = signal.size();
    while (end > 0 && signal[end - 1] == 0.0)
        --end;
    constexpr std::size_t half = EchoWindow / 2;
    if (end <= half + 1) // last non-zero index at most 50: no points
        return envelope;
    const std::size_t points = end - 1 - half;

    std::array<double, EchoWindow> weight{};
    for (std::size_t j = 0; j < EchoWindow; ++j)
        weight[j] = HannWindow(j, EchoWindow);

    envelope.db.resize(points);
    for (std::size_t n = 0; n < points; ++n) {
        double energy = 0.0;
        for (std::size_t j = 0; j < EchoWindow; ++j) {
            // n + j − 50 mirrored at the start; it never passes the last non-zero sample.
            const std::size_t index = n + j >= half ? n + j - half : half - n - j;
            energy += signal[index] * signal[index] * weight[j];
        }
        envelope.db[n] = 10.0 * std::log10(energy + EchoEnergyFloor);
    }
    const auto [lo, hi] = std::minmax_element(envelope.db.begin(), envelope.db.end());
    envelope.minDb = *lo;
    envelope.maxDb = *hi;
    return envelope;
}

EchoTimeResult MeasureEchoTime(std::span<const double> signal, std::size_t start,
                               std::size_t width, std::uint32_t rate)
{
    EchoTimeResult result;
    result.envelope = EnergyEnvelope(signal);
    if (rate == 0) {
        result.error = "サンプリング周波数が0のため測定できません。";
        return result;
    }
    const std::vector<double>& e = result.envelope.db;
    if (e.empty()) {
        result.error = "音が短すぎるか無音のため、エンベロープを求められません。";
        return result;
    }
    const std::size_t first = std::min(start, e.size());
    const std::size_t stop = width > e.size() - first ? e.size() : first + width;
    if (stop - first < 2) {
        result.error = "赤枠の区間にエンベロープの点が2点以上必要です。区間を前へ移すか広げてください。";
        return result;
    }
    result.fitStart = first;
    result.fitWidth = stop - first;

    const double count = static_cast<double>(result.fitWidth);
    double meanN = 0.0, meanE = 0.0;
    for (std::size_t n = first; n < stop; ++n) {
        meanN += static_cast<double>(n);
        meanE += e[n];
    }
    meanN /= count;
    meanE /= count;
    double sxy = 0.0, sxx = 0.0;
    for (std::size_t n = first; n < stop; ++n) {
        const double dn = static_cast<double>(n) - meanN;
        sxy += dn * (e[n] - meanE);
        sxx += dn * dn;
    }
    result.slopeDbPerSample = sxy / sxx;
    result.interceptDb = meanE - result.slopeDbPerSample * meanN;
    result.levelStartDb = result.interceptDb + result.slopeDbPerSample * static_cast<double>(first);
    result.levelEndDb = result.interceptDb + result.slopeDbPerSample * static_cast<double>(stop);
    result.widthMs = static_cast<std::int64_t>(std::uint64_t{result.fitWidth} * 1000 / rate);
    // A level that stays put can still fit a slope of rounding noise, whose "echo time" would be
    // some 1e17 ms: a fall of less than a millionth of a dB over the interval is no decay.
    result.decays = result.levelStartDb - result.levelEndDb > 1e-6;
    if (result.decays)
        result.echoMs = -60000.0 / result.slopeDbPerSample / rate;
    return result;
}

std::string EchoTimeLabel(const EchoTimeResult& result)
{
    if (!result.ok())
        return result.error;
    const double start = result.levelStartDb;
    const double end = result.levelEndDb;
    const auto widthMs = static_cast<long long>(result.widthMs);
    char text[160];
    if (result.decays)
        std::snprintf(text, sizeof text, "%3.1f(dB) %3.1f(dB)  %lld(ms) %3.1f(ms) ", start, end,
                      widthMs, result.echoMs);
    else
        std::snprintf(text, sizeof text, "%3.1f(dB) %3.1f(dB)  %lld(ms) 減衰なし ", start, end,
                      widthMs);
    return text;
}

} // namespace kelvora::dsp
