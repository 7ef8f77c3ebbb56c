// The recording, spectrogram and tone commands in-process: recording from a scripted input,
// the spectrogram's numbers for a tone whose line lies at a known row, and the mixed tone
// against its formula.

#include "cli/cli_command.h"
#include "../support/test_signals.h"
#include "run_cli.h"

#include "../tools/support/temp_files.h"
#include "files/wav.h"
#include "platform/fake_audio_input.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace kelvora::cli {
namespace {

files::WavSound ReadBack(const std::string& path)
{
    auto sound = files::ReadWav(path);
    EXPECT_TRUE(sound.ok()) << path;
    return sound.ok() ? sound.value() : files::WavSound{};
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, ',');)
        fields.push_back(field);
    return fields;
}

class SoundToolsCliTest : public ::testing::Test {
protected:
    ~SoundToolsCliTest() override { platform::DefaultAudioInputFactory() = {}; }
    testing::TempDir temp;
};

TEST_F(SoundToolsCliTest, RecordWritesTheRequestedSecondsFromTheInput)
{
    const std::string out = temp.file("take.wav");
    EXPECT_EQ(Kelvora({"record", "--seconds", "1", "-o", out}).status, ExitBadInput); // no input installed
    platform::DefaultAudioInputFactory() = [] {
        auto input = std::make_unique<platform::FakeAudioInput>();
        input->generator = [](std::span<std::int16_t> block, std::uint64_t index) {
            for (std::size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<std::int16_t>(index * 1000 + i);
        };
        input->generatorBlocks = 10;
        return input;
    };
    const CliRun run = Kelvora({"record", "--seconds", "0.125", "-o", out});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const files::WavSound sound = ReadBack(out);
    EXPECT_EQ(sound.format.sampleRate, 8000u);
    ASSERT_EQ(sound.left.size(), 1000u); // two whole blocks and half of the third
    EXPECT_EQ(sound.left[399], 399.0);
    EXPECT_EQ(sound.left[400], 1000.0);
    EXPECT_EQ(sound.left[999], 2199.0);
    EXPECT_EQ(Kelvora({"record", "--seconds", "0", "-o", out}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"record", "--seconds", "0.0001", "-o", out}).status, ExitBadUsage); // not one sample
}

TEST_F(SoundToolsCliTest, SpectrogramNumbersPutAOneKilohertzToneAtRow128)
{
    const std::string in = temp.file("tone.wav"), csv = temp.file("levels.csv"), png = temp.file("s.png");
    testing::WriteTestWav(in, testing::Sine(16000, 1000.0, 8000.0, 16384.0), {}, 8000);
    const CliRun run = Kelvora({"spectrogram", in, "--json", "--csv", csv, "--picture", png, "--slice", "2000"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["start"], 3200); // a fifth of the sound
    EXPECT_EQ(json["width"], 3200);
    EXPECT_EQ(json["frame"], 1024);
    EXPECT_NEAR(json["max_db"].get<double>(), 10 * std::log10(4096.0 * 4096.0), 0.01); // 16384 ÷ 4
    EXPECT_EQ(json["slice_start"], 6400);

    std::ifstream table(csv);
    std::string line;
    std::getline(table, line);
    const std::vector<std::string> header = Split(line);
    ASSERT_EQ(header.size(), 513u);
    EXPECT_EQ(std::stod(header[1 + 128]), 1000.0); // row 128 is bin 128: 128 · 8000 ÷ 1024
    int rows = 0;
    while (std::getline(table, line)) {
        const std::vector<std::string> fields = Split(line);
        ASSERT_EQ(fields.size(), 513u);
        // Column c starts at 3200 + trunc(c · 3200 ÷ 650) samples.
        EXPECT_NEAR(std::stod(fields[0]), (3200 + rows * 3200 / 650) / 8000.0, 1e-6) << rows;
        std::size_t loudest = 1;
        for (std::size_t r = 1; r < fields.size(); ++r)
            if (std::stod(fields[r]) > std::stod(fields[loudest]))
                loudest = r;
        ASSERT_EQ(loudest, 1u + 128) << rows;
        ++rows;
    }
    EXPECT_EQ(rows, 650);
    EXPECT_EQ(Kelvora({"spectrogram", in, "--frame", "2048"}).status, ExitBadUsage);
}

TEST_F(SoundToolsCliTest, TonesWritesTheMixedToneAt16Kilohertz)
{
    const std::string out = temp.file("tones.wav");
    const CliRun run = Kelvora({"tones", "--f1", "440", "--level1", "-10", "--f2", "1200", "--level2", "0",
                                "--seconds", "0.5", "-o", out});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const files::WavSound sound = ReadBack(out);
    EXPECT_EQ(sound.format.sampleRate, 16000u);
    ASSERT_EQ(sound.left.size(), 8000u);
    for (std::size_t n = 0; n < sound.left.size(); ++n) {
        const double t = static_cast<double>(n) / 16000.0;
        const double expected = 16383 * std::sin(2 * std::numbers::pi * 1200 * t) +
                                5180 * std::sin(2 * std::numbers::pi * 440 * t);
        ASSERT_NEAR(sound.left[n], std::trunc(expected), 1.0) << n;
    }
    EXPECT_EQ(Kelvora({"tones", "--f1", "440", "--level1", "0", "--f2", "1100", "--seconds", "1", "-o", out}).status,
              ExitBadUsage);
    // A length below one sample would write an empty sound and call it done.
    EXPECT_EQ(Kelvora({"tones", "--f1", "440", "--seconds", "0.00005", "-o", out}).status, ExitBadUsage);
}

} // namespace
} // namespace kelvora::cli
