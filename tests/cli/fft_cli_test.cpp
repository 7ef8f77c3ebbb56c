#include "cli/cli_command.h"
#include "files/wav.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace kelvora::cli {
namespace {

namespace fs = std::filesystem;

class FftCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kelvora_fft_cli_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A 1 kHz sine of amplitude 16384 at 8000 Hz: bin 128 of a 1024-point frame.
    std::string SineFile(std::size_t count)
    {
        std::vector<double> x(count);
        for (std::size_t i = 0; i < count; ++i)
            x[i] = 16384 * std::sin(6.283185307179586 * 1000.0 * static_cast<double>(i) / 8000.0);
        const std::string path = (dir_ / "sine.wav").string();
        EXPECT_TRUE(files::WriteWav(path, files::WavFormat{}, x, {}).ok());
        return path;
    }

    int Run(std::vector<std::string> args)
    {
        out_.str({});
        err_.str({});
        args.insert(args.begin(), "fft");
        return RunCli(args, out_, err_);
    }

    double JsonNumber(const std::string& key) const
    {
        const std::regex pattern("\"" + key + "\":(-?[0-9.]+)");
        std::smatch match;
        const std::string text = out_.str();
        if (!std::regex_search(text, match, pattern))
            return NAN;
        return std::stod(match[1]);
    }

    // |X[bin]| of the 1/N-scaled DFT of the first n samples of the file, summed directly.
    static double DirectMagnitude(const std::string& path, std::size_t n, std::size_t bin)
    {
        const auto sound = files::ReadWav(path);
        double re = 0, im = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const double angle = 6.283185307179586 * static_cast<double>(j * bin % n) / static_cast<double>(n);
            re += sound.value().left[j] * std::cos(angle);
            im -= sound.value().left[j] * std::sin(angle);
        }
        return std::hypot(re, im) / static_cast<double>(n);
    }

    fs::path dir_;
    std::ostringstream out_, err_;
};

TEST_F(FftCli, JsonReportsThePeakOfAnUnwindowedSine)
{
    const std::string file = SineFile(4000);
    ASSERT_EQ(Run({file, "--size", "1024", "--no-window", "--json"}), ExitOk) << err_.str();
    EXPECT_EQ(JsonNumber("size"), 1024);
    EXPECT_EQ(JsonNumber("start"), 0);
    EXPECT_EQ(JsonNumber("peak_bin"), 128);
    EXPECT_NEAR(JsonNumber("peak_hz"), 1000.0, 1e-6);
    // About 20 log10((16384 / 2) / 32767) = -12.04 dB: the 1/N-scaled transform splits the sine
    // over two bins; the file's 16-bit samples move it by a little.
    EXPECT_NEAR(JsonNumber("peak_db"), 20 * std::log10(8192.0 / 32767.0), 1e-3);
    EXPECT_NEAR(JsonNumber("peak_db"), 20 * std::log10(DirectMagnitude(file, 1024, 128) / 32767.0), 1e-5);
}

TEST_F(FftCli, StartIsClampedSoTheFrameEndsAtTheLastSample)
{
    const std::string file = SineFile(3000);
    ASSERT_EQ(Run({file, "--start", "999999", "--size", "256", "--json"}), ExitOk) << err_.str();
    EXPECT_EQ(JsonNumber("start"), 3000 - 256);
    EXPECT_EQ(JsonNumber("size"), 256);
}

TEST_F(FftCli, TooShortSoundFailsWithOneLine)
{
    const std::string file = SineFile(1000);
    EXPECT_EQ(Run({file, "--size", "1024"}), ExitBadInput);
    const std::string message = err_.str();
    EXPECT_NE(message.find("fewer than one frame of 1024"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
}

TEST_F(FftCli, BadUsageExitsWithTwo)
{
    const std::string file = SineFile(2000);
    EXPECT_EQ(Run({file, "--size", "1000"}), ExitBadUsage);
    EXPECT_EQ(Run({file, "--mode", "phase"}), ExitBadUsage);
    EXPECT_EQ(Run({file, "--cursor", "1.5"}), ExitBadUsage);
    EXPECT_EQ(Run({file, "--columns", "db"}), ExitBadUsage); // without --export
    EXPECT_EQ(Run({file, "--export", (dir_ / "x.txt").string(), "--columns", "db,phase"}), ExitBadUsage);
    EXPECT_FALSE(fs::exists(dir_ / "x.txt"));
}

TEST_F(FftCli, PictureIsTheGraphWithThePeakAtBin128)
{
    const std::string file = SineFile(4000);
    const std::string png = (dir_ / "graph.png").string();
    ASSERT_EQ(Run({file, "--no-window", "--picture", png}), ExitOk) << err_.str();
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(750, 530));
    // -12.04 dB at x = 60 + 128 * 690 / 512 = 232, y = 12.04 / 110 * 495 = 54.
    EXPECT_EQ(image.pixel(232, 54) & 0xffffff, 0u);
    EXPECT_EQ(image.pixel(232, 53) & 0xffffff, 0xffffffu);
}

TEST_F(FftCli, ExportWritesTheChosenColumns)
{
    const std::string file = SineFile(4000);
    const std::string text = (dir_ / "out.txt").string();
    ASSERT_EQ(Run({file, "--no-window", "--export", text, "--columns", "frequency,db"}), ExitOk)
        << err_.str();
    std::ifstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "周波数\tｄB\t");
    int rows = 0;
    double at1000 = 0;
    while (std::getline(in, line)) {
        double frequency = 0, db = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf\t%lf\t", &frequency, &db), 2) << line;
        if (frequency == 1000.0)
            at1000 = db;
        ++rows;
    }
    EXPECT_EQ(rows, 512);
    // Raw dB: about 20 log10(8192) = 78.27.
    EXPECT_NEAR(at1000, 20 * std::log10(DirectMagnitude(file, 1024, 128)), 1e-5);
}

TEST_F(FftCli, AutocorrelationExportOfSilenceIsRefused)
{
    const std::string path = (dir_ / "silence.wav").string();
    ASSERT_TRUE(files::WriteWav(path, files::WavFormat{}, std::vector<double>(2048, 0.0), {}).ok());
    const std::string text = (dir_ / "out.txt").string();
    EXPECT_EQ(Run({path, "--mode", "autocorrelation", "--export", text}), ExitBadInput);
    EXPECT_FALSE(fs::exists(text));
    EXPECT_FALSE(err_.str().empty());
}

} // namespace
} // namespace kelvora::cli
