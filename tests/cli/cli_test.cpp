// The headless commands, run in-process through the same entry point as `kelvora ...`.

#include "cli/cli_command.h"
#include "run_cli.h"

#include "../tools/support/temp_files.h"
#include "canvas/picture.h"

#include <QImage>

#include <gtest/gtest.h>

#include <sstream>

namespace kelvora::cli {
namespace {

TEST(CliInfo, PrintsTheFormatAsJson)
{
    testing::TempDir temp;
    const std::string path = temp.file("stereo.wav");
    testing::WriteTestWav(path, {100, -2000, 3}, {5, 6, 7}, 44100);
    const CliRun run = Kelvora({"info", path, "--json"});
    EXPECT_EQ(run.status, ExitOk);
    EXPECT_EQ(run.out, "{\"channels\":2,\"rate\":44100,\"bits\":16,\"samples\":3,\"seconds\":0.000068,\"peak\":2000}\n");
}

TEST(CliInfo, ReadsTextAsMono8000)
{
    testing::TempDir temp;
    const std::string path = temp.file("numbers.txt");
    testing::WriteBytes(path, {'1', ' ', '-', '4', '0', '0', '0', '0', '\n'});
    const CliRun run = Kelvora({"info", path, "--json"});
    EXPECT_EQ(run.status, ExitOk) << run.err;
    EXPECT_EQ(run.out, "{\"channels\":1,\"rate\":8000,\"bits\":16,\"samples\":2,\"seconds\":0.000250,\"peak\":40000}\n");
}

TEST(CliErrors, BadFilesGiveOneLineAndStatusOne)
{
    testing::TempDir temp;
    const std::string path = temp.file("bad.wav");
    testing::WriteBytes(path, {'R', 'I', 'F', 'F', 0, 0});
    for (const auto& args : std::vector<std::vector<std::string>>{{"info", path}, {"draw", path, "-o", temp.file("x.png")},
                                                                 {"info", temp.file("missing.wav")}}) {
        const CliRun run = Kelvora(args);
        EXPECT_EQ(run.status, ExitBadInput);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.rfind(args[1], 0), 0u) << run.err;
    }
}

TEST(CliErrors, BadUsageGivesStatusTwoWithUsage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"info"}, {"draw", "a.wav"}, {"draw", "a.wav", "-o", "x.png", "--channel", "middle"},
             {"info", "a.wav", "--bogus"}, {"nonsense"}, {}}) {
        const CliRun run = Kelvora(args);
        EXPECT_EQ(run.status, ExitBadUsage);
        EXPECT_NE(run.err.find("usage"), std::string::npos) << run.err;
    }
    const CliRun help = Kelvora({"--help"});
    EXPECT_EQ(help.status, ExitOk);
    EXPECT_NE(help.out.find("kelvora info"), std::string::npos);
    EXPECT_NE(help.out.find("kelvora draw"), std::string::npos);
}

TEST(CliDraw, WritesTheWaveformPictureOfTheChosenChannel)
{
    testing::TempDir temp;
    const std::string path = temp.file("stereo.wav");
    testing::WriteTestWav(path, {0, 0}, {32767, 32767});
    ASSERT_EQ(Kelvora({"draw", path, "-o", temp.file("left.png")}).status, ExitOk);
    ASSERT_EQ(Kelvora({"draw", path, "-o", temp.file("right.bmp"), "--channel", "right"}).status, ExitOk);
    const QImage left(QString::fromStdString(temp.file("left.png")));
    const QImage right(QString::fromStdString(temp.file("right.bmp")));
    ASSERT_EQ(left.size(), QSize(750, 530));
    ASSERT_EQ(right.size(), QSize(750, 530));
    EXPECT_EQ(left.pixel(400, 270) & 0xffffff, Blue);  // zero line of the left channel
    EXPECT_EQ(right.pixel(400, 70) & 0xffffff, Blue);  // full scale of the right channel
    const CliRun mono = Kelvora({"draw", temp.file("left.png"), "-o", temp.file("y.png")});
    EXPECT_EQ(mono.status, ExitBadInput);
}

} // namespace
} // namespace kelvora::cli
