#pragma once
// What the dialog benchmarks share: a session holding a test sound in slot X, the scripted
// outside world a dialog needs, and the sounds themselves.

#include "platform/scripted_ui.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <random>
#include <vector>

namespace kelvora::bench {

struct Partial {
    double amplitude;
    double hertz;
};

// seconds of a sum of sine partials at rate, plus Gaussian noise of the given deviation drawn
// from a fixed seed, so every frame has a real spectrum to analyse and every run the same one.
inline std::vector<double> PartialsWithNoise(std::uint32_t rate, double seconds, std::initializer_list<Partial> partials,
                                             double noiseDeviation, unsigned seed)
{
    std::vector<double> x(static_cast<std::size_t>(rate * seconds));
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, noiseDeviation);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        double value = noise(random);
        for (const Partial& p : partials)
            value += p.amplitude * std::sin(2 * std::numbers::pi * p.hertz * t);
        x[i] = value;
    }
    return x;
}

// A session with sound in slot X at rate, and scripted services that answer nothing.
struct DialogBench {
    DialogBench(const std::vector<double>& sound, std::uint32_t rate)
    {
        session.traceSlots.fill(SlotNumber::X, sound);
        session.soundFormat.samplesPerSecond = rate;
    }
    Session session;
    platform::ScriptedFileChooser files;
    platform::RecordingMessageBox messages;
    platform::RecordingUrlOpener urls;
    ScriptedDialogRunner dialogs;
    Services services{files, messages, urls, dialogs, ""};
};

} // namespace kelvora::bench
