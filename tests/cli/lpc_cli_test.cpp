// The linear-prediction commands run in-process on sounds made in code, their JSON parsed back.

#include "run_cli.h"

#include "../support/test_signals.h"
#include "../support/vowel_signal.h"
#include "../tools/support/temp_files.h"
#include "files/wav.h"

#include <QImage>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>

namespace kelvora::cli {
namespace {

using nlohmann::json;

class LpcCli : public ::testing::Test {
protected:
    std::string Sound(const std::string& name, const std::vector<double>& samples)
    {
        const std::string path = dir.file(name);
        EXPECT_TRUE(files::WriteWav(path, files::WavFormat{}, samples, {}).ok());
        return path;
    }
    std::string VowelA() { return Sound("a.wav", testing::SyntheticVowel(8000, 8000.0, {{800, 80}, {1200, 90}, {2500, 150}})); }
    std::string Silence() { return Sound("silence.wav", std::vector<double>(4000, 0.0)); }

    json Json(const std::vector<std::string>& args)
    {
        const CliRun run = Kelvora(args);
        EXPECT_EQ(run.status, ExitOk) << run.err;
        return json::parse(run.out);
    }

    testing::TempDir dir;
};

TEST_F(LpcCli, LpcPrintsOneFrameAndKeepsTheOrderBelowHalfTheFrame)
{
    const std::string path = VowelA();
    const json result = Json({"lpc", path, "--start", "2000", "--order", "2", "--size", "1024", "--json"});
    ASSERT_EQ(result["a"].size(), 3u);
    ASSERT_EQ(result["k"].size(), 2u);
    ASSERT_EQ(result["r"].size(), 3u);
    EXPECT_EQ(result["a"][0], 1.0);
    EXPECT_EQ(result["r"][0], 1.0);
    const double k1 = result["k"][0], k2 = result["k"][1];
    EXPECT_EQ(result["a"][2].get<double>(), -k2);
    EXPECT_NEAR(result["k"][0].get<double>(), result["r"][1].get<double>(), 1e-12); // k1 = r1
    EXPECT_NEAR(result["error"][1].get<double>(), (1 - k1 * k1) * (1 - k2 * k2), 1e-12);

    EXPECT_EQ(Kelvora({"lpc", path, "--start", "0", "--order", "128", "--size", "256"}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"lpc", path, "--order", "4"}).status, ExitBadUsage);
}

TEST_F(LpcCli, VowelFindsTheFormantsAndDrawsTheChart)
{
    const std::string picture = dir.file("chart.png");
    const json result = Json({"vowel", VowelA(), "--start", "4000", "--picture", picture, "--json"});
    EXPECT_EQ(result["frame"], 256);
    EXPECT_EQ(result["order"], 10);
    EXPECT_EQ(result["start"], 4000);
    EXPECT_NEAR(result["f1"].get<double>(), 800.0, 62.5);
    EXPECT_NEAR(result["f2"].get<double>(), 1200.0, 62.5);
    ASSERT_EQ(result["areas"].size(), 11u);
    EXPECT_EQ(result["areas"][0], 10.0);
    EXPECT_EQ(QImage(QString::fromStdString(picture)).size(), QSize(572, 225));

    const json silent = Json({"vowel", Silence(), "--json"});
    EXPECT_EQ(silent["silent"], true);
    EXPECT_EQ(silent["f1"], 0.0);
    for (const json& area : silent["areas"])
        EXPECT_EQ(area, 10.0);
}

TEST_F(LpcCli, OrderReportsTheCriterionOfEveryOrder)
{
    const json result = Json({"order", VowelA(), "--start", "4000", "--json"});
    ASSERT_EQ(result["criterion"].size(), 100u);
    EXPECT_EQ(result["criterion"][0], 0.0);
    const std::size_t best = result["order"];
    for (const json& value : result["criterion"])
        EXPECT_GE(value.get<double>(), result["minimum"].get<double>());
    EXPECT_EQ(result["criterion"][best], result["minimum"]);

    const json silent = Json({"order", Silence(), "--start", "0", "--json"});
    EXPECT_TRUE(silent["order"].is_null());
    EXPECT_TRUE(silent["criterion"][0].is_null());
    EXPECT_TRUE(silent.contains("note"));
    EXPECT_EQ(Kelvora({"order", Silence(), "--start", "0", "--size", "2048"}).status, ExitBadUsage);
}

TEST_F(LpcCli, FormantsTrackEveryFrameOfTheSound)
{
    const std::string csv = dir.file("track.csv");
    const CliRun run = Kelvora({"formants", VowelA(), "--csv", csv});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    std::ifstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "time_s,f1_hz,f2_hz");
    // Frames of 256 every 80 samples (10 ms) while they fit in 8000: (8000 - 256) / 80 + 1 = 97.
    int frames = 0;
    double time = 0, f1 = 0, f2 = 0;
    char comma;
    while (in >> time >> comma >> f1 >> comma >> f2) {
        EXPECT_NEAR(time, (frames * 80 + 128) / 8000.0, 1e-6);
        EXPECT_NEAR(f1, 800.0, 62.5) << time;
        EXPECT_NEAR(f2, 1200.0, 62.5) << time;
        ++frames;
    }
    EXPECT_EQ(frames, 97);
}

} // namespace
} // namespace kelvora::cli
