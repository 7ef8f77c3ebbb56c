// kelvora lpc-pca: the JSON against the export it writes (the eigenvalues sum to the variance of
// the coefficients, the score maxima are the largest scores listed), order 1, and bad input.

#include "cli/cli_command.h"
#include "files/wav.h"
#include "../support/test_signals.h"

#include <QImage>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kelvora::cli {
namespace {

namespace fs = std::filesystem;

class LpcPcaCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kelvora_lpc_pca_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string NoiseFile(std::size_t count)
    {
        const std::string path = (dir_ / "noise.wav").string();
        EXPECT_TRUE(files::WriteWav(path, files::WavFormat{}, testing::UniformNoise(count, 8000, 3), {}).ok());
        return path;
    }
    int Run(std::vector<std::string> args)
    {
        out_.str({});
        err_.str({});
        args.insert(args.begin(), "lpc-pca");
        return RunCli(args, out_, err_);
    }
    fs::path dir_;
    std::ostringstream out_, err_;
};

// The numbers of the lines after `title` up to the next line without a tab or "ms ".
std::vector<std::vector<double>> Section(const std::string& path, const std::string& title, std::size_t rows)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && line != title) {
    }
    std::vector<std::vector<double>> values;
    for (std::size_t r = 0; r < rows && std::getline(in, line); ++r) {
        if (const auto ms = line.find("ms "); ms != std::string::npos)
            line = line.substr(ms + 3);
        std::istringstream numbers(line);
        std::vector<double> row;
        for (double v; numbers >> v;)
            row.push_back(v);
        values.push_back(row);
    }
    return values;
}

TEST_F(LpcPcaCli, TheJsonAgreesWithTheExportedCoefficientsAndScores)
{
    const std::string file = NoiseFile(12000);
    const std::string exported = (dir_ / "LPC_DATA.txt").string(), picture = (dir_ / "pca.png").string();
    ASSERT_EQ(Run({file, "--start", "500", "--width", "6000", "--order", "8", "--frame", "512", "--export",
                   exported, "--picture", picture, "--json"}),
              ExitOk)
        << err_.str();
    const nlohmann::json json = nlohmann::json::parse(out_.str());
    EXPECT_EQ(json["start"], 500);
    EXPECT_EQ(json["width"], 6000);
    EXPECT_EQ(json["frame"], 512);
    ASSERT_EQ(json["eigenvalues"].size(), 7u);

    // The eigenvalues sum to the total variance of a1 … a7 over the 1000 rows (n − 1 = 999).
    const auto rows = Section(exported, "LPC生データ", 1000);
    ASSERT_EQ(rows.size(), 1000u);
    double variance = 0;
    for (std::size_t j = 1; j < 8; ++j) {
        double sum = 0, squares = 0;
        for (const auto& row : rows) {
            ASSERT_EQ(row.size(), 8u);
            sum += row[j];
            squares += row[j] * row[j];
        }
        variance += (squares - sum * sum / 1000) / 999;
    }
    double eigenSum = 0;
    for (double value : json["eigenvalues"])
        eigenSum += value;
    EXPECT_NEAR(eigenSum, variance, 1e-5 * variance);

    const auto scores = Section(exported, "主成分得点", 1000);
    ASSERT_EQ(scores.size(), 1000u);
    double first = 0, second = 0;
    for (const auto& s : scores) {
        first = std::max(first, std::fabs(s[0]));
        second = std::max(second, std::fabs(s[1]));
    }
    EXPECT_NEAR(json["score_max"][0], first, 1e-6);
    EXPECT_NEAR(json["score_max"][1], second, 1e-6);

    const QImage image(QString::fromStdString(picture));
    EXPECT_EQ(image.width(), 750);
    EXPECT_EQ(image.height(), 530);
}

TEST_F(LpcPcaCli, OrderOneHasNoEigenvaluesAndSaysTheScatterHasNoScale)
{
    const std::string file = NoiseFile(3000);
    ASSERT_EQ(Run({file, "--order", "1", "--json"}), ExitOk) << err_.str();
    const nlohmann::json json = nlohmann::json::parse(out_.str());
    EXPECT_TRUE(json["eigenvalues"].empty());
    EXPECT_EQ(json["score_max"], nlohmann::json::array({0.0, 0.0}));
    EXPECT_NE(err_.str().find("no scale"), std::string::npos);
}

TEST_F(LpcPcaCli, BadInputIsRefused)
{
    const std::string file = NoiseFile(1000);
    EXPECT_EQ(Run({file}), ExitBadInput); // shorter than 1024
    EXPECT_NE(err_.str().find("fewer than one frame of 1024"), std::string::npos);
    EXPECT_EQ(Run({file, "--frame", "256"}), ExitOk);
    EXPECT_EQ(Run({file, "--frame", "300"}), ExitBadUsage);
    EXPECT_EQ(Run({file, "--order", "101"}), ExitBadUsage);
    EXPECT_EQ(Run({file, "--start", "-1"}), ExitBadUsage);
}

} // namespace
} // namespace kelvora::cli
