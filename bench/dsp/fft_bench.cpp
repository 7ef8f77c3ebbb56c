// FftInPlace against FFTW's complex transforms at the analysis dialog's usual size (1024) and its
// largest (65536). FFTW runs out of place from an untouched input, its fastest and simplest use
// (an in-place unscaled transform repeated would overflow); FftInPlace alternates directions +1
// and -1 on the same arrays, which keeps the values bounded and costs the same per transform.
// Each FftInPlace benchmark reports its time divided by each FFTW variant's as counters
// ("x_estimate_split" = 2 means twice FFTW's time), and a summary table goes to stderr at exit.
// The ratios use the thread's processor time, like the CPU column, so that other programs
// running on a shared machine disturb them less than wall-clock time would.

#include "dsp/fft.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace kelvora::dsp;
// Processor time of the calling thread, in seconds.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

enum class Layout { Interleaved, Split };

struct FftwVariant {
    const char* name;
    unsigned flags;
    Layout layout;
};

constexpr FftwVariant FftwVariants[] = {
    {"estimate_interleaved", FFTW_ESTIMATE, Layout::Interleaved},
    {"estimate_split", FFTW_ESTIMATE, Layout::Split},
    {"measure_interleaved", FFTW_MEASURE, Layout::Interleaved},
    {"measure_split", FFTW_MEASURE, Layout::Split},
};

// Seconds per transform of every benchmark run so far, keyed by (name, n); printed at exit.
class Timings {
public:
    void Record(const std::string& name, long n, double seconds) { seconds_[{name, n}] = seconds; }

    const double* Find(const std::string& name, long n) const
    {
        const auto it = seconds_.find({name, n});
        return it == seconds_.end() ? nullptr : &it->second;
    }

    ~Timings()
    {
        if (seconds_.empty())
            return;
        std::fprintf(stderr, "\n%-28s %8s %12s\n", "transform", "n", "us");
        for (const auto& [key, seconds] : seconds_)
            std::fprintf(stderr, "%-28s %8ld %12.3f\n", key.first.c_str(), key.second,
                         seconds * 1e6);
        for (const char* ours : {"kelvora_avx", "kelvora_portable"}) {
            for (const auto& variant : FftwVariants) {
                for (long n : {1024L, 65536L}) {
                    const double* a = Find(ours, n);
                    const double* b = Find(variant.name, n);
                    if (a && b)
                        std::fprintf(stderr, "%s / fftw %s, n = %ld: %.2f\n", ours, variant.name, n,
                                     *a / *b);
                }
            }
        }
    }

private:
    std::map<std::pair<std::string, long>, double> seconds_;
};

Timings& Recorded()
{
    static Timings timings;
    return timings;
}

std::vector<double> RandomValues(std::size_t n, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> dist(-32768.0, 32767.0);
    std::vector<double> v(n);
    for (auto& x : v)
        x = dist(rng);
    return v;
}

int Log2Of(long n)
{
    int m = 0;
    while ((1L << m) < n)
        ++m;
    return m;
}

void BM_Fftw(benchmark::State& state, FftwVariant variant)
{
    const long n = state.range(0);
    const auto count = static_cast<std::size_t>(n);
    const std::vector<double> re = RandomValues(count, 1), im = RandomValues(count, 2);
    double* in = fftw_alloc_real(2 * count);
    double* out = fftw_alloc_real(2 * count);
    fftw_plan plan = nullptr;
    fftw_iodim dim{static_cast<int>(n), 1, 1};
    if (variant.layout == Layout::Interleaved) {
        plan = fftw_plan_dft_1d(static_cast<int>(n), reinterpret_cast<fftw_complex*>(in),
                                reinterpret_cast<fftw_complex*>(out), FFTW_FORWARD, variant.flags);
        for (std::size_t i = 0; i < count; ++i) {
            in[2 * i] = re[i];
            in[2 * i + 1] = im[i];
        }
    } else {
        plan = fftw_plan_guru_split_dft(1, &dim, 0, nullptr, in, in + count, out, out + count,
                                        variant.flags);
        std::copy(re.begin(), re.end(), in);
        std::copy(im.begin(), im.end(), in + count);
    }
    if (!plan) {
        state.SkipWithError("FFTW could not make a plan");
        fftw_free(in);
        fftw_free(out);
        return;
    }
    const double start = ThreadSeconds();
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    const double elapsed = ThreadSeconds() - start;
    Recorded().Record(variant.name, n, elapsed / static_cast<double>(state.iterations()));
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

void BM_FftInPlace(benchmark::State& state, FftKernel kernel)
{
    const long n = state.range(0);
    const int m = Log2Of(n);
    std::vector<double> re = RandomValues(static_cast<std::size_t>(n), 1);
    std::vector<double> im = RandomValues(static_cast<std::size_t>(n), 2);
    FftInPlaceUsing(kernel, re, im, m, FftForward); // builds the tables outside the timing
    int direction = FftConjugate;
    const double start = ThreadSeconds();
    for (auto _ : state) {
        FftInPlaceUsing(kernel, re, im, m, direction);
        direction = -direction;
        benchmark::DoNotOptimize(re.data());
        benchmark::ClobberMemory();
    }
    const double seconds = (ThreadSeconds() - start) / static_cast<double>(state.iterations());
    const std::string name = kernel == FftKernel::Avx ? "kelvora_avx" : "kelvora_portable";
    Recorded().Record(name, n, seconds);
    for (const auto& variant : FftwVariants) {
        if (const double* fftw = Recorded().Find(variant.name, n))
            state.counters[std::string("x_") + variant.name] = seconds / *fftw;
    }
    const bool avxRuns = kernel == FftKernel::Avx && BestFftKernel() == FftKernel::Avx;
    state.SetLabel(kernel == FftKernel::Portable ? "portable"
                   : avxRuns                     ? "avx"
                                                 : "avx absent: portable");
}

BENCHMARK_CAPTURE(BM_Fftw, estimate_interleaved, FftwVariants[0])->Arg(1024)->Arg(65536);
BENCHMARK_CAPTURE(BM_Fftw, estimate_split, FftwVariants[1])->Arg(1024)->Arg(65536);
BENCHMARK_CAPTURE(BM_Fftw, measure_interleaved, FftwVariants[2])->Arg(1024)->Arg(65536);
BENCHMARK_CAPTURE(BM_Fftw, measure_split, FftwVariants[3])->Arg(1024)->Arg(65536);
BENCHMARK_CAPTURE(BM_FftInPlace, avx, FftKernel::Avx)->Arg(1024)->Arg(65536);
BENCHMARK_CAPTURE(BM_FftInPlace, portable, FftKernel::Portable)->Arg(1024)->Arg(65536);

} // namespace
