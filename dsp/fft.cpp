#include "dsp/fft.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace kelvora::dsp {
namespace {

// The transform is a decimation-in-time FFT on bit-reversed input, like the textbook radix-2
// routine, but two radix-2 levels are fused into one radix-4 pass (half the sweeps over the
// arrays), the twiddles come from a table instead of a running recurrence, and the first pass
// (radix 4, or radix 8 when log2 n is odd) needs no twiddles at all. Conjugation of the input
// rides on the first pass and the 1/n scale on the last, so neither costs a sweep of its own.

constexpr double Pi = 3.141592653589793;
constexpr double HalfSqrt2 = 0.70710678118654752440;

// Twiddles of one radix-4 pass that merges four transforms of `quarter` points: for
// k < quarter the blocks w1, w2, w3 hold W^k, W^2k, W^3k with W = exp(-2 pi i / (4 quarter)),
// laid out as [w1 re | w1 im | w2 re | w2 im | w3 re | w3 im], each `quarter` long.
struct Radix4Pass {
    std::size_t quarter = 0;
    std::vector<double> twiddles;
};

// Bit reversal by plain swaps jumps power-of-two strides apart and thrashes the cache once the
// arrays outgrow it; from 2048 points up it works on square tiles instead (see ReverseTiled).
// (Carrying the first pass inside a tiled reversal for small sizes was tried: a few per cent,
// not worth a second path.)
constexpr int TileLog2 = 4;          // 16 x 16 tiles
constexpr int TiledMinLog2 = 11;

// Passes whose span fits in this many points run block by block, so that each block goes
// through all of them while it stays in the first-level cache (2048 points: 32 KiB).
constexpr std::size_t CacheBlockPoints = 2048;

struct FftPlan {
    int log2Size = 0;
    int firstRadix = 1;                        // points per group of the first pass
    std::vector<std::uint32_t> swaps;          // small sizes: pairs (i, j), i < j, flattened
    std::vector<std::uint32_t> middleReversed; // tiled sizes: reversed middle bits of a tile
    std::vector<Radix4Pass> passes;            // after the first pass, in order of growing span
    std::size_t blockedPasses = 0;             // how many of them run block by block
};

std::uint32_t ReverseBits(std::uint32_t value, int bits) noexcept
{
    std::uint32_t reversed = 0;
    for (int b = 0; b < bits; ++b) {
        reversed = (reversed << 1) | (value & 1u);
        value >>= 1;
    }
    return reversed;
}

template <int Bits>
constexpr std::array<std::size_t, std::size_t{1} << Bits> ReversedTable()
{
    std::array<std::size_t, std::size_t{1} << Bits> table{};
    for (std::size_t v = 0; v < table.size(); ++v)
        for (int b = 0; b < Bits; ++b)
            table[v] |= ((v >> b) & 1u) << (Bits - 1 - b);
    return table;
}

std::unique_ptr<FftPlan> BuildPlan(int log2Size)
{
    auto plan = std::make_unique<FftPlan>();
    plan->log2Size = log2Size;
    const std::uint32_t n = 1u << log2Size;
    plan->firstRadix = log2Size <= 1 ? static_cast<int>(n) : (log2Size % 2 == 0 ? 4 : 8);
    if (log2Size < TiledMinLog2) {
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t j = ReverseBits(i, log2Size);
            if (i < j) {
                plan->swaps.push_back(i);
                plan->swaps.push_back(j);
            }
        }
    } else {
        const int middleBits = log2Size - 2 * TileLog2;
        plan->middleReversed.resize(std::size_t{1} << middleBits);
        for (std::uint32_t b = 0; b < plan->middleReversed.size(); ++b)
            plan->middleReversed[b] = ReverseBits(b, middleBits);
    }
    std::size_t span = static_cast<std::size_t>(plan->firstRadix);
    while (span < n) {
        Radix4Pass pass;
        pass.quarter = span;
        pass.twiddles.resize(6 * span);
        const double step = -2.0 * Pi / static_cast<double>(4 * span);
        for (std::size_t k = 0; k < span; ++k) {
            for (std::size_t power = 1; power <= 3; ++power) {
                const double angle = step * static_cast<double>(power * k);
                pass.twiddles[(2 * power - 2) * span + k] = std::cos(angle);
                pass.twiddles[(2 * power - 1) * span + k] = std::sin(angle);
            }
        }
        plan->passes.push_back(std::move(pass));
        span *= 4;
        if (span <= CacheBlockPoints && span < n)
            plan->blockedPasses = plan->passes.size();
    }
    return plan;
}

// Plans up to FftLargestKeptPlanLog2 (twiddles of at most 16 MiB) are kept for the whole run.
// Larger ones, which only a long convolution asks for, are built for the call and freed after
// it, so that one transform of 2^29 points does not hold gigabytes of twiddles for the rest of
// the run. Built once per size and then only read, so concurrent transforms are safe.
const FftPlan& KeptPlan(int log2Size)
{
    static std::array<std::once_flag, FftLargestKeptPlanLog2 + 1> built;
    static std::array<std::unique_ptr<FftPlan>, FftLargestKeptPlanLog2 + 1> plans;
    std::call_once(built[static_cast<std::size_t>(log2Size)],
                   [log2Size] { plans[static_cast<std::size_t>(log2Size)] = BuildPlan(log2Size); });
    return *plans[static_cast<std::size_t>(log2Size)];
}

// The first pass: full transforms of R = 2, 4 or 8 points that already stand in bit-reversed
// order (log2 R radix-2 levels), written out so that no twiddle is needed. Conjugation and
// scaling are compile-time choices so that the common case spends nothing on them. Named
// scalars, not small arrays: the compiler moves arrays with vector stores and reads them back as
// scalars, which stalls on store forwarding.
template <int R, bool Conjugate, bool Scaled>
void FirstPass(double* re, double* im, std::size_t n, double scale) noexcept
{
    const auto in = [](double v) { return Conjugate ? -v : v; };
    const auto out = [scale](double v) { return Scaled ? v * scale : v; };
    for (std::size_t g = 0; g < n; g += R) {
        double* r = re + g;
        double* i = im + g;
        if constexpr (R == 2) {
            const double ar = r[0], ai = in(i[0]), br = r[1], bi = in(i[1]);
            r[0] = out(ar + br);
            i[0] = out(ai + bi);
            r[1] = out(ar - br);
            i[1] = out(ai - bi);
        } else if constexpr (R == 4) {
            const double i0 = in(i[0]), i1 = in(i[1]), i2 = in(i[2]), i3 = in(i[3]);
            const double s0r = r[0] + r[1], s0i = i0 + i1;
            const double s1r = r[0] - r[1], s1i = i0 - i1;
            const double s2r = r[2] + r[3], s2i = i2 + i3;
            const double s3r = r[2] - r[3], s3i = i2 - i3;
            r[0] = out(s0r + s2r);
            i[0] = out(s0i + s2i);
            r[2] = out(s0r - s2r);
            i[2] = out(s0i - s2i);
            r[1] = out(s1r + s3i); // s1 - i s3
            i[1] = out(s1i - s3r);
            r[3] = out(s1r - s3i); // s1 + i s3
            i[3] = out(s1i + s3r);
        } else {
            static_assert(R == 8);
            const double i0 = in(i[0]), i1 = in(i[1]), i2 = in(i[2]), i3 = in(i[3]);
            const double i4 = in(i[4]), i5 = in(i[5]), i6 = in(i[6]), i7 = in(i[7]);
            // Span 2.
            const double a0r = r[0] + r[1], a0i = i0 + i1, a1r = r[0] - r[1], a1i = i0 - i1;
            const double a2r = r[2] + r[3], a2i = i2 + i3, a3r = r[2] - r[3], a3i = i2 - i3;
            const double a4r = r[4] + r[5], a4i = i4 + i5, a5r = r[4] - r[5], a5i = i4 - i5;
            const double a6r = r[6] + r[7], a6i = i6 + i7, a7r = r[6] - r[7], a7i = i6 - i7;
            // Span 4: twiddles 1 and -i.
            const double b0r = a0r + a2r, b0i = a0i + a2i, b2r = a0r - a2r, b2i = a0i - a2i;
            const double b1r = a1r + a3i, b1i = a1i - a3r, b3r = a1r - a3i, b3i = a1i + a3r;
            const double b4r = a4r + a6r, b4i = a4i + a6i, b6r = a4r - a6r, b6i = a4i - a6i;
            const double b5r = a5r + a7i, b5i = a5i - a7r, b7r = a5r - a7i, b7i = a5i + a7r;
            // Span 8: twiddles 1, (1 - i)/sqrt 2, -i, -(1 + i)/sqrt 2 on the odd half.
            const double t5r = HalfSqrt2 * (b5r + b5i), t5i = HalfSqrt2 * (b5i - b5r);
            const double t6r = b6i, t6i = -b6r;
            const double t7r = HalfSqrt2 * (b7i - b7r), t7i = -HalfSqrt2 * (b7r + b7i);
            r[0] = out(b0r + b4r);
            i[0] = out(b0i + b4i);
            r[4] = out(b0r - b4r);
            i[4] = out(b0i - b4i);
            r[1] = out(b1r + t5r);
            i[1] = out(b1i + t5i);
            r[5] = out(b1r - t5r);
            i[5] = out(b1i - t5i);
            r[2] = out(b2r + t6r);
            i[2] = out(b2i + t6i);
            r[6] = out(b2r - t6r);
            i[6] = out(b2i - t6i);
            r[3] = out(b3r + t7r);
            i[3] = out(b3i + t7i);
            r[7] = out(b3r - t7r);
            i[7] = out(b3i - t7i);
        }
    }
}

template <int R>
void FirstPass(double* re, double* im, std::size_t n, bool conjugate, double scale) noexcept
{
    if (conjugate) {
        if (scale != 1.0)
            FirstPass<R, true, true>(re, im, n, scale);
        else
            FirstPass<R, true, false>(re, im, n, scale);
    } else {
        if (scale != 1.0)
            FirstPass<R, false, true>(re, im, n, scale);
        else
            FirstPass<R, false, false>(re, im, n, scale);
    }
}

void SwapPairs(double* re, double* im, const std::vector<std::uint32_t>& swaps) noexcept
{
    const std::uint32_t* pair = swaps.data();
    const std::uint32_t* end = pair + swaps.size();
    for (; pair != end; pair += 2) {
        const std::uint32_t i = pair[0];
        const std::uint32_t j = pair[1];
        const double tr = re[i];
        re[i] = re[j];
        re[j] = tr;
        const double ti = im[i];
        im[i] = im[j];
        im[j] = ti;
    }
}

// Bit reversal of one array by tiles. An index is split into (high, middle, low) with t bits at
// each end, and its reverse is (rev low, rev middle, rev high): the 2^t x 2^t values sharing a
// middle (rows = high, columns = low) map onto the tile of the reversed middle, transposed with
// both indices reversed. Each tile and its partner are copied row by row (contiguous) into small
// buffers and written back from them, so memory is only ever walked along rows.
void ReverseTiled(double* x, int log2Size,
                  const std::vector<std::uint32_t>& middleReversed) noexcept
{
    constexpr std::size_t side = std::size_t{1} << TileLog2;
    static constexpr auto lowReversed = ReversedTable<TileLog2>();
    const int rowShift = log2Size - TileLog2;
    double tileA[side * side];
    double tileB[side * side];
    for (std::size_t b = 0; b < middleReversed.size(); ++b) {
        const std::size_t rb = middleReversed[b];
        if (b > rb)
            continue;
        for (std::size_t a = 0; a < side; ++a) {
            const double* row = x + ((a << rowShift) | (b << TileLog2));
            std::memcpy(tileA + a * side, row, side * sizeof(double));
        }
        if (b != rb) {
            for (std::size_t a = 0; a < side; ++a) {
                const double* row = x + ((a << rowShift) | (rb << TileLog2));
                std::memcpy(tileB + a * side, row, side * sizeof(double));
            }
            for (std::size_t a = 0; a < side; ++a) {
                double* row = x + ((a << rowShift) | (b << TileLog2));
                const double* column = tileB + lowReversed[a];
                for (std::size_t c = 0; c < side; ++c)
                    row[c] = column[lowReversed[c] * side];
            }
        }
        for (std::size_t a = 0; a < side; ++a) {
            double* row = x + ((a << rowShift) | (rb << TileLog2));
            const double* column = tileA + lowReversed[a];
            for (std::size_t c = 0; c < side; ++c)
                row[c] = column[lowReversed[c] * side];
        }
    }
}

// The radix-4 passes are written once over a vector type V of one, two or four doubles and
// vectorised along k, where both the data and the twiddles are contiguous. Vectors are only ever
// locals or passed by reference, so none crosses a call boundary (whose ABI would depend on the
// instruction set), and everything is inlined into the one function compiled per target.
template <class V>
[[gnu::always_inline]] inline void LoadVec(V& v, const double* p) noexcept
{
    std::memcpy(&v, p, sizeof(V));
}

template <class V>
[[gnu::always_inline]] inline void StoreVec(double* p, const V& v) noexcept
{
    std::memcpy(p, &v, sizeof(V));
}

// One radix-4 pass: merges each run of four transforms of q points into one of 4q points.
template <class V, bool Scaled>
[[gnu::always_inline]] inline void Radix4PassKernel(double* re, double* im, std::size_t n,
                                                    const Radix4Pass& pass, double scale) noexcept
{
    constexpr std::size_t width = sizeof(V) / sizeof(double);
    const std::size_t q = pass.quarter;
    const double* w1r = pass.twiddles.data();
    const double* w1i = w1r + q;
    const double* w2r = w1i + q;
    const double* w2i = w2r + q;
    const double* w3r = w2i + q;
    const double* w3i = w3r + q;
    for (std::size_t base = 0; base < n; base += 4 * q) {
        double* r0 = re + base;
        double* i0 = im + base;
        for (std::size_t k = 0; k < q; k += width) {
            V ar, ai, br, bi, cr, ci, dr, di, ur, ui, vr, vi;
            LoadVec(ar, r0 + k);
            LoadVec(ai, i0 + k);
            LoadVec(br, r0 + q + k);
            LoadVec(bi, i0 + q + k);
            LoadVec(cr, r0 + 2 * q + k);
            LoadVec(ci, i0 + 2 * q + k);
            LoadVec(dr, r0 + 3 * q + k);
            LoadVec(di, i0 + 3 * q + k);
            // The second block holds the transform of the points 2 mod 4, the third 1 mod 4.
            LoadVec(ur, w2r + k);
            LoadVec(ui, w2i + k);
            const V btr = br * ur - bi * ui;
            const V bti = br * ui + bi * ur;
            LoadVec(vr, w1r + k);
            LoadVec(vi, w1i + k);
            const V ctr = cr * vr - ci * vi;
            const V cti = cr * vi + ci * vr;
            LoadVec(ur, w3r + k);
            LoadVec(ui, w3i + k);
            const V dtr = dr * ur - di * ui;
            const V dti = dr * ui + di * ur;
            const V s0r = ar + btr, s0i = ai + bti;
            const V s1r = ar - btr, s1i = ai - bti;
            const V s2r = ctr + dtr, s2i = cti + dti;
            const V s3r = ctr - dtr, s3i = cti - dti;
            V x0r = s0r + s2r, x0i = s0i + s2i;
            V x2r = s0r - s2r, x2i = s0i - s2i;
            V x1r = s1r + s3i, x1i = s1i - s3r;
            V x3r = s1r - s3i, x3i = s1i + s3r;
            if constexpr (Scaled) {
                x0r *= scale;
                x0i *= scale;
                x1r *= scale;
                x1i *= scale;
                x2r *= scale;
                x2i *= scale;
                x3r *= scale;
                x3i *= scale;
            }
            StoreVec(r0 + k, x0r);
            StoreVec(i0 + k, x0i);
            StoreVec(r0 + q + k, x1r);
            StoreVec(i0 + q + k, x1i);
            StoreVec(r0 + 2 * q + k, x2r);
            StoreVec(i0 + 2 * q + k, x2i);
            StoreVec(r0 + 3 * q + k, x3r);
            StoreVec(i0 + 3 * q + k, x3i);
        }
    }
}

template <class V>
[[gnu::always_inline]] inline void RunPass(double* re, double* im, std::size_t n,
                                           const Radix4Pass& pass, bool last, double scale) noexcept
{
    if (last && scale != 1.0)
        Radix4PassKernel<V, true>(re, im, n, pass, scale);
    else
        Radix4PassKernel<V, false>(re, im, n, pass, scale);
}

template <class V>
[[gnu::always_inline]] inline void RunPasses(double* re, double* im, const FftPlan& plan,
                                             double scale) noexcept
{
    const std::size_t n = std::size_t{1} << plan.log2Size;
    const std::size_t count = plan.passes.size();
    const std::size_t blocked = plan.blockedPasses;
    if (blocked > 0) {
        const std::size_t block = 4 * plan.passes[blocked - 1].quarter;
        for (std::size_t start = 0; start < n; start += block) {
            for (std::size_t p = 0; p < blocked; ++p)
                RunPass<V>(re + start, im + start, block, plan.passes[p], p + 1 == count, scale);
        }
    }
    for (std::size_t p = blocked; p < count; ++p)
        RunPass<V>(re, im, n, plan.passes[p], p + 1 == count, scale);
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define KELVORA_FFT_X86 1
using Vec2 = double __attribute__((vector_size(16)));
using Vec4 = double __attribute__((vector_size(32)));

[[gnu::target("avx")]] void RunPassesAvx(double* re, double* im, const FftPlan& plan,
                                         double scale) noexcept
{
    RunPasses<Vec4>(re, im, plan, scale);
}

void RunPassesPortable(double* re, double* im, const FftPlan& plan, double scale) noexcept
{
    RunPasses<Vec2>(re, im, plan, scale);
}

bool CpuHasAvx() noexcept
{
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}
#else
void RunPassesPortable(double* re, double* im, const FftPlan& plan, double scale) noexcept
{
    RunPasses<double>(re, im, plan, scale);
}
#endif

} // namespace

FftKernel BestFftKernel() noexcept
{
#ifdef KELVORA_FFT_X86
    return CpuHasAvx() ? FftKernel::Avx : FftKernel::Portable;
#else
    return FftKernel::Portable;
#endif
}

void FftInPlaceUsing(FftKernel kernel, std::span<double> real, std::span<double> imag,
                     int log2Size, int direction)
{
    if (log2Size < 0 || log2Size > FftMaxLog2Size)
        return;
    const std::size_t n = std::size_t{1} << log2Size;
    if (real.size() < n || imag.size() < n)
        return;
    double* re = real.data();
    double* im = imag.data();
    const bool conjugate = direction == FftConjugate;
    // Multiplying by 2^-m gives exactly the same doubles as dividing by n.
    const double scale = direction == FftForward ? 1.0 / static_cast<double>(n) : 1.0;
    if (n == 1) {
        if (conjugate)
            im[0] = -im[0];
        return;
    }
    std::unique_ptr<FftPlan> largePlan;
    if (log2Size > FftLargestKeptPlanLog2)
        largePlan = BuildPlan(log2Size);
    const FftPlan& plan = largePlan ? *largePlan : KeptPlan(log2Size);
    const bool firstIsLast = plan.passes.empty();
    const double firstScale = firstIsLast ? scale : 1.0;
    if (log2Size >= TiledMinLog2) {
        ReverseTiled(re, log2Size, plan.middleReversed);
        ReverseTiled(im, log2Size, plan.middleReversed);
    } else {
        SwapPairs(re, im, plan.swaps);
    }
    if (plan.firstRadix == 2)
        FirstPass<2>(re, im, n, conjugate, firstScale);
    else if (plan.firstRadix == 4)
        FirstPass<4>(re, im, n, conjugate, firstScale);
    else
        FirstPass<8>(re, im, n, conjugate, firstScale);
    if (firstIsLast)
        return;
#ifdef KELVORA_FFT_X86
    if (kernel == FftKernel::Avx && CpuHasAvx())
        RunPassesAvx(re, im, plan, scale);
    else
        RunPassesPortable(re, im, plan, scale);
#else
    (void)kernel;
    RunPassesPortable(re, im, plan, scale);
#endif
}

void FftInPlace(std::span<double> real, std::span<double> imag, int log2Size, int direction)
{
    FftInPlaceUsing(BestFftKernel(), real, imag, log2Size, direction);
}

double HannWindow(std::size_t i, std::size_t n) noexcept
{
    return 0.5 * (1.0 - std::cos(6.283185303 * static_cast<double>(i) / static_cast<double>(n)));
}

double NormalisedPower(double re, double im) noexcept
{
    return (re * re + im * im) / 1073676289.0;
}

double PowerToDb(double power) noexcept
{
    return 10.0 * std::log10(power + 1e-11);
}

} // namespace kelvora::dsp
