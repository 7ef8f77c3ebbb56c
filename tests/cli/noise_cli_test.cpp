// The noise and fluctuation commands: what they write matches the processing they name, the
// JSON carries the promised fields, and bad arguments are usage errors.

#include "dsp/noise_shaping.h"
#include "dsp/spectral_subtraction.h"
#include "files/wav.h"
#include "run_cli.h"

#include "../support/test_signals.h"

#include <QImage>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace kelvora::cli {
namespace {

namespace fs = std::filesystem;

class NoiseCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kelvora_noise_cli_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::vector<double>& samples, std::uint32_t rate = 8000)
    {
        files::WavFormat format;
        format.sampleRate = rate;
        format.bytesPerSecond = rate * 2;
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(files::WriteWav(path, format, samples, {}).ok());
        return path;
    }
    std::vector<double> Read(const std::string& name)
    {
        auto sound = files::ReadWav((dir_ / name).string());
        EXPECT_TRUE(sound.ok());
        return sound.ok() ? sound.value().left : std::vector<double>{};
    }
    // Written samples: 16-bit, truncated toward zero and saturated.
    static std::vector<double> As16Bit(std::vector<double> v)
    {
        for (double& s : v)
            s = std::clamp(std::trunc(s), -32768.0, 32767.0);
        return v;
    }
    std::string Out(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(NoiseCli, DenoiseAndPinkWriteTheProcessedSound)
{
    const std::vector<double> noise = As16Bit(testing::UniformNoise(8000, 3000.0, 4));
    const std::string in = Write("in.wav", noise);
    ASSERT_EQ(Kelvora({"denoise", in, "-o", Out("d.wav")}).status, ExitOk);
    std::vector<double> expected = noise;
    dsp::SpectralSubtraction(expected, {30, 3, 1.4});
    EXPECT_EQ(Read("d.wav"), As16Bit(expected));

    ASSERT_EQ(Kelvora({"denoise", in, "-o", Out("f.wav"), "--fixed-noise", "--alpha", "1", "--passes", "2"}).status,
              ExitOk);
    expected = noise;
    dsp::SpectralSubtraction(expected, {30, 3, 1.0, true});
    dsp::SpectralSubtraction(expected, {30, 3, 1.0, true});
    EXPECT_EQ(Read("f.wav"), As16Bit(expected));

    ASSERT_EQ(Kelvora({"pink", in, "-o", Out("p.wav")}).status, ExitOk);
    expected = noise;
    dsp::ShapePink(expected, 8000);
    EXPECT_EQ(Read("p.wav"), As16Bit(expected));

    EXPECT_EQ(Kelvora({"denoise", in, "-o", Out("x.wav"), "--numl", "100"}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"denoise", in, "-o", Out("x.wav"), "--auto-alpha"}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"pink", in}).status, ExitBadUsage);
    EXPECT_FALSE(fs::exists(Out("x.wav")));
}

TEST_F(NoiseCli, FluctuationPrintsSlopesAsJsonAndDrawsThePicture)
{
    std::mt19937 random(2);
    std::normal_distribution<double> gauss(0.0, 4000.0);
    std::vector<double> white(40000);
    for (double& s : white)
        s = std::trunc(gauss(random));
    const std::string in = Write("white.wav", white);
    const CliRun run = Kelvora({"fluctuation", in, "--json", "--picture", Out("f.png")});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_NEAR(json.at("slope").get<double>(), 0.0, 0.05);
    EXPECT_TRUE(json.at("intercept").is_number());
    EXPECT_EQ(json.at("frame_slopes").size(), 800u);
    // The opening interval: positions 25 and 1500 of 2000.
    EXPECT_EQ(json.at("start").get<int>(), 500);
    EXPECT_EQ(json.at("width").get<int>(), 30000);
    EXPECT_EQ(QImage(QString::fromStdString(Out("f.png"))).size(), QSize(800, 300));

    const nlohmann::json narrow =
        nlohmann::json::parse(Kelvora({"fluctuation", in, "--json", "--start", "39990", "--width", "10"}).out);
    EXPECT_EQ(narrow.at("width").get<int>(), 256);
    EXPECT_EQ(narrow.at("start").get<int>(), 40000 - 256);
    EXPECT_EQ(Kelvora({"fluctuation", Write("short.wav", std::vector<double>(100))}).status, ExitBadInput);
}

} // namespace
} // namespace kelvora::cli
