// The workbench commands run in-process on WAV files written by the test, their JSON checked
// against closed forms and sums worked out here.

#include "cli/cli_command.h"
#include "../support/test_signals.h"
#include "run_cli.h"

#include "../tools/support/temp_files.h"
#include "files/wav.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace kelvora::cli {
namespace {

using testing::TempDir;
using testing::WriteTestWav;

// The WAV holds whole numbers, so the sums below see exactly what the command reads.
std::vector<double> Rounded(std::vector<double> samples)
{
    for (double& s : samples)
        s = std::trunc(s);
    return samples;
}

// α = γ = 1 and one stage: the coefficient is Σ x[n] x[n−1] / Σ x[n]².
TEST(WorkbenchCli, LatticeJsonHoldsTheFinalReflection)
{
    TempDir dir;
    const std::vector<double> x = Rounded(testing::UniformNoise(3000, 9000.0, 2));
    WriteTestWav(dir.file("in.wav"), x);
    double cross = 0.0, power = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        cross += x[n] * (n > 0 ? x[n - 1] : 0.0);
        power += x[n] * x[n];
    }
    const CliRun run = Kelvora({"lattice", dir.file("in.wav"), "--alpha", "1", "--gamma", "1", "--order", "1",
                                "--out-e", dir.file("e.wav"), "--json"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["reflection"].size(), 2u);
    EXPECT_NEAR(json["reflection"][1].get<double>(), cross / power, 1e-12);
    EXPECT_TRUE(files::ReadWav(dir.file("e.wav")).ok());
    EXPECT_EQ(Kelvora({"lattice", dir.file("in.wav"), "--alpha", "0"}).status, ExitBadUsage);
}

// One tap, M = 1, β = 1 on a constant: the weight is 1 − 0.9^count at the end and the error
// c · 0.9^n (c at n = 0), whose smoothed power is summed here by its definition.
TEST(WorkbenchCli, AdfLineEnhancerOnAConstant)
{
    TempDir dir;
    constexpr double c = 1000.0;
    constexpr std::size_t count = 300;
    WriteTestWav(dir.file("in.wav"), std::vector<double>(count, c));
    const CliRun run = Kelvora({"adf", dir.file("in.wav"), "--taps", "1", "--delay", "1", "--mu", "0.1", "--json"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_NEAR(json["weights"][0].get<double>(), 1.0 - std::pow(0.9, count), 1e-12);
    double px = 0.0, pe = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        const double e = c * std::pow(0.9, n);
        px = (c * c + 1000.0 * px) / 1001.0;
        pe = (e * e + 1000.0 * pe) / 1001.0;
    }
    EXPECT_NEAR(json["kpk_db"].get<double>(), 10.0 * std::log10(pe / px), 1e-6);

    EXPECT_EQ(Kelvora({"adf", dir.file("in.wav"), "--mode", "filter"}).status, ExitBadUsage);
}

TEST(WorkbenchCli, LpcWorkbenchOutputsAndRefusal)
{
    TempDir dir;
    WriteTestWav(dir.file("in.wav"), Rounded(testing::UniformNoise(4000, 8000.0, 6)), {}, 8000);
    WriteTestWav(dir.file("short.wav"), std::vector<double>(256, 5.0), {}, 8000);
    const CliRun run = Kelvora({"lpc-workbench", dir.file("in.wav"), "--order", "3", "--table", "k", "--table-csv",
                                dir.file("t.csv"), "--with", dir.file("in.wav"), "--out-ye", dir.file("ye.csv"),
                                "--json"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["frame"], 256);                 // 8000 Hz frames are 256 points
    EXPECT_EQ(json["frames"], 30);                 // starts 0, 128, …, 3712 (< 4000 − 256)
    EXPECT_EQ(json["mean_cepstral_distance_db"], 0.0); // a sound against itself
    std::ifstream table(dir.file("t.csv"));
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line, "row,k0,k1,k2,k3");
    int lines = 1;
    while (std::getline(table, line))
        ++lines;
    EXPECT_EQ(lines, 501);

    const CliRun refused = Kelvora({"lpc-workbench", dir.file("short.wav")});
    EXPECT_EQ(refused.status, ExitBadInput);
    EXPECT_NE(refused.err.find("データ量が257(ポイント)より少ないので動きません"), std::string::npos) << refused.err;
    EXPECT_EQ(Kelvora({"lpc-workbench", dir.file("in.wav"), "--frame", "128"}).status, ExitBadUsage);
}

} // namespace
} // namespace kelvora::cli
