#include "files/wav.h"
#include "files/little_endian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace kelvora::files {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Text(Bytes& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// A canonical 44-byte-header PCM file, with chunks placed between "fmt " and "data" when given.
Bytes MakeWav(unsigned channels, std::uint32_t rate, unsigned bits, const Bytes& data, const Bytes& between = {},
              unsigned formatTag = 1)
{
    const unsigned blockAlign = channels * bits / 8;
    Bytes out;
    Text(out, "RIFF");
    Put32(out, static_cast<std::uint32_t>(36 + between.size() + data.size()));
    Text(out, "WAVE");
    Text(out, "fmt ");
    Put32(out, 16);
    Put16(out, formatTag);
    Put16(out, channels);
    Put32(out, rate);
    Put32(out, rate * blockAlign);
    Put16(out, blockAlign);
    Put16(out, bits);
    out.insert(out.end(), between.begin(), between.end());
    Text(out, "data");
    Put32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes Pcm16(const std::vector<int>& values)
{
    Bytes out;
    for (const int v : values)
        Put16(out, static_cast<unsigned>(v) & 0xFFFF);
    return out;
}

// A deterministic pattern that reaches both ends of the 16-bit range.
std::vector<int> Pattern(std::size_t count, int seed)
{
    std::vector<int> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = static_cast<int>((i * 7919 + static_cast<std::size_t>(seed) * 104729) % 65536) - 32768;
    values[0] = -32768;
    values[count - 1] = 32767;
    return values;
}

std::vector<double> AsDoubles(const std::vector<int>& values)
{
    return {values.begin(), values.end()};
}

TEST(WavDecode, SixteenBitMonoReadsTheStoredIntegersAndReencodesByteForByte)
{
    const std::vector<int> values = Pattern(8000, 1);
    const Bytes file = MakeWav(1, 8000, 16, Pcm16(values));

    const auto sound = DecodeWav(file);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().format, (WavFormat{1, 8000, 16000, 2, 16}));
    EXPECT_EQ(sound.value().left, AsDoubles(values));
    EXPECT_TRUE(sound.value().right.empty());

    EXPECT_EQ(EncodeWav(sound.value().format, sound.value().left, {}), file);
}

TEST(WavDecode, SixteenBitStereoSplitsFramesAndReencodesByteForByte)
{
    const std::vector<int> left = Pattern(441, 2);
    const std::vector<int> right = Pattern(441, 3);
    std::vector<int> interleaved;
    for (std::size_t i = 0; i < left.size(); ++i) {
        interleaved.push_back(left[i]);
        interleaved.push_back(right[i]);
    }
    const Bytes file = MakeWav(2, 44100, 16, Pcm16(interleaved));

    const auto sound = DecodeWav(file);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().format, (WavFormat{2, 44100, 176400, 4, 16}));
    EXPECT_EQ(sound.value().left, AsDoubles(left));
    EXPECT_EQ(sound.value().right, AsDoubles(right));
    EXPECT_EQ(EncodeWav(sound.value().format, sound.value().left, sound.value().right), file);
}

TEST(WavDecode, EightBitSamplesAreOffsetBy128AndNotRescaled)
{
    const Bytes file = MakeWav(1, 11025, 8, {0x80, 0x00, 0xFF, 0x81, 0x7F});
    const auto sound = DecodeWav(file);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().left, (std::vector<double>{0.0, -128.0, 127.0, 1.0, -1.0}));
    EXPECT_EQ(sound.value().format.bitsPerSample, 8);
    // Saved with the depth it was read with, the file comes back unchanged.
    EXPECT_EQ(EncodeWav(sound.value().format, sound.value().left, {}), file);
}

TEST(WavDecode, EightBitStereoFramesAreTwoBytes)
{
    const auto sound = DecodeWav(MakeWav(2, 8000, 8, {0x00, 0xFF, 0x80, 0x90}));
    ASSERT_TRUE(sound.ok());
    EXPECT_EQ(sound.value().left, (std::vector<double>{-128.0, 0.0}));
    EXPECT_EQ(sound.value().right, (std::vector<double>{127.0, 16.0}));
}

TEST(WavDecode, ChunksBeforeTheDataAreSkippedByTheSearch)
{
    Bytes list;
    Text(list, "LIST");
    Put32(list, 12);
    Text(list, "INFO");
    Text(list, "ISFT");
    Put32(list, 0);
    const auto sound = DecodeWav(MakeWav(1, 8000, 16, Pcm16({5, -6, 7}), list));
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().left, (std::vector<double>{5.0, -6.0, 7.0}));

    // Header fields whose bytes spell "data" are not the tag.
    const std::uint32_t spelled = 'd' | ('a' << 8) | ('t' << 16) | (static_cast<std::uint32_t>('a') << 24);
    const auto odd = DecodeWav(MakeWav(1, spelled, 8, {1, 2, 3}));
    ASSERT_TRUE(odd.ok()) << odd.error().message;
    EXPECT_EQ(odd.value().format.sampleRate, spelled);
    EXPECT_EQ(odd.value().left, (std::vector<double>{-127.0, -126.0, -125.0}));
}

TEST(WavDecode, ChunksAreWalkedSoMetadataThatSpellsDataIsNotTheTag)
{
    // A LIST chunk whose comment holds the bytes "data", then an odd-sized chunk and its pad
    // byte: a byte search would start the samples inside the comment, a walk that forgets the
    // pad would lose its way.
    Bytes between;
    Text(between, "LIST");
    Put32(between, 4 + 8 + 18);
    Text(between, "INFO");
    Text(between, "ICMT");
    Put32(between, 18);
    for (const char c : std::string("metadata: 4 beats"))
        between.push_back(static_cast<std::uint8_t>(c));
    between.push_back(0);
    Text(between, "note");
    Put32(between, 3);
    between.insert(between.end(), {'d', 'a', 't', 0});
    const auto sound = DecodeWav(MakeWav(1, 8000, 16, Pcm16({5, -6, 7}), between));
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().left, (std::vector<double>{5.0, -6.0, 7.0}));
}

TEST(WavDecode, DataSizePastTheEndReadsTheWholeFramesPresent)
{
    Bytes file = MakeWav(2, 8000, 16, Pcm16({1, 2, 3, 4, 5, 6}));
    // Claim 1000 bytes of data while 12 are present, then drop the last 3 of them.
    file[40] = 0xE8;
    file[41] = 0x03;
    file.resize(file.size() - 3);
    const auto sound = DecodeWav(file);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().left, (std::vector<double>{1.0, 3.0}));
    EXPECT_EQ(sound.value().right, (std::vector<double>{2.0, 4.0}));
}

TEST(WavDecode, EveryTruncationKeepsOnlyWholeFrames)
{
    const Bytes file = MakeWav(2, 8000, 16, Pcm16(Pattern(20, 4)));
    for (std::size_t size = 0; size <= file.size(); ++size) {
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        const auto sound = DecodeWav(cut);
        if (size < 44) {
            EXPECT_FALSE(sound.ok()) << size;
            continue;
        }
        ASSERT_TRUE(sound.ok()) << size;
        EXPECT_EQ(sound.value().left.size(), (size - 44) / 4) << size;
        EXPECT_EQ(sound.value().right.size(), (size - 44) / 4) << size;
    }
}

TEST(WavDecode, EmptyDataGivesAnEmptySound)
{
    // RIFF size 36: the data tag at offset 36 lies in the last 8 bytes of the RIFF chunk.
    const Bytes file = MakeWav(1, 8000, 16, {});
    const auto sound = DecodeWav(file);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_TRUE(sound.value().left.empty());
    EXPECT_EQ(EncodeWav(WavFormat{}, {}, {}), file);
}

struct Refusal {
    const char* name;
    Bytes file;
    FailureKind kind;
    const char* inMessage;
};

Bytes With16(Bytes file, std::size_t at, unsigned value)
{
    file[at] = static_cast<std::uint8_t>(value & 0xFF);
    file[at + 1] = static_cast<std::uint8_t>(value >> 8);
    return file;
}

Bytes With32(Bytes file, std::size_t at, std::uint32_t value)
{
    return With16(With16(std::move(file), at, value & 0xFFFF), at + 2, value >> 16);
}

TEST(WavDecode, RefusesWhatItCannotReadWithAMessageNamingTheProblem)
{
    const Bytes good = MakeWav(1, 8000, 16, Pcm16({1, 2, 3, 4}));
    Bytes noData = good;
    noData[36] = 'D';
    Bytes tagCut = MakeWav(1, 8000, 16, {}, Bytes(8, 0));
    tagCut.resize(tagCut.size() - 2);
    // The RIFF chunk, 8 + 28 bytes, ends just before the data tag at offset 36.
    const Bytes riffTooSmall = With32(good, 4, 28);
    Bytes notRiff = good;
    notRiff[0] = 'X';

    const std::vector<Refusal> cases = {
        {"empty", {}, FailureKind::Malformed, "44"},
        {"43 bytes", Bytes(good.begin(), good.begin() + 43), FailureKind::Malformed, "44"},
        {"not RIFF", notRiff, FailureKind::WrongFormat, "RIFF"},
        {"float format", With16(good, 20, 3), FailureKind::WrongFormat, "PCM"},
        {"extensible format", With16(good, 20, 0xFFFE), FailureKind::WrongFormat, "PCM"},
        {"no channels", With16(good, 22, 0), FailureKind::WrongFormat, "チャンネル数 0"},
        {"three channels", With16(good, 22, 3), FailureKind::WrongFormat, "チャンネル数 3"},
        {"12 bits", With16(good, 34, 12), FailureKind::WrongFormat, "12ビット"},
        {"24 bits", With16(good, 34, 24), FailureKind::WrongFormat, "24ビット"},
        {"32 bits", With16(good, 34, 32), FailureKind::WrongFormat, "32ビット"},
        {"rate 0", With32(good, 24, 0), FailureKind::Malformed, "サンプリング周波数"},
        {"no data tag", noData, FailureKind::Malformed, "data"},
        {"data tag beyond the RIFF size", riffTooSmall, FailureKind::Malformed, "data"},
        {"data size cut off", tagCut, FailureKind::Malformed, "data"},
    };
    for (const Refusal& c : cases) {
        const auto sound = DecodeWav(c.file);
        ASSERT_FALSE(sound.ok()) << c.name;
        EXPECT_EQ(sound.error().kind, c.kind) << c.name;
        EXPECT_NE(sound.error().message.find(c.inMessage), std::string::npos) << c.name << ": " << sound.error().message;
    }
    EXPECT_TRUE(DecodeWav(good).ok());
}

TEST(WavEncode, HeaderFollowsTheFormatAndReplacesZeros)
{
    const std::vector<double> samples = {1.0, 2.0, 3.0};
    const Bytes file = EncodeWav(WavFormat{0, 0, 0, 0, 0}, samples, {});
    EXPECT_EQ(file, MakeWav(1, 8000, 16, Pcm16({1, 2, 3})));

    // Bytes per second and block align are recomputed, not copied.
    const Bytes eight = EncodeWav(WavFormat{1, 22050, 1, 7, 8}, samples, {});
    EXPECT_EQ(eight, MakeWav(1, 22050, 8, {129, 130, 131}));

    EXPECT_EQ(EffectiveWriteFormat(WavFormat{5, 8000, 0, 0, 16}), (WavFormat{2, 8000, 32000, 4, 16}));
}

TEST(WavEncode, BytesPerSampleFollowTheDepthRule)
{
    EXPECT_EQ(WavBytesPerSample(16), 2);
    EXPECT_EQ(WavBytesPerSample(23), 2);
    EXPECT_EQ(WavBytesPerSample(8), 1);
    EXPECT_EQ(WavBytesPerSample(24), 1);
    EXPECT_EQ(WavBytesPerSample(12), 1);
    // A 20-bit request writes 2-byte samples under a header that still says 20 bits.
    const Bytes file = EncodeWav(WavFormat{1, 8000, 0, 0, 20}, std::vector<double>{-2.0}, {});
    ASSERT_EQ(file.size(), 46u);
    EXPECT_EQ(file[34], 20);
    EXPECT_EQ(file[32], 2);
    EXPECT_EQ(file[44], 0xFE);
    EXPECT_EQ(file[45], 0xFF);
}

TEST(WavEncode, SamplesAreTruncatedTowardZeroAndHeldAtTheLimits)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> samples = {1.9, -1.9, 40000.0, -40000.0, 32767.9, -32768.9, 32768.0, -32769.0,
                                         nan,  inf,  -inf,    0.5,      -0.5};
    const Bytes file = EncodeWav(WavFormat{}, samples, {});
    EXPECT_EQ(Bytes(file.begin() + 44, file.end()),
              Pcm16({1, -1, 32767, -32768, 32767, -32768, 32767, -32768, 0, 32767, -32768, 0, 0}));

    const Bytes eight = EncodeWav(WavFormat{1, 8000, 0, 0, 8}, samples, {});
    EXPECT_EQ(Bytes(eight.begin() + 44, eight.end()),
              (Bytes{129, 127, 255, 0, 255, 0, 255, 0, 128, 255, 0, 128, 128}));
    const Bytes eightEdges = EncodeWav(WavFormat{1, 8000, 0, 0, 8}, std::vector<double>{127.9, -128.9, 128.0}, {});
    EXPECT_EQ(Bytes(eightEdges.begin() + 44, eightEdges.end()), (Bytes{255, 0, 255}));
}

TEST(WavEncode, StereoInterleavesAndCopesWithMissingRightSamples)
{
    const std::vector<double> left = {1, 2, 3};
    const Bytes same = EncodeWav(WavFormat{2, 8000, 0, 0, 16}, left, {});
    EXPECT_EQ(Bytes(same.begin() + 44, same.end()), Pcm16({1, 1, 2, 2, 3, 3}));
    const Bytes padded = EncodeWav(WavFormat{2, 8000, 0, 0, 16}, left, std::vector<double>{-1});
    EXPECT_EQ(Bytes(padded.begin() + 44, padded.end()), Pcm16({1, -1, 2, 0, 3, 0}));
    // A mono save ignores the right channel.
    const Bytes mono = EncodeWav(WavFormat{}, left, std::vector<double>{9, 9, 9});
    EXPECT_EQ(Bytes(mono.begin() + 44, mono.end()), Pcm16({1, 2, 3}));
}

TEST(WavProgress, StepsOncePerSecondWithTheLoopTexts)
{
    const std::vector<double> silence(25 * 8000, 0.0);
    std::vector<std::string> writing;
    const Bytes file = EncodeWav(WavFormat{}, silence, {}, [&](const std::string& t) { writing.push_back(t); });
    std::vector<std::string> reading;
    ASSERT_TRUE(DecodeWav(file, [&](const std::string& t) { reading.push_back(t); }).ok());

    ASSERT_EQ(reading.size(), 25u);
    ASSERT_EQ(writing.size(), 25u);
    // Second k starts at sample 8000k of 200000: k·8000·100 / 200000 + 1 = 4k + 1 percent.
    for (int k = 0; k < 25; ++k) {
        const std::string tail = "\n　" + std::to_string(k) + "秒分(" + std::to_string(4 * k + 1) + "％)";
        EXPECT_EQ(reading[k], "データを読込み中" + tail);
        EXPECT_EQ(writing[k], "データ書き込み中" + tail);
    }
}

TEST(WavFile, WriteThenReadGivesTheSoundBack)
{
    const auto path = (std::filesystem::temp_directory_path() / "kelvora_wav_test_roundtrip.wav").string();
    const std::vector<double> left = {0, 100, -100, 32767, -32768};
    const std::vector<double> right = {1, 2, 3, 4, 5};
    ASSERT_TRUE(WriteWav(path, WavFormat{2, 16000, 0, 0, 16}, left, right).ok());
    const auto sound = ReadWav(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(sound.ok()) << sound.error().message;
    EXPECT_EQ(sound.value().format, (WavFormat{2, 16000, 64000, 4, 16}));
    EXPECT_EQ(sound.value().left, left);
    EXPECT_EQ(sound.value().right, right);
}

TEST(WavFile, FailuresNameTheFile)
{
    const auto directory = std::filesystem::temp_directory_path();
    const auto missing = (directory / "kelvora_wav_test_no_such_file.wav").string();
    const auto result = ReadWav(missing);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, FailureKind::CannotOpen);
    EXPECT_EQ(result.error().message, "ファイルが開けません");
    EXPECT_EQ(result.error().path, missing);

    EXPECT_EQ(ReadWav(directory.string()).error().kind, FailureKind::CannotOpen);

    const auto text = (directory / "kelvora_wav_test_not_a_sound.wav").string();
    const std::string words = "this is a text file and not a sound at all, but it is long enough";
    {
        std::FILE* file = std::fopen(text.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(words.data(), 1, words.size(), file);
        std::fclose(file);
    }
    const auto refused = ReadWav(text);
    std::filesystem::remove(text);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, FailureKind::WrongFormat);
    EXPECT_EQ(refused.error().path, text);
}

} // namespace
} // namespace kelvora::files
