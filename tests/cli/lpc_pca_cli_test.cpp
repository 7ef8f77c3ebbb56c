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
    LpcPcaCli() : dir_(fs::temp_directory_path() / ("kelvora_lpc_pca_" + std::to_string(::getpid())))
    {
        fs::create_directories(dir_);
        EXPECT_TRUE(files::WriteWav(file_, files::WavFormat{}, testing::UniformNoise(12000, 8000, 3), {}).ok());
    }
    ~LpcPcaCli() override { fs::remove_all(dir_); }
    int Run(std::vector<std::string> args)
    {
        out_.str({});
        err_.str({});
        args.insert(args.begin(), "lpc-pca");
        return RunCli(args, out_, err_);
    }
    fs::path dir_;
    std::string file_ = (dir_ / "noise.wav").string();
    std::ostringstream out_, err_;
};

// The numbers of the `rows` lines after the line `title`, each without its "…ms " offset.
std::vector<std::vector<double>> Section(const std::string& path, const std::string& title, std::size_t rows)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line) && line != title) {
    }
    std::vector<std::vector<double>> values(rows);
    for (auto& row : values) {
        std::getline(in, line);
        std::istringstream numbers(line.substr(line.find("ms ") + 3));
        for (double v; numbers >> v;)
            row.push_back(v);
    }
    return values;
}

TEST_F(LpcPcaCli, TheJsonAgreesWithTheExportedCoefficientsAndScores)
{
    const std::string exported = (dir_ / "LPC_DATA.txt").string(), picture = (dir_ / "pca.png").string();
    ASSERT_EQ(Run({file_, "--start", "500", "--width", "6000", "--order", "8", "--frame", "512", "--export",
                   exported, "--picture", picture, "--json"}),
              ExitOk)
        << err_.str();
    const nlohmann::json json = nlohmann::json::parse(out_.str());
    EXPECT_EQ(json["start"], 500);
    EXPECT_EQ(json["width"], 6000);
    ASSERT_EQ(json["eigenvalues"].size(), 7u);

    // The eigenvalues sum to the total variance of a1 … a7 over the 1000 rows (n − 1 = 999).
    double variance = 0, eigenSum = 0;
    const auto rows = Section(exported, "LPC生データ", 1000);
    for (std::size_t j = 1; j < 8; ++j) {
        double sum = 0, squares = 0;
        for (const auto& row : rows) {
            sum += row.at(j);
            squares += row.at(j) * row.at(j);
        }
        variance += (squares - sum * sum / 1000) / 999;
    }
    for (double value : json["eigenvalues"])
        eigenSum += value;
    EXPECT_NEAR(eigenSum, variance, 1e-5 * variance);

    double first = 0, second = 0;
    for (const auto& s : Section(exported, "主成分得点", 1000)) {
        first = std::max(first, std::fabs(s.at(0)));
        second = std::max(second, std::fabs(s.at(1)));
    }
    EXPECT_NEAR(json["score_max"][0], first, 1e-6);
    EXPECT_NEAR(json["score_max"][1], second, 1e-6);
    EXPECT_EQ(QImage(QString::fromStdString(picture)).size(), QSize(750, 530));
}

TEST_F(LpcPcaCli, OrderOneAndBadInput)
{
    ASSERT_EQ(Run({file_, "--order", "1", "--json"}), ExitOk) << err_.str();
    EXPECT_EQ(nlohmann::json::parse(out_.str())["score_max"], nlohmann::json::array({0.0, 0.0}));
    EXPECT_NE(err_.str().find("no scale"), std::string::npos);

    EXPECT_EQ(Run({file_, "--frame", "300"}), ExitBadUsage);
    EXPECT_EQ(Run({file_, "--order", "101"}), ExitBadUsage);
    EXPECT_EQ(Run({file_, "--start", "-1"}), ExitBadUsage);
    EXPECT_TRUE(files::WriteWav(file_, files::WavFormat{}, std::vector<double>(1000, 1.0), {}).ok());
    EXPECT_EQ(Run({file_}), ExitBadInput);
    EXPECT_NE(err_.str().find("fewer than one frame of 1024"), std::string::npos);
}

} // namespace
} // namespace kelvora::cli
