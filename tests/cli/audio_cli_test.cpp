// The audio commands run in-process: playing through whatever output the program installed,
// and the editing and generating tools writing WAV files that are read back.

#include "cli/cli_command.h"
#include "../support/test_signals.h"
#include "run_cli.h"

#include "../tools/support/temp_files.h"
#include "files/wav.h"
#include "platform/fake_audio_output.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

namespace kelvora::cli {
namespace {

files::WavSound ReadBack(const std::string& path)
{
    auto sound = files::ReadWav(path);
    EXPECT_TRUE(sound.ok()) << path;
    return sound.ok() ? sound.value() : files::WavSound{};
}

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// An output that finishes a little after it is started, through the event loop, as a device
// would; what it was given is kept in `played`.
struct Played {
    std::vector<std::int16_t> samples;
    std::uint32_t rate = 0;
};

class PromptOutput : public platform::AudioOutput {
public:
    explicit PromptOutput(Played& played) : played_(played) {}
    bool play(std::span<const std::int16_t> samples, std::uint32_t rate) override
    {
        played_.samples.assign(samples.begin(), samples.end());
        played_.rate = rate;
        playing_ = true;
        QTimer::singleShot(20, [this] {
            playing_ = false;
            reportFinished();
        });
        return true;
    }
    void stop() override { playing_ = false; }
    std::optional<std::uint64_t> position() const override { return std::nullopt; }
    bool playing() const override { return playing_; }
    bool available() const override { return true; }

private:
    Played& played_;
    bool playing_ = false;
};

class AudioCliTest : public ::testing::Test {
protected:
    ~AudioCliTest() override { platform::DefaultAudioOutputFactory() = {}; }
    std::string wav(const std::vector<double>& samples, std::uint32_t rate = 8000)
    {
        const std::string path = temp.file("in" + std::to_string(++made) + ".wav");
        testing::WriteTestWav(path, samples, {}, rate);
        return path;
    }
    testing::TempDir temp;
    int made = 0;
};

TEST_F(AudioCliTest, PlayWaitsForTheEndOfTheFramedSamples)
{
    Played played;
    platform::DefaultAudioOutputFactory() = [&] { return std::make_unique<PromptOutput>(played); };
    const std::string path = wav({0, 40000, 100, -200, 300, 5}, 16000);
    CliRun run = Kelvora({"play", path, "--start", "2", "--width", "3"});
    EXPECT_EQ(run.status, ExitOk) << run.err;
    EXPECT_EQ(played.samples, (std::vector<std::int16_t>{100, -200, 300}));
    EXPECT_EQ(played.rate, 16000u);
    run = Kelvora({"play", path});
    EXPECT_EQ(run.status, ExitOk) << run.err;
    EXPECT_EQ(played.samples.size(), 6u);
    EXPECT_EQ(played.samples[1], 32767); // the file held it at the 16-bit limit already
    EXPECT_EQ(Kelvora({"play", path, "--start", "4", "--width", "3"}).status, ExitBadUsage);
}

TEST_F(AudioCliTest, PlayWithoutADeviceSaysSoAndFails)
{
    const std::string path = wav({1, 2, 3});
    CliRun run = Kelvora({"play", path});
    EXPECT_EQ(run.status, ExitBadInput);
    EXPECT_EQ(Lines(run.err), 1) << run.err;
    EXPECT_NE(run.err.find("no sound output device"), std::string::npos) << run.err;

    platform::DefaultAudioOutputFactory() = [] {
        auto output = std::make_unique<platform::FakeAudioOutput>();
        output->deviceAvailable = false;
        return output;
    };
    run = Kelvora({"play", path});
    EXPECT_EQ(run.status, ExitBadInput);
    EXPECT_EQ(Lines(run.err), 1) << run.err;
}

TEST_F(AudioCliTest, EditKeepsOrDeletesTheFramedSamples)
{
    const std::string in = wav(testing::Ramp(16000), 11025);
    const std::string kept = temp.file("kept.wav"), cut = temp.file("cut.wav");
    CliRun run = Kelvora({"edit", in, "-o", kept, "--keep", "--start", "800", "--width", "14400"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    files::WavSound sound = ReadBack(kept);
    EXPECT_EQ(sound.format.sampleRate, 11025u);
    EXPECT_EQ(sound.left, testing::Ramp(14400, 800));

    run = Kelvora({"edit", in, "-o", cut, "--delete", "--start", "10", "--width", "15980"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    sound = ReadBack(cut);
    std::vector<double> expected = testing::Ramp(10);
    expected.insert(expected.end(), {15990, 15991, 15992, 15993, 15994, 15995, 15996, 15997, 15998, 15999});
    EXPECT_EQ(sound.left, expected);
}

TEST_F(AudioCliTest, EditRefusesFramesOutsideTheSoundAndAnEmptyResult)
{
    const std::string in = wav(testing::Ramp(100));
    const std::string out = temp.file("out.wav");
    for (const auto& frame : std::vector<std::vector<std::string>>{
             {"--start", "100", "--width", "1"}, {"--start", "0", "--width", "0"},
             {"--start", "-1", "--width", "5"}, {"--start", "50", "--width", "51"}}) {
        std::vector<std::string> args = {"edit", in, "-o", out, "--keep"};
        args.insert(args.end(), frame.begin(), frame.end());
        EXPECT_EQ(Kelvora(args).status, ExitBadUsage) << frame[1] << " " << frame[3];
    }
    EXPECT_EQ(Kelvora({"edit", in, "-o", out, "--start", "0", "--width", "5"}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"edit", in, "-o", out, "--keep", "--delete", "--start", "0", "--width", "5"}).status,
              ExitBadUsage);
    const CliRun run = Kelvora({"edit", in, "-o", out, "--delete", "--start", "0", "--width", "100"});
    EXPECT_EQ(run.status, ExitBadInput);
    EXPECT_EQ(Lines(run.err), 1) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(AudioCliTest, GenerateWritesTheShapeAtTheRate)
{
    const std::string out = temp.file("rect.wav");
    CliRun run = Kelvora({"generate", "--shape", "rectangle", "--rate", "8000", "--ms", "500", "--frequency", "440",
                          "--amplitude", "15000", "--duty", "50", "-o", out});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    files::WavSound sound = ReadBack(out);
    EXPECT_EQ(sound.format.sampleRate, 8000u);
    EXPECT_EQ(sound.format.bitsPerSample, 16);
    ASSERT_EQ(sound.left.size(), 4000u);
    for (std::size_t n = 0; n < 36; ++n)
        EXPECT_EQ(sound.left[n], n % 18 < 9 ? 15000.0 : 0.0) << n;

    run = Kelvora({"generate", "--shape", "sine", "--rate", "16000", "--ms", "10", "--frequency", "1000",
                   "--amplitude", "1000", "-o", out});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    sound = ReadBack(out);
    ASSERT_EQ(sound.left.size(), 160u);
    EXPECT_EQ(sound.left[4], 1000.0);  // a quarter period: sin(π/2), written as 16 bits
    EXPECT_EQ(sound.left[12], -1000.0);

    const std::string a = temp.file("a.wav"), b = temp.file("b.wav");
    for (const std::string& path : {a, b})
        ASSERT_EQ(Kelvora({"generate", "--shape", "noise", "--rate", "8000", "--ms", "100", "--frequency", "0",
                           "--amplitude", "3000", "--seed", "77", "-o", path}).status, ExitOk);
    EXPECT_EQ(ReadBack(a).left, ReadBack(b).left);
}

TEST_F(AudioCliTest, GenerateRefusesUnknownShapesAndValuesOutOfRange)
{
    const std::string out = temp.file("x.wav");
    const std::vector<std::string> base = {"generate", "--rate", "8000", "--ms", "10", "--frequency", "440",
                                           "--amplitude", "100", "-o", out};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        return Kelvora(args).status;
    };
    EXPECT_EQ(with({"--shape", "square"}), ExitBadUsage);
    EXPECT_EQ(with({}), ExitBadUsage);
    EXPECT_EQ(with({"--shape", "sine", "--duty", "101"}), ExitBadUsage);
    EXPECT_EQ(with({"--shape", "sine", "--amplitude", "40000"}), ExitBadUsage);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(AudioCliTest, JoinPutsTheSecondSoundBehindTheFirst)
{
    const std::string a = wav(testing::Ramp(30, 1), 16000), b = wav(testing::Ramp(20, -500), 8000);
    const std::string out = temp.file("joined.wav");
    const CliRun run = Kelvora({"join", a, b, "-o", out});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    EXPECT_EQ(Lines(run.err), 1) << "a note about the differing rates: " << run.err;
    const files::WavSound sound = ReadBack(out);
    std::vector<double> expected = testing::Ramp(30, 1);
    const std::vector<double> second = testing::Ramp(20, -500);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(sound.left, expected);
    EXPECT_EQ(sound.format.sampleRate, 16000u);
    EXPECT_EQ(Kelvora({"join", a, temp.file("missing.wav"), "-o", out}).status, ExitBadInput);
    EXPECT_EQ(Kelvora({"join", a, "-o", out}).status, ExitBadUsage);
}

TEST_F(AudioCliTest, JoinBehindAnEightBitSoundKeepsEightBitsOnlyWhileTheyHoldTheResult)
{
    const std::string quiet = temp.file("quiet.wav"), loud = wav({1000, -20000, 127});
    testing::WriteTestWav(quiet, {-128, 0, 127}, {}, 8000, 8);
    const std::string joined = temp.file("joined.wav"), both = temp.file("both.wav");
    ASSERT_EQ(Kelvora({"join", quiet, loud, "-o", joined}).status, ExitOk);
    const files::WavSound wide = ReadBack(joined);
    EXPECT_EQ(wide.format.bitsPerSample, 16);
    EXPECT_EQ(wide.left, (std::vector<double>{-128, 0, 127, 1000, -20000, 127}));
    ASSERT_EQ(Kelvora({"join", quiet, quiet, "-o", both}).status, ExitOk);
    EXPECT_EQ(ReadBack(both).format.bitsPerSample, 8);
}

TEST_F(AudioCliTest, ConvolveAppliesWAndDeconvolveTakesItOff)
{
    const std::string dry = wav({0, 3000, 0, 0, 0}, 11025), room = wav({1000, 0, 500});
    const std::string wet = temp.file("wet.wav"), back = temp.file("back.wav");
    CliRun run = Kelvora({"convolve", dry, "--with", room, "-o", wet});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    files::WavSound sound = ReadBack(wet);
    EXPECT_EQ(sound.format.sampleRate, 11025u);
    ASSERT_EQ(sound.left.size(), 16u);
    EXPECT_EQ(sound.left[1], 16380.0);
    EXPECT_EQ(sound.left[3], 8190.0);
    EXPECT_EQ(sound.left[2], 0.0);

    run = Kelvora({"convolve", wet, "--with", room, "-o", back, "--deconvolve"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    sound = ReadBack(back);
    EXPECT_NEAR(sound.left[1], 16380.0, 1.0);
    for (std::size_t n : {0u, 2u, 3u, 4u, 5u})
        EXPECT_NEAR(sound.left[n], 0.0, 1.0) << n;

    run = Kelvora({"convolve", dry, "--with", wav({0, 0}), "-o", wet});
    EXPECT_EQ(run.status, ExitBadInput);
    EXPECT_EQ(Lines(run.err), 1) << run.err;
}

TEST_F(AudioCliTest, EchoReportsTheDecayTimeAsJson)
{
    std::vector<double> decay(16000);
    for (std::size_t n = 0; n < decay.size(); ++n)
        decay[n] = std::round(30000.0 * std::pow(10.0, -3.0 * static_cast<double>(n) / 8000.0));
    // Rounded to whole 16-bit values the tail runs out at about 1.5 s; measure well before it.
    const std::string path = wav(decay);
    const CliRun run = Kelvora({"echo", path, "--start", "1000", "--width", "4000", "--json"});
    ASSERT_EQ(run.status, ExitOk) << run.err;
    const auto field = [&](const std::string& name) {
        const std::size_t at = run.out.find("\"" + name + "\":");
        EXPECT_NE(at, std::string::npos) << name << " in " << run.out;
        return at == std::string::npos ? 0.0 : std::stod(run.out.substr(at + name.size() + 3));
    };
    EXPECT_NEAR(field("echo_ms"), 1000.0, 5.0);
    EXPECT_GT(field("level_start_db"), field("level_end_db"));
    EXPECT_NEAR(field("level_start_db") - field("level_end_db"), 30.0, 0.2); // 4000 samples at 60 dB/s
    EXPECT_EQ(Kelvora({"echo", path, "--start", "15990", "--width", "20"}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"echo", wav(std::vector<double>(30, 5.0)), "--start", "0", "--width", "10"}).status,
              ExitBadInput);
}

} // namespace
} // namespace kelvora::cli
