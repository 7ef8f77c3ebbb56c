// convert and picture-info, run in-process.

#include "cli/cli_command.h"
#include "run_cli.h"

#include "../tools/support/temp_files.h"
#include "files/bmp.h"
#include "files/text_samples.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kelvora::cli {
namespace {

TEST(CliConvert, WavToTextAndBack)
{
    testing::TempDir temp;
    const std::string wav = temp.file("a.wav"), txt = temp.file("a.txt"), back = temp.file("b.wav");
    testing::WriteTestWav(wav, {1, -2, 32767});
    ASSERT_EQ(Kelvora({"convert", wav, txt}).status, ExitOk);
    const auto bytes = testing::ReadBytes(txt);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "1.000000\n-2.000000\n32767.000000\n");
    ASSERT_EQ(Kelvora({"convert", txt, back}).status, ExitOk);
    EXPECT_EQ(testing::ReadBytes(back), testing::ReadBytes(wav));
}

TEST(CliConvert, TextIsKeptUnlessNormalised)
{
    testing::TempDir temp;
    const std::string txt = temp.file("n.txt");
    testing::WriteBytes(txt, {'0', '.', '5', ' ', '-', '1', '\n'});
    ASSERT_EQ(Kelvora({"convert", txt, temp.file("kept.wav")}).status, ExitOk);
    ASSERT_EQ(Kelvora({"convert", txt, temp.file("scaled.wav"), "--normalise"}).status, ExitOk);
    const auto kept = files::ReadWav(temp.file("kept.wav"));
    const auto scaled = files::ReadWav(temp.file("scaled.wav"));
    ASSERT_TRUE(kept.ok() && scaled.ok());
    EXPECT_EQ(kept.value().left, (std::vector<double>{0, -1}));       // 0.5 truncates to 0
    EXPECT_EQ(scaled.value().left, (std::vector<double>{16383, -32767})); // 0.5 / 1 * 32767
    EXPECT_EQ(kept.value().format.sampleRate, 8000u);
    EXPECT_EQ(Kelvora({"convert", txt, temp.file("x.mp3")}).status, ExitBadUsage);
    EXPECT_EQ(Kelvora({"convert", temp.file("missing.txt"), temp.file("y.wav")}).status, ExitBadInput);
}

TEST(CliPictureInfo, ReportsSizeAndDepthOrRefuses)
{
    testing::TempDir temp;
    files::RgbImage image{3, 2, std::vector<std::uint32_t>(6, 0x123456)};
    testing::WriteBytes(temp.file("p.bmp"), files::EncodeBmp24(image));
    const CliRun run = Kelvora({"picture-info", temp.file("p.bmp"), "--json"});
    ASSERT_EQ(run.status, ExitOk);
    EXPECT_EQ(run.out, "{\"width\":3,\"height\":2,\"bits\":24}\n");
    testing::WriteBytes(temp.file("bad.bmp"), {'B', 'M', 0, 0});
    EXPECT_EQ(Kelvora({"picture-info", temp.file("bad.bmp"), "--json"}).status, ExitBadInput);
}

} // namespace
} // namespace kelvora::cli
