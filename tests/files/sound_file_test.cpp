// Reading sound files of every format: which reader takes a file, and how libsndfile's samples
// come onto the 16-bit scale. Inputs are made here with libsndfile's writer or with sox.

#include "files/flac_writer.h"
#include "files/little_endian.h"
#include "files/sound_file.h"
#include "files/sndfile_reader.h"
#include "../tools/support/temp_files.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace kelvora::files {
namespace {

using Bytes = std::vector<std::uint8_t>;

using testing::ReadBytes;

class SoundFileTest : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return temp_.file(name); }

    // Interleaved frames written by libsndfile itself, the values given as the encoding's own
    // numbers (integers for PCM, ±1 for floats).
    std::string writeWithSndfile(const std::string& name, int format, int channels, const std::vector<double>& frames,
                                 int rate = 8000) const
    {
        const std::string path = file(name);
        SF_INFO info{};
        info.channels = channels;
        info.samplerate = rate;
        info.format = format;
        SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(out, nullptr) << sf_strerror(nullptr);
        sf_command(out, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
        sf_writef_double(out, frames.data(), static_cast<sf_count_t>(frames.size()) / channels);
        sf_close(out);
        return path;
    }

private:
    testing::TempDir temp_;
};

TEST_F(SoundFileTest, TwentyFourBitFullScaleBecomesPlusMinus32767)
{
    // value · 32767 / 8388607: the positive end maps onto 32767 exactly, the negative one
    // (-8388608) onto -32767.0039, which rounds to -32767; 256 is 0.99997, so 1.
    const std::string path =
        writeWithSndfile("deep.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, {8388607, -8388608, 0, 256, -4194304});
    EXPECT_EQ(ChooseSoundReader(ReadBytes(path)), SoundReader::Sndfile);
    const auto read = ReadSound(path);
    ASSERT_TRUE(read.ok()) << read.error().message;
    const WavSound& sound = read.value().sound;
    EXPECT_EQ(sound.left, (std::vector<double>{32767, -32767, 0, 1, -16384})); // -16383.5020 rounds away
    EXPECT_TRUE(sound.right.empty());
    EXPECT_EQ(sound.format, (WavFormat{1, 8000, 16000, 2, 16}));
    EXPECT_TRUE(read.value().notice.empty());
}

TEST_F(SoundFileTest, FloatSamplesAreClippedToFullScaleAndNanBecomesZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::string path = writeWithSndfile("float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2,
                                              {1.5, -1.5, nan, 0.5, -0.25, 1.0});
    const auto read = ReadSound(path);
    ASSERT_TRUE(read.ok()) << read.error().message;
    // 0.5 · 32767 = 16383.5 rounds away from zero; -0.25 · 32767 = -8191.75.
    EXPECT_EQ(read.value().sound.left, (std::vector<double>{32767, 0, -8192}));
    EXPECT_EQ(read.value().sound.right, (std::vector<double>{-32767, 16384, 32767}));
    EXPECT_EQ(read.value().sound.format.bitsPerSample, 16);
}

TEST_F(SoundFileTest, MoreThanTwoChannelsKeepTheFirstTwoAndSaySo)
{
    const std::string path = writeWithSndfile("four.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 4,
                                              {1, 2, 3, 4, -5, -6, -7, -8});
    const auto read = ReadSound(path);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read.value().sound.left, (std::vector<double>{1, -5}));
    EXPECT_EQ(read.value().sound.right, (std::vector<double>{2, -6}));
    EXPECT_EQ(read.value().sound.format.channels, 2);
    EXPECT_NE(read.value().notice.find("4チャンネルあります"), std::string::npos) << read.value().notice;
}

TEST_F(SoundFileTest, OwnReaderKeepsPcmWavAndDamagedHeadersEverythingElseGoesToSndfile)
{
    const std::string pcm16 = writeWithSndfile("pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, {7, -7});
    const std::string pcm8 = writeWithSndfile("pcm8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, {7, -7});
    const Bytes wav16 = ReadBytes(pcm16);
    EXPECT_EQ(ChooseSoundReader(wav16), SoundReader::OwnWav);
    EXPECT_EQ(ChooseSoundReader(ReadBytes(pcm8)), SoundReader::OwnWav);
    // The own reader keeps 8-bit samples unscaled, as it always has.
    EXPECT_EQ(ReadSound(pcm8).value().sound.format.bitsPerSample, 8);

    Bytes noChannels = wav16;
    noChannels[20] = 3; // float, which libsndfile would take, but with no channels
    noChannels[22] = noChannels[23] = 0;
    EXPECT_EQ(ChooseSoundReader(noChannels), SoundReader::OwnWav);

    const Bytes shortHeader(wav16.begin(), wav16.begin() + 40);
    EXPECT_EQ(ChooseSoundReader(shortHeader), SoundReader::OwnWav);
    const auto refused = DecodeSound(shortHeader);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().message.find("44バイト未満"), std::string::npos);

    // A "fmt " chunk whose size runs past the end is damage too.
    Bytes cutFormat = wav16;
    cutFormat[16] = 0xFF;
    cutFormat[17] = 0xFF;
    EXPECT_EQ(ChooseSoundReader(cutFormat), SoundReader::OwnWav);

    // A 24-bit file whose "fmt " chunk follows a JUNK chunk is found by the chunk walk.
    const Bytes deep = ReadBytes(writeWithSndfile("deep.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, {1}));
    Bytes junkFirst(deep.begin(), deep.begin() + 12);
    for (const char c : std::string("JUNK"))
        junkFirst.push_back(static_cast<std::uint8_t>(c));
    Put32(junkFirst, 6);
    junkFirst.insert(junkFirst.end(), 6, 0);
    junkFirst.insert(junkFirst.end(), deep.begin() + 12, deep.end());
    EXPECT_EQ(ChooseSoundReader(junkFirst), SoundReader::Sndfile);

    const Bytes text{'1', '\n', '2', '\n'};
    EXPECT_EQ(ChooseSoundReader(text), SoundReader::Sndfile);
    const auto unknown = DecodeSound(text);
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error().kind, FailureKind::WrongFormat);
    EXPECT_NE(unknown.error().message.find("Format not recognised"), std::string::npos) << unknown.error().message;
}

TEST_F(SoundFileTest, FlacFramesDeeperThanTheirHeaderStayOnTheScale)
{
    // A 24-bit FLAC whose STREAMINFO is then made to say 16 bits (bits − 1 sit in bits 4…8 of
    // the big-endian word at offset 18): libFLAC still decodes the frames' 24-bit values.
    Bytes flac = ReadBytes(writeWithSndfile("deep.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, {8000000, -8000000, 100}));
    ASSERT_GT(flac.size(), 22u);
    flac[20] = static_cast<std::uint8_t>((flac[20] & 0xFE) | (15 >> 4));
    flac[21] = static_cast<std::uint8_t>((flac[21] & 0x0F) | ((15 & 0x0F) << 4));
    const auto read = DecodeSound(flac);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read.value().sound.left, (std::vector<double>{32767, -32768, 100}));
}

// A 16-bit stereo WAV with both ends of the range, made by the program's own writer.
class SoxFlacTest : public SoundFileTest {
protected:
    void SetUp() override
    {
        if (!testing::HaveProgram("sox"))
            GTEST_SKIP() << "sox is not installed (scripts/setup-debian.sh installs it)";
        for (int i = 0; i < 20000; ++i) {
            left_.push_back(std::round(32767 * std::sin(i * 0.031)));
            right_.push_back(static_cast<double>((i * 7919) % 65536 - 32768));
        }
        left_[5] = -32768;
        right_[6] = 32767;
        WriteWav(file("known.wav"), WavFormat{2, 22050, 88200, 4, 16}, left_, right_);
        ASSERT_EQ(std::system(("sox " + file("known.wav") + " " + file("known.flac")).c_str()), 0);
    }
    std::vector<double> left_, right_;
};

TEST_F(SoxFlacTest, FlacReadsBackSampleForSampleEvenUnderAWavName)
{
    const auto read = ReadSound(file("known.flac"));
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read.value().sound.left, left_);
    EXPECT_EQ(read.value().sound.right, right_);
    EXPECT_EQ(read.value().sound.format, (WavFormat{2, 22050, 88200, 4, 16}));

    // The name says WAV, the content says FLAC: the content decides.
    std::filesystem::copy_file(file("known.flac"), file("disguised.wav"));
    const auto disguised = ReadSound(file("disguised.wav"));
    ASSERT_TRUE(disguised.ok()) << disguised.error().message;
    EXPECT_EQ(disguised.value().sound.left, left_);
}

TEST_F(SoxFlacTest, CutFlacGivesAMessageOrThePartThatWasThereNeverACrash)
{
    const Bytes whole = ReadBytes(file("known.flac"));
    for (const std::size_t length : {std::size_t{0}, std::size_t{4}, std::size_t{30}, std::size_t{100},
                                     whole.size() / 2, whole.size() - 1}) {
        SCOPED_TRACE(length);
        const auto read = DecodeSound(std::span<const std::uint8_t>(whole.data(), length));
        if (!read.ok()) {
            EXPECT_FALSE(read.error().message.empty());
            continue;
        }
        const WavSound& sound = read.value().sound;
        ASSERT_LT(sound.left.size(), left_.size());
        EXPECT_NE(read.value().notice.find("途中で切れています"), std::string::npos);
        EXPECT_TRUE(std::equal(sound.left.begin(), sound.left.end(), left_.begin()));
    }
    // Half the file holds several whole FLAC frames: they are kept.
    const auto half = DecodeSound(std::span<const std::uint8_t>(whole.data(), whole.size() / 2));
    ASSERT_TRUE(half.ok()) << half.error().message;
    EXPECT_GT(half.value().sound.left.size(), 4096u);
}

TEST_F(SoundFileTest, FlacWriterTruncatesLikeTheWavWriterAndReadsBack)
{
    const std::string path = file("out.flac");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> left{1.9, -1.9, 40000, -40000, nan}, right{5, 6};
    ASSERT_TRUE(WriteFlac16(path, WavFormat{2, 16000, 0, 0, 8}, left, right).ok());
    const Bytes bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "fLaC");
    const auto read = ReadSound(path);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read.value().sound.left, (std::vector<double>{1, -1, 32767, -32768, 0}));
    EXPECT_EQ(read.value().sound.right, (std::vector<double>{5, 6, 0, 0, 0})); // a short right is padded
    EXPECT_EQ(read.value().sound.format, (WavFormat{2, 16000, 64000, 4, 16}));

    // No samples still makes a FLAC file, one that reads back as an empty sound.
    ASSERT_TRUE(WriteFlac16(path, WavFormat{}, {}, {}).ok());
    const auto empty = ReadSound(path);
    ASSERT_TRUE(empty.ok()) << empty.error().message;
    EXPECT_TRUE(empty.value().sound.left.empty());
    // …except at a rate libFLAC's encoder refuses, where it fails rather than leave no bytes.
    EXPECT_FALSE(EncodeFlac16(WavFormat{1, 65536, 0, 0, 16}, {}, {}).ok());

    EXPECT_FALSE(WriteFlac16(file("no/such/dir.flac"), WavFormat{}, left, {}).ok());
}

TEST_F(SoundFileTest, ProgressStepsOncePerSecondOfFrames)
{
    const std::string path = writeWithSndfile("steps.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1,
                                              std::vector<double>(20000, 3.0));
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadSound(path, [&](const std::string& line) { lines.push_back(line); }).ok());
    // Frames 0, 8000 and 16000 of 20000: 0 %, 40 % and 80 % done, shown plus one.
    EXPECT_EQ(lines, (std::vector<std::string>{"データを読込み中\n　0秒分(1％)", "データを読込み中\n　1秒分(41％)",
                                               "データを読込み中\n　2秒分(81％)"}));
}

} // namespace
} // namespace kelvora::files
