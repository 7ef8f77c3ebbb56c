#pragma once
// The picture a sound gets when it arrives: frame, labels and the waveform on a 750 x 530
// canvas.

#include "canvas/picture.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kelvora {

enum class WaveformScale {
    Absolute,   // +-32767 fills the frame
    Normalised, // the largest absolute sample touches the frame
};

struct WaveformInfo {
    std::uint32_t sampleRate = 8000;
    int bitsPerSample = 16;
    int channels = 1; // 1 draws "Mono", any other value "Stereo" and the stereo progress text
};

// Draws `samples` on `canvas` (normally a fresh 750 x 530 picture). Calls `progress` with the
// running text once per second of signal. A rate of 0 is taken as 1 so nothing divides by it.
// Long sounds are drawn per pixel column (DrawColumnPolyline), with exactly the pixels of
// drawing every segment.
void DrawWaveform(Picture& canvas, std::span<const double> samples, const WaveformInfo& info,
                  WaveformScale scale,
                  const std::function<void(const std::string&)>& progress = {});

// The same picture drawn one segment per sample pair; kept as the reference for the above.
void DrawWaveformEverySegment(Picture& canvas, std::span<const double> samples,
                              const WaveformInfo& info, WaveformScale scale);

} // namespace kelvora
