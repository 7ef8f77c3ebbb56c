#include "dsp/pcm16.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

namespace kelvora::dsp {
namespace {

TEST(Pcm16, TruncatesTowardZero)
{
    EXPECT_EQ(ToPcm16(0.9), 0);
    EXPECT_EQ(ToPcm16(-0.9), 0);
    EXPECT_EQ(ToPcm16(1.9), 1);
    EXPECT_EQ(ToPcm16(-1.9), -1);
    EXPECT_EQ(ToPcm16(15000.5), 15000);
    EXPECT_EQ(ToPcm16(-15000.5), -15000);
}

TEST(Pcm16, SaturatesInsteadOfWrapping)
{
    EXPECT_EQ(ToPcm16(32767.0), 32767);
    EXPECT_EQ(ToPcm16(32767.99), 32767);
    EXPECT_EQ(ToPcm16(32768.0), 32767);
    EXPECT_EQ(ToPcm16(65536.0 + 5.0), 32767); // would wrap to 5
    EXPECT_EQ(ToPcm16(1e12), 32767);
    EXPECT_EQ(ToPcm16(-32768.0), -32768);
    EXPECT_EQ(ToPcm16(-32768.99), -32768);
    EXPECT_EQ(ToPcm16(-32769.0), -32768);
    EXPECT_EQ(ToPcm16(-1e12), -32768);
    EXPECT_EQ(ToPcm16(std::numeric_limits<double>::infinity()), 32767);
    EXPECT_EQ(ToPcm16(-std::numeric_limits<double>::infinity()), -32768);
    EXPECT_EQ(ToPcm16(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Pcm16, SpanConversionStopsAtTheShorterBuffer)
{
    const std::vector<double> samples = {1.5, -40000.0, 40000.0, -2.5};
    std::array<std::int16_t, 4> out{7, 7, 7, 7};
    EXPECT_EQ(ToPcm16(samples, std::span(out).first(3)), 3u);
    EXPECT_EQ(out, (std::array<std::int16_t, 4>{1, -32768, 32767, 7}));

    EXPECT_EQ(ToPcm16(samples), (std::vector<std::int16_t>{1, -32768, 32767, -2}));
    EXPECT_TRUE(ToPcm16(std::span<const double>()).empty());
}

} // namespace
} // namespace kelvora::dsp
