// The commands read every sound format the program reads, and convert writes FLAC.

#include "cli/cli_command.h"
#include "run_cli.h"

#include "../support/test_signals.h"
#include "../tools/support/temp_files.h"
#include "files/sound_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>

namespace kelvora::cli {
namespace {

TEST(CliFormats, Mp3ToneHasItsSpectrumPeakAtOneKilohertz)
{
    if (!testing::HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed (scripts/setup-debian.sh installs it)";
    testing::TempDir temp;
    const std::string wav = temp.file("tone.wav"), mp3 = temp.file("tone.mp3");
    testing::WriteTestWav(wav, testing::Sine(44100, 1000.0, 44100.0, 16000.0), {}, 44100);
    ASSERT_EQ(std::system(("lame --quiet " + wav + " " + mp3).c_str()), 0);

    const CliRun run = Kelvora({"fft", mp3, "--start", "8192", "--size", "4096", "--json"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    // Bins are 44100 / 4096 = 10.77 Hz apart; 1 kHz lies between bins 92 and 93.
    EXPECT_NEAR(json["peak_hz"].get<double>(), 1000.0, 44100.0 / 4096.0);
    EXPECT_EQ(json["rate"], 44100);
}

TEST(CliFormats, ConvertWritesFlacWhenAskedAndTheWavComesBackByteForByte)
{
    testing::TempDir temp;
    const std::string wav = temp.file("a.wav"), flac = temp.file("a.flac"), back = temp.file("b.wav");
    testing::WriteTestWav(wav, {0, 32767, -32768, 5}, {1, -1, 2, -2}, 11025);
    ASSERT_EQ(Kelvora({"convert", wav, flac}).status, ExitOk);
    const auto bytes = testing::ReadBytes(flac);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "fLaC");
    ASSERT_EQ(Kelvora({"convert", flac, back}).status, ExitOk);
    EXPECT_EQ(testing::ReadBytes(back), testing::ReadBytes(wav));
}

TEST(CliFormats, WhatWasLeftOutIsOneLineOnStderrAndTheCommandStillWorks)
{
    if (!testing::HaveProgram("sox"))
        GTEST_SKIP() << "sox is not installed (scripts/setup-debian.sh installs it)";
    testing::TempDir temp;
    const std::string four = temp.file("four.aiff");
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 4 -b 16 " + four + " synth 0.25 sine 300").c_str()), 0);
    const CliRun run = Kelvora({"info", four, "--json"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["channels"], 2);
    EXPECT_EQ(run.err, four + ": このファイルには4チャンネルあります。 最初の2チャンネルだけを読み込みました。\n");

    testing::WriteBytes(temp.file("noise.ogg"), {'O', 'g', 'g', 'S', 1, 2, 3});
    const CliRun refused = Kelvora({"info", temp.file("noise.ogg")});
    EXPECT_EQ(refused.status, ExitBadInput);
    EXPECT_EQ(refused.err.rfind(temp.file("noise.ogg") + ": ", 0), 0u) << refused.err;
}

} // namespace
} // namespace kelvora::cli
