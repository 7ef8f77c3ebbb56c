#include "files/bmp.h"
#include "files/little_endian.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kelvora::files {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct BmpParts {
    std::int32_t width = 1;
    std::int32_t height = 1;
    unsigned bits = 24;
    std::uint32_t infoBytes = 40;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    Bytes palette;
    Bytes rows;
    std::optional<std::uint32_t> dataOffset;
};

// A BMP file assembled field by field: headers, the palette right after the info header, rows.
Bytes MakeBmp(const BmpParts& p)
{
    // Absurd header sizes and offsets are written into the fields but not padded out.
    const std::uint32_t headerEnd = 14 + (p.infoBytes <= 4096 ? std::max<std::uint32_t>(p.infoBytes, 40) : 40);
    const std::uint32_t offset = p.dataOffset.value_or(headerEnd + static_cast<std::uint32_t>(p.palette.size()));
    Bytes out = {'B', 'M'};
    Put32(out, offset + static_cast<std::uint32_t>(p.rows.size()));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, p.infoBytes);
    Put32(out, static_cast<std::uint32_t>(p.width));
    Put32(out, static_cast<std::uint32_t>(p.height));
    Put16(out, 1);
    Put16(out, p.bits);
    Put32(out, p.compression);
    Put32(out, static_cast<std::uint32_t>(p.rows.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, p.coloursUsed);
    Put32(out, 0);
    out.resize(headerEnd, 0);
    out.insert(out.end(), p.palette.begin(), p.palette.end());
    if (offset <= 4096)
        out.resize(std::max<std::size_t>(out.size(), offset), 0);
    out.insert(out.end(), p.rows.begin(), p.rows.end());
    return out;
}

// 256 entries: index k is blue k, green 255 - k, red k / 2.
Bytes GreyGreenPalette()
{
    Bytes palette;
    for (unsigned k = 0; k < 256; ++k)
        palette.insert(palette.end(), {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k),
                                       static_cast<std::uint8_t>(k / 2), 0});
    return palette;
}

std::uint32_t PaletteColour(unsigned k)
{
    return ((k / 2) << 16) | ((255 - k) << 8) | k;
}

TEST(BmpStride, RoundsRowsUpToFourBytes)
{
    EXPECT_EQ(BmpStride(3, 24), 12);
    EXPECT_EQ(BmpStride(750, 24), 2252);
    EXPECT_EQ(BmpStride(572, 24), 1716);
    EXPECT_EQ(BmpStride(1, 24), 4);
    EXPECT_EQ(BmpStride(4, 24), 12);
    EXPECT_EQ(BmpStride(5, 8), 8);
    EXPECT_EQ(BmpStride(8, 8), 8);
    EXPECT_EQ(BmpStride(0, 24), 0);
    EXPECT_EQ(BmpStride(-3, 24), 0);
}

TEST(BmpEncode, ThreeByTwoPictureHasPaddedRowsBottomFirst)
{
    const RgbImage image{3, 2, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112}};
    const Bytes file = EncodeBmp24(image);
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Read32(file, 2), 78u);
    EXPECT_EQ(Read32(file, 6), 0u);
    EXPECT_EQ(Read32(file, 10), 54u);
    EXPECT_EQ(Read32(file, 14), 40u);
    EXPECT_EQ(Read32(file, 18), 3u);
    EXPECT_EQ(Read32(file, 22), 2u);
    EXPECT_EQ(file[26] | (file[27] << 8), 1);
    EXPECT_EQ(file[28] | (file[29] << 8), 24);
    for (std::size_t at = 30; at < 54; ++at)
        EXPECT_EQ(file[at], 0) << at;
    const Bytes rows = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10, 0, 0, 0,
                        0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07, 0, 0, 0};
    EXPECT_EQ(Bytes(file.begin() + 54, file.end()), rows);
}

TEST(BmpEncode, WindowSizedPictureRoundTrips)
{
    RgbImage image{750, 530, std::vector<std::uint32_t>(750 * 530)};
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    const Bytes file = EncodeBmp24(image);
    EXPECT_EQ(file.size(), 54u + 2252u * 530u);
    EXPECT_EQ(Read32(file, 2), 54u + 2252u * 530u);
    const auto back = DecodeBmp(file);
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_TRUE(back.value() == image);
}

TEST(BmpDecode, TwentyFourBitRowsAreTurnedTopFirst)
{
    BmpParts parts;
    parts.width = 2;
    parts.height = 2;
    parts.rows = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
    const auto image = DecodeBmp(MakeBmp(parts));
    ASSERT_TRUE(image.ok()) << image.error().message;
    EXPECT_EQ(image.value(), (RgbImage{2, 2, {0x090807, 0x0C0B0A, 0x030201, 0x060504}}));

    // The same rows stored top-down read in file order.
    parts.height = -2;
    const auto topDown = DecodeBmp(MakeBmp(parts));
    ASSERT_TRUE(topDown.ok()) << topDown.error().message;
    EXPECT_EQ(topDown.value(), (RgbImage{2, 2, {0x030201, 0x060504, 0x090807, 0x0C0B0A}}));

    // The last row may come without its padding.
    parts.height = 2;
    parts.rows.resize(parts.rows.size() - 2);
    EXPECT_TRUE(DecodeBmp(MakeBmp(parts)).ok());
}

TEST(BmpDecode, EightBitPixelsTakeTheirPaletteColours)
{
    BmpParts parts;
    parts.width = 5;
    parts.height = 2;
    parts.bits = 8;
    parts.palette = GreyGreenPalette();
    parts.rows = {0, 1, 127, 254, 255, 9, 9, 9, 10, 20, 30, 40, 50, 9, 9, 9};
    const auto image = DecodeBmp(MakeBmp(parts));
    ASSERT_TRUE(image.ok()) << image.error().message;
    const std::vector<std::uint32_t> expected = {PaletteColour(10),  PaletteColour(20),  PaletteColour(30),
                                                 PaletteColour(40),  PaletteColour(50),  PaletteColour(0),
                                                 PaletteColour(1),   PaletteColour(127), PaletteColour(254),
                                                 PaletteColour(255)};
    EXPECT_EQ(image.value(), (RgbImage{5, 2, expected}));
}

TEST(BmpDecode, LongerInfoHeadersPutThePaletteAfterThem)
{
    BmpParts parts;
    parts.width = 2;
    parts.height = 1;
    parts.bits = 8;
    parts.infoBytes = 124;
    parts.coloursUsed = 2;
    parts.palette = {0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0};
    parts.rows = {1, 0, 0, 0};
    const auto image = DecodeBmp(MakeBmp(parts));
    ASSERT_TRUE(image.ok()) << image.error().message;
    EXPECT_EQ(image.value().pixels, (std::vector<std::uint32_t>{0x665544, 0x332211}));
}

TEST(BmpDecode, IndicesPastAShortPaletteReadAsBlack)
{
    BmpParts parts;
    parts.width = 3;
    parts.height = 1;
    parts.bits = 8;
    parts.coloursUsed = 2;
    parts.palette = {0xFF, 0xFF, 0xFF, 0, 0x00, 0x00, 0xFF, 0};
    parts.rows = {1, 2, 255, 0};
    // Nothing follows the rows, so reading entry 255 would leave the buffer.
    const auto image = DecodeBmp(MakeBmp(parts));
    ASSERT_TRUE(image.ok()) << image.error().message;
    EXPECT_EQ(image.value().pixels, (std::vector<std::uint32_t>{0xFF0000, 0, 0}));
}

struct Refusal {
    const char* name;
    Bytes file;
    FailureKind kind;
    const char* message; // the exact text, or a part of it when partial
    bool partial;
};

TEST(BmpDecode, RefusesFilesItCannotReadSafely)
{
    BmpParts good;
    good.width = 2;
    good.height = 2;
    good.rows = Bytes(16, 0x80);
    const Bytes goodFile = MakeBmp(good);
    ASSERT_TRUE(DecodeBmp(goodFile).ok());

    auto changed = [&](auto change) {
        BmpParts parts = good;
        change(parts);
        return MakeBmp(parts);
    };
    Bytes notBm = goodFile;
    notBm[0] = 'X';
    Bytes paletteCut = changed([](BmpParts& p) {
        p.bits = 8;
        p.rows = {};
        p.palette = Bytes(1020, 1);
    });
    const char* depth = BmpWrongDepthText;

    const std::vector<Refusal> cases = {
        {"empty", {}, FailureKind::WrongFormat, depth, false},
        {"not BM", notBm, FailureKind::WrongFormat, depth, false},
        {"1 bit", changed([](BmpParts& p) { p.bits = 1; }), FailureKind::WrongFormat, depth, false},
        {"4 bits", changed([](BmpParts& p) { p.bits = 4; }), FailureKind::WrongFormat, depth, false},
        {"16 bits", changed([](BmpParts& p) { p.bits = 16; }), FailureKind::WrongFormat, depth, false},
        {"32 bits", changed([](BmpParts& p) { p.bits = 32; }), FailureKind::WrongFormat, depth, false},
        {"cut in the header", Bytes(goodFile.begin(), goodFile.begin() + 40), FailureKind::Malformed, "ヘッダー", true},
        {"cut before the depth", Bytes(goodFile.begin(), goodFile.begin() + 20), FailureKind::Malformed, "ヘッダー",
         true},
        {"RLE8", changed([](BmpParts& p) { p.bits = 8; p.compression = 1; p.palette = Bytes(1024, 0); }),
         FailureKind::WrongFormat, "圧縮", true},
        {"bit fields", changed([](BmpParts& p) { p.compression = 3; }), FailureKind::WrongFormat, "圧縮", true},
        {"core header", changed([](BmpParts& p) { p.infoBytes = 12; }), FailureKind::WrongFormat, "12 バイト", true},
        {"info header past the end", changed([](BmpParts& p) { p.infoBytes = 0x7FFFFFF0; }), FailureKind::Malformed,
         "ヘッダー", true},
        {"width 0", changed([](BmpParts& p) { p.width = 0; }), FailureKind::Malformed, "幅", true},
        {"negative width", changed([](BmpParts& p) { p.width = -2; }), FailureKind::Malformed, "幅", true},
        {"height 0", changed([](BmpParts& p) { p.height = 0; }), FailureKind::Malformed, "高さ", true},
        {"most negative height", changed([](BmpParts& p) { p.height = INT32_MIN; }), FailureKind::Malformed, "高さ",
         true},
        {"palette past the end", paletteCut, FailureKind::Malformed, "パレット", true},
        {"rows past the end", changed([](BmpParts& p) { p.rows.resize(9); }), FailureKind::Malformed, "画素", true},
        {"offset past the end", changed([](BmpParts& p) { p.dataOffset = 0xFFFFFFF0; }), FailureKind::Malformed, "画素",
         true},
        {"huge size", changed([](BmpParts& p) { p.width = INT32_MAX; p.height = INT32_MAX; }),
         FailureKind::Malformed, "画素", true},
        {"huge top-down", changed([](BmpParts& p) { p.height = -(1 << 30); }),
         FailureKind::Malformed, "画素", true},
    };
    for (const Refusal& c : cases) {
        const auto image = DecodeBmp(c.file);
        ASSERT_FALSE(image.ok()) << c.name;
        EXPECT_EQ(image.error().kind, c.kind) << c.name;
        if (c.partial)
            EXPECT_NE(image.error().message.find(c.message), std::string::npos) << c.name << ": " << image.error().message;
        else
            EXPECT_EQ(image.error().message, c.message) << c.name;
    }
}

TEST(BmpFile, SaveThenLoadGivesThePictureBack)
{
    const auto path = (std::filesystem::temp_directory_path() / "kelvora_bmp_test_roundtrip.bmp").string();
    RgbImage image{572, 300, std::vector<std::uint32_t>(572 * 300, 0xFFFFFF)};
    image.pixels[0] = 0xFF0000;
    image.pixels.back() = 0x0000FF;
    ASSERT_TRUE(WriteBmp24(path, image).ok());
    EXPECT_EQ(std::filesystem::file_size(path), 54u + 1716u * 300u);
    const auto back = ReadBmp(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_TRUE(back.value() == image);
}

TEST(BmpFile, FailuresKeepTheirTextsAndNameTheFile)
{
    const auto missing = (std::filesystem::temp_directory_path() / "kelvora_bmp_test_missing.bmp").string();
    const auto result = ReadBmp(missing);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, FailureKind::CannotOpen);
    EXPECT_EQ(result.error().message, BmpCannotOpenText);
    EXPECT_EQ(result.error().path, missing);

    const auto empty = WriteBmp24(missing, RgbImage{});
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().kind, FailureKind::CannotWrite);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(WriteBmp24(missing, RgbImage{2, 2, {1, 2, 3}}).ok());
    // 40000 · 3 bytes by 40000 rows is past 4 GB: refused before anything is allocated.
    const RgbImage huge{40000, 40000, {}};
    EXPECT_TRUE(EncodeBmp24(huge).empty());
    EXPECT_EQ(WriteBmp24(missing, huge).error().kind, FailureKind::CannotWrite);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
} // namespace kelvora::files
