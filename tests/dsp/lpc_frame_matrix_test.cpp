// The FrameMatrix: where its 1000 frames start (rows repeat when the interval is shorter than
// 1000 samples), rows that never keep entries of a higher order, frames that would reach past
// the signal, and the silent-frame rule.

#include "dsp/lpc_frame_matrix.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace kelvora::dsp {
namespace {

std::vector<double> Noise(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-10000, 10000);
    std::vector<double> x(count);
    for (double& s : x)
        s = uniform(random);
    return x;
}

// a[0 .. p-1] of the frame at `at`, analysed directly.
std::vector<double> RowFor(const std::vector<double>& x, std::size_t at, std::size_t p, int log2Size)
{
    LpcWorkspace work(std::size_t{1} << log2Size, p);
    std::copy_n(x.begin() + static_cast<std::ptrdiff_t>(at), work.size, work.re.begin());
    LpcAnalyzeFrame(work.arrays(p), p, log2Size);
    return {work.coefficients.begin(), work.coefficients.begin() + static_cast<std::ptrdiff_t>(p)};
}

TEST(FrameMatrix, FramesStartAtTheThousandthsOfTheIntervalAndRowsHoldOnlyTheirOrder)
{
    const std::vector<double> x = Noise(3000, 1);
    FrameMatrix m;
    LpcWorkspace work;
    // Width 500: frame f starts at 100 + trunc(f / 2), so rows 2k and 2k + 1 hold one frame.
    ASSERT_TRUE(FillFrameMatrix(x, 100, 500, 12, 8, m, work));
    EXPECT_EQ(m.order, 12u);
    for (std::size_t f : {0u, 1u, 2u, 601u, 998u, 999u}) {
        const std::vector<double> expected = RowFor(x, 100 + f / 2, 12, 8);
        for (std::size_t j = 0; j < 12; ++j)
            EXPECT_EQ(m.at(f, j), expected[j]) << "frame " << f << " entry " << j;
        EXPECT_EQ(m.at(f, 12), 0.0);
    }
    EXPECT_EQ(m.at(0, 0), 1.0);
    EXPECT_NE(m.at(1, 1), m.at(2, 1)); // different frames differ
    // Width 1500 gives 1.5 samples per frame: frame 3 starts at trunc(4.5) = 4.
    ASSERT_TRUE(FillFrameMatrix(x, 0, 1500, 12, 8, m, work));
    EXPECT_EQ(m.at(3, 5), RowFor(x, 4, 12, 8)[5]);

    // A lower order clears what a higher one left.
    ASSERT_TRUE(FillFrameMatrix(x, 0, 1000, 40, 9, m, work));
    ASSERT_TRUE(FillFrameMatrix(x, 0, 1000, 20, 9, m, work));
    EXPECT_EQ(m.at(10, 20), 0.0);
    EXPECT_EQ(m.at(10, 39), 0.0);
    // Frame 999 of width 2491 starts at trunc(999 × 2491 / 1000) = 2488: its 512 samples end at
    // the last sample, 2999. Width 2492 puts it at 2489, one past: refused.
    EXPECT_TRUE(FillFrameMatrix(x, 0, 2491, 20, 9, m, work));
    EXPECT_FALSE(FillFrameMatrix(x, 0, 2492, 20, 9, m, work));
}

TEST(FrameMatrix, SilentFramesRepeatTheRowBeforeAndASilentFirstFrameIsTinyEverywhere)
{
    // Zeros before sample 1300, noise after; width 2000 puts frame f at 2f, so frames up to
    // 522 (samples 1044 … 1299) are silent and frame 523 (from 1046) is not.
    std::vector<double> x = Noise(3000, 2);
    std::fill(x.begin(), x.begin() + 1300, 0.0);
    FrameMatrix m;
    LpcWorkspace work;
    ASSERT_TRUE(FillFrameMatrix(x, 0, 2000, 5, 8, m, work));
    for (std::size_t j = 0; j < 5; ++j)
        EXPECT_EQ(m.at(0, j), 1e-5);
    EXPECT_EQ(m.at(0, 5), 0.0);
    EXPECT_EQ(m.at(522, 3), 1e-5);
    EXPECT_EQ(m.at(523, 0), 1.0);
    EXPECT_EQ(m.at(523, 2), RowFor(x, 1046, 5, 8)[2]);

    // Silence after sound repeats the last sounding frame.
    std::vector<double> y = Noise(3000, 3);
    std::fill(y.begin() + 1000, y.end(), 0.0);
    ASSERT_TRUE(FillFrameMatrix(y, 0, 2000, 5, 8, m, work));
    // Frame 499 (from 998) still holds two sounding samples; frame 500 (from 1000) is silent.
    for (std::size_t j = 0; j < 5; ++j) {
        EXPECT_EQ(m.at(500, j), m.at(499, j));
        EXPECT_EQ(m.at(999, j), m.at(499, j));
    }
    EXPECT_EQ(m.at(499, 1), RowFor(y, 998, 5, 8)[1]);
}

} // namespace
} // namespace kelvora::dsp
