// Convolution of a 10 s sound with a 2 s room response at 44.1 kHz (one 2^20-point transform
// size), against the same work done by FFTW's real transforms as a baseline; and of a 30 s sound
// with the same response (2^21 points, past the transform sizes whose tables are kept), whose
// target is under 3 s.

#include "dsp/convolution.h"
#include "dsp/signal_generator.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace kelvora::dsp;

std::vector<double> Noise(std::uint32_t lengthMs, std::uint32_t amplitude, std::uint32_t seed)
{
    GeneratorParams params;
    params.shape = WaveShape::Noise;
    params.rate = 44100;
    params.lengthMs = lengthMs;
    params.amplitude = amplitude;
    return Generate(params, seed);
}

// A dry 10 s sound and a response decaying 60 dB per second, as a small hall would give.
struct Inputs {
    std::vector<double> sound = Noise(10000, 8000, 1);
    std::vector<double> longSound = Noise(30000, 8000, 3);
    std::vector<double> response = [] {
        std::vector<double> r = Noise(2000, 10000, 2);
        for (std::size_t n = 0; n < r.size(); ++n)
            r[n] *= std::pow(10.0, -3.0 * static_cast<double>(n) / 44100.0);
        return r;
    }();
};

const Inputs& TestInputs()
{
    static const Inputs inputs;
    return inputs;
}

void BM_Convolve10sWith2s(benchmark::State& state)
{
    const Inputs& in = TestInputs();
    for (auto _ : state) {
        ConvolutionResult r = Convolve(in.sound, in.response);
        benchmark::DoNotOptimize(r.samples.data());
        if (!r.ok())
            state.SkipWithError("convolution failed");
    }
    state.SetLabel("M = 2^20");
}
BENCHMARK(BM_Convolve10sWith2s)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Convolve30sWith2s(benchmark::State& state)
{
    const Inputs& in = TestInputs();
    for (auto _ : state) {
        ConvolutionResult r = Convolve(in.longSound, in.response);
        benchmark::DoNotOptimize(r.samples.data());
        if (!r.ok())
            state.SkipWithError("convolution failed");
    }
    state.SetLabel("M = 2^21, target < 3 s");
}
BENCHMARK(BM_Convolve30sWith2s)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: real-to-complex transforms of both, product, complex-to-real, peak scaling.
// Plans are made once (FFTW_ESTIMATE); buffers are reused, as FFTW users normally do.
void BM_FftwBaseline10sWith2s(benchmark::State& state)
{
    const Inputs& in = TestInputs();
    const int size = 1 << 20;
    const int bins = size / 2 + 1;
    double* real = fftw_alloc_real(static_cast<std::size_t>(size));
    fftw_complex* spectrumX = fftw_alloc_complex(static_cast<std::size_t>(bins));
    fftw_complex* spectrumW = fftw_alloc_complex(static_cast<std::size_t>(bins));
    const fftw_plan forwardX = fftw_plan_dft_r2c_1d(size, real, spectrumX, FFTW_ESTIMATE);
    const fftw_plan forwardW = fftw_plan_dft_r2c_1d(size, real, spectrumW, FFTW_ESTIMATE);
    const fftw_plan inverse = fftw_plan_dft_c2r_1d(size, spectrumX, real, FFTW_ESTIMATE);
    for (auto _ : state) {
        std::fill(real, real + size, 0.0);
        std::copy(in.sound.begin(), in.sound.end(), real);
        fftw_execute(forwardX);
        std::fill(real, real + size, 0.0);
        std::copy(in.response.begin(), in.response.end(), real);
        fftw_execute(forwardW);
        for (int k = 0; k < bins; ++k) {
            const double a = spectrumX[k][0], b = spectrumX[k][1];
            const double c = spectrumW[k][0], d = spectrumW[k][1];
            spectrumX[k][0] = a * c - b * d;
            spectrumX[k][1] = b * c + a * d;
        }
        fftw_execute(inverse);
        double peak = 0.0;
        for (int n = 0; n < size; ++n)
            peak = std::max(peak, std::abs(real[n]));
        for (int n = 0; n < size; ++n)
            real[n] *= 16380.0 / peak;
        benchmark::DoNotOptimize(real);
    }
    fftw_destroy_plan(forwardX);
    fftw_destroy_plan(forwardW);
    fftw_destroy_plan(inverse);
    fftw_free(spectrumX);
    fftw_free(spectrumW);
    fftw_free(real);
}
BENCHMARK(BM_FftwBaseline10sWith2s)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
