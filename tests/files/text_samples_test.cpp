#include "files/text_samples.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include "files/caption_extension.h"

namespace kelvora::files {
namespace {

std::vector<double> Parsed(std::string_view text)
{
    auto result = ParseTextSamples(text);
    EXPECT_TRUE(result.ok()) << text;
    return result.ok() ? result.value() : std::vector<double>{};
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

TEST(TextParse, ThreeLinesGiveThreeSamplesAndSaveBackToTheSameValues)
{
    EXPECT_EQ(Parsed("1\n2\n3\n"), (std::vector<double>{1, 2, 3}));
    const std::string saved = FormatTextSamples(std::vector<double>{1, 2, 3}, 8000);
    EXPECT_EQ(saved, "1.000000\n2.000000\n3.000000\n");
    EXPECT_EQ(Parsed(saved), (std::vector<double>{1, 2, 3}));
}

TEST(TextParse, ReadsNumbersTheWayStreamExtractionDoes)
{
    EXPECT_EQ(Parsed(""), std::vector<double>{});
    EXPECT_EQ(Parsed(" \t\r\n\v\f"), std::vector<double>{});
    EXPECT_EQ(Parsed("+5 -.5 5. 1e3 1E-2 -2.5e+1 007"), (std::vector<double>{5, -0.5, 5, 1000, 0.01, -25, 7}));
    EXPECT_EQ(Parsed("1\r\n-2\r\n"), (std::vector<double>{1, -2}));
    // A number ends where its characters stop fitting; the next one starts right there.
    EXPECT_EQ(Parsed("1.5.25"), (std::vector<double>{1.5, 0.25}));
    EXPECT_EQ(Parsed("1-2+3"), (std::vector<double>{1, -2, 3}));
    // The first text that is not a number ends the data and keeps what came before.
    EXPECT_EQ(Parsed("1 2 abc 3"), (std::vector<double>{1, 2}));
    EXPECT_EQ(Parsed("10,20"), (std::vector<double>{10}));
    EXPECT_EQ(Parsed("12abc 3"), (std::vector<double>{12}));
    EXPECT_EQ(Parsed("0x10"), (std::vector<double>{0}));
    // Characters taken as part of a number that then does not convert fail the extraction.
    EXPECT_EQ(Parsed("7 1e 8"), (std::vector<double>{7}));
    EXPECT_EQ(Parsed("7 - 8"), (std::vector<double>{7}));
    EXPECT_EQ(Parsed("7 . 8"), (std::vector<double>{7}));
    EXPECT_EQ(Parsed("abc"), std::vector<double>{});
    // Too small for a double reads as zero, as extraction does.
    const auto tiny = Parsed("1e-400 -1e-400 4e-320");
    ASSERT_EQ(tiny.size(), 3u);
    EXPECT_EQ(tiny[0], 0.0);
    EXPECT_EQ(tiny[1], 0.0);
    EXPECT_GT(tiny[2], 0.0);
}

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(TextParse, DoesNotDependOnTheProcessLocale)
{
    // A program may switch to the user's locale, which can write 1,5 for 1.5: files must not
    // change with it, through either the C or the C++ locale.
    const std::locale before = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    const char* cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(Parsed("1.5 2,5"), (std::vector<double>{1.5, 2}));
    EXPECT_EQ(FormatTextSamples(std::vector<double>{1234.5}, 8000), "1234.500000\n");
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(before);
    if (cLocale == nullptr)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed: only the C++ locale was switched";
}

TEST(TextParse, AValueThatIsNotFiniteEndsTheDataAndKeepsWhatCameBefore)
{
    const struct {
        const char* text;
        std::vector<double> kept;
    } cases[] = {
        {"1\n2\nnan\n3", {1, 2}}, {"inf 1", {}},          {"1\n-Infinity 2", {1}},
        {"1\n\n\n  1e400 2", {1}}, {"-1e999", {}},         {"5 +NaN 6", {5}},
        {"1 2 3nan 4", {1, 2, 3}},  {"7 1e-400 8", {7, 0, 8}}, // too small is zero, as extraction gives
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parsed(c.text), c.kept) << c.text;
    // The largest finite double still reads.
    EXPECT_EQ(Parsed("1.7976931348623157e308"), (std::vector<double>{std::numeric_limits<double>::max()}));
}

TEST(TextParse, ProgressCountsThenReadsInSteps0f8000)
{
    std::string text;
    for (int i = 0; i < 16000; ++i)
        text += "1\n";
    std::vector<std::string> steps;
    const auto result = ParseTextSamples(text, [&](const std::string& t) { steps.push_back(t); });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value().size(), 16000u);
    // Counting attempts 0, 8000 and 16000 (the one that finds the end), then reading values 0 and
    // 8000 of 16000: 0 % + 1 and 50 % + 1.
    const std::vector<std::string> expected = {
        "データ量をカウント中\n　0秒分(at SamplingRate=8k)",
        "データ量をカウント中\n　1秒分(at SamplingRate=8k)",
        "データ量をカウント中\n　2秒分(at SamplingRate=8k)",
        "データを読込み中\n　0秒分(1％)",
        "データを読込み中\n　1秒分(51％)",
    };
    EXPECT_EQ(steps, expected);
}

TEST(TextWrite, FormatsLikePercentFInTheCLocale)
{
    const std::vector<double> values = {0.0,     -0.5,       1.2345678,   2.5e-7, -2.5e-7, 123.0,
                                        1e20,    -32768.0,   32767.4999996, 1e-6,   0.1,     1234567.891,
                                        1.5e300, 0.0000005, 2.0000005};
    const std::string text = FormatTextSamples(values, 8000);
    std::string expected;
    for (const double v : values) {
        char line[400];
        std::snprintf(line, sizeof line, "%f\n", v);
        expected += line;
    }
    EXPECT_EQ(text, expected);
    EXPECT_EQ(FormatTextSamples(std::vector<double>{1e20}, 8000), "100000000000000000000.000000\n");
}

TEST(TextWrite, ProgressFollowsTheSampleRate)
{
    const std::vector<double> samples(3 * 44100 + 1, 0.0);
    std::vector<std::string> steps;
    FormatTextSamples(samples, 44100, [&](const std::string& t) { steps.push_back(t); });
    ASSERT_EQ(steps.size(), 4u);
    // 44100·k·100 / 132301 + 1 for k = 1, 2, 3: 33, 66, 99 percent plus one.
    EXPECT_EQ(steps[0], "データ書き込み中\n　0秒分(1％)");
    EXPECT_EQ(steps[1], "データ書き込み中\n　1秒分(34％)");
    EXPECT_EQ(steps[3], "データ書き込み中\n　3秒分(100％)");
}

TEST(TextFile, WriteThenReadGivesTheValuesToSixDecimals)
{
    const std::string path = TempPath("kelvora_text_test_roundtrip.txt");
    const std::vector<double> samples = {-1.25, 0.0000004, 32767.0, 1e10};
    ASSERT_TRUE(WriteText(path, samples, 8000).ok());
    const auto back = ReadText(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_EQ(back.value(), (std::vector<double>{-1.25, 0.0, 32767.0, 1e10}));

    const auto missing = ReadText(TempPath("kelvora_text_test_missing.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, FailureKind::CannotOpen);

    EXPECT_EQ(missing.error().path, TempPath("kelvora_text_test_missing.txt"));
}

TEST(LoadOptions, ExtremesStartFromPlusMinusOneHundredMillion)
{
    const SampleExtremes none = FindSampleExtremes({});
    EXPECT_EQ(none.maximum, -100000000.0);
    EXPECT_EQ(none.minimum, 100000000.0);
    const std::vector<double> samples = {3, -5, 2};
    const SampleExtremes some = FindSampleExtremes(samples);
    EXPECT_EQ(some.maximum, 3.0);
    EXPECT_EQ(some.minimum, -5.0);
}

TEST(LoadOptions, NormaliseScalesTheLargerMagnitudeTo32767)
{
    std::vector<double> samples = {16383.5, -8191.75, 0.0};
    NormaliseToFullScale(samples);
    EXPECT_EQ(samples[0], 32767.0);
    EXPECT_EQ(samples[1], -16383.5);
    EXPECT_EQ(samples[2], 0.0);

    std::vector<double> negativePeak = {-10.0, 5.0};
    NormaliseToFullScale(negativePeak);
    EXPECT_EQ(negativePeak, (std::vector<double>{-32767.0, 16383.5}));

    std::vector<double> silent = {0.0, -0.0, 0.0};
    NormaliseToFullScale(silent);
    EXPECT_EQ(silent, (std::vector<double>{0.0, 0.0, 0.0}));
    NormaliseToFullScale({});
}

TEST(CaptionExtension, ReplacesTheLastThreeCharactersAfterADot)
{
    EXPECT_EQ(ReplaceExtensionLikeSaver("/home/u/voice.wav", "txt"), "/home/u/voice.txt");
    EXPECT_EQ(ReplaceExtensionLikeSaver("C:\\data\\voice.WAV", "bmp"), "C:\\data\\voice.bmp");
    EXPECT_EQ(ReplaceExtensionLikeSaver("音声.wav", "txt"), "音声.txt");
    EXPECT_EQ(ReplaceExtensionLikeSaver(".wav", "txt"), ".txt");
    EXPECT_EQ(ReplaceExtensionLikeSaver("voice.wave", "txt"), "voice.wave");
    EXPECT_EQ(ReplaceExtensionLikeSaver("voice.md", "txt"), "voice.md");
    EXPECT_EQ(ReplaceExtensionLikeSaver("2019年 5月10日12時 0分 0秒", "txt"), "2019年 5月10日12時 0分 0秒");
    EXPECT_EQ(ReplaceExtensionLikeSaver("wav", "txt"), "wav");
    EXPECT_EQ(ReplaceExtensionLikeSaver("", "txt"), "");
}

} // namespace
} // namespace kelvora::files
