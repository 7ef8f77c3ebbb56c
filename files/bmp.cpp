#include "files/bmp.h"

#include <cstddef>
#include <limits>

#include "files/atomic_write.h"
#include "files/little_endian.h"
#include "files/whole_file.h"

namespace kelvora::files {

namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t InfoHeaderBytes = 40;
constexpr std::size_t HeadersBytes = FileHeaderBytes + InfoHeaderBytes;

Failure Refusal(FailureKind kind, std::string message)
{
    return Failure{kind, std::move(message), {}};
}

Failure Truncated()
{
    return Refusal(FailureKind::Malformed, "BMPファイルのヘッダーが途中で切れています。");
}

std::uint32_t Rgb(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    return (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8) | blue;
}

// Whether the picture fits in the largest picture the writer can describe, with 32-bit sizes.
bool FitsBmp(std::int64_t width, std::int64_t height)
{
    const std::int64_t stride = BmpStride(width, 24);
    return width <= std::numeric_limits<std::int32_t>::max() && height <= std::numeric_limits<std::int32_t>::max()
           && (height == 0 || stride <= (0xFFFFFFFFll - static_cast<std::int64_t>(HeadersBytes)) / height);
}

} // namespace

std::int64_t BmpStride(std::int64_t width, int bits) noexcept
{
    if (width <= 0 || bits <= 0 || width > std::numeric_limits<std::int64_t>::max() / 64)
        return 0;
    return (width * bits + 31) / 32 * 4;
}

Result<RgbImage> DecodeBmp(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return Refusal(FailureKind::WrongFormat, BmpWrongDepthText);
    if (bytes.size() < 30)
        return Truncated();
    const int bits = Read16(bytes, 28);
    if (bits != 24 && bits != 8)
        return Refusal(FailureKind::WrongFormat, BmpWrongDepthText);
    if (bytes.size() < HeadersBytes)
        return Truncated();

    const std::uint32_t infoBytes = Read32(bytes, 14);
    if (infoBytes < InfoHeaderBytes) {
        return Refusal(FailureKind::WrongFormat, "この種類のBMPファイル（情報ヘッダー " + std::to_string(infoBytes)
                                                     + " バイト）は読み込めません。");
    }
    const std::uint64_t paletteStart = FileHeaderBytes + std::uint64_t{infoBytes};
    if (paletteStart > bytes.size())
        return Truncated();
    if (Read32(bytes, 30) != 0)
        return Refusal(FailureKind::WrongFormat, "圧縮されたBMPファイルは読み込めません。");

    const auto width = static_cast<std::int32_t>(Read32(bytes, 18));
    const auto storedHeight = static_cast<std::int32_t>(Read32(bytes, 22));
    if (width <= 0 || storedHeight == 0 || storedHeight == std::numeric_limits<std::int32_t>::min()) {
        return Refusal(FailureKind::Malformed, "BMPファイルの幅または高さが正しくありません（幅 " + std::to_string(width)
                                                   + "、高さ " + std::to_string(storedHeight) + "）。");
    }
    const bool topDown = storedHeight < 0;
    const std::int32_t height = topDown ? -storedHeight : storedHeight;

    std::span<const std::uint8_t> palette;
    if (bits == 8) {
        const std::uint32_t used = Read32(bytes, 46);
        const std::uint64_t entries = used == 0 || used > 256 ? 256 : used;
        if (paletteStart + 4 * entries > bytes.size())
            return Refusal(FailureKind::Malformed, "BMPファイルのパレットがファイルの終わりを越えています。");
        palette = bytes.subspan(static_cast<std::size_t>(paletteStart), static_cast<std::size_t>(4 * entries));
    }

    // The last row may lack its padding; every byte of every pixel must be there.
    const std::uint32_t dataStart = Read32(bytes, 10);
    const std::int64_t stride = BmpStride(width, bits);
    const std::int64_t rowBytes = std::int64_t{width} * (bits / 8);
    const std::int64_t available =
        dataStart <= bytes.size() ? static_cast<std::int64_t>(bytes.size() - dataStart) : -1;
    if (available < rowBytes || (height - 1) > (available - rowBytes) / stride)
        return Refusal(FailureKind::Malformed, "BMPファイルの画素データがファイルの終わりを越えています。");

    RgbImage image;
    image.width = width;
    image.height = height;
    image.sourceBits = bits;
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t fileRow = 0; fileRow < height; ++fileRow) {
        const std::int32_t y = topDown ? fileRow : height - 1 - fileRow;
        const std::uint8_t* source = bytes.data() + dataStart + static_cast<std::size_t>(fileRow * stride);
        std::uint32_t* target = image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (std::int32_t x = 0; x < width; ++x) {
            if (bits == 24) {
                const std::uint8_t* pixel = source + 3 * static_cast<std::size_t>(x);
                target[x] = Rgb(pixel[0], pixel[1], pixel[2]);
            } else {
                const std::size_t entry = 4 * static_cast<std::size_t>(source[x]);
                target[x] = entry < palette.size() ? Rgb(palette[entry], palette[entry + 1], palette[entry + 2]) : 0;
            }
        }
    }
    return image;
}

Result<RgbImage> ReadBmp(const std::string& path)
{
    auto bytes = ReadWholeFile(path, Max32BitFileBytes);
    if (!bytes) {
        Failure failure = bytes.error();
        if (failure.kind == FailureKind::CannotOpen)
            failure.message = BmpCannotOpenText;
        return failure;
    }
    auto image = DecodeBmp(bytes.value());
    if (!image)
        image.error().path = path;
    return image;
}

std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image)
{
    const std::int64_t width = image.width > 0 ? image.width : 0;
    const std::int64_t height = image.height > 0 ? image.height : 0;
    if (!FitsBmp(width, height))
        return {};
    const std::int64_t stride = BmpStride(width, 24);
    const auto imageBytes = static_cast<std::uint32_t>(stride * height);

    std::vector<std::uint8_t> out;
    out.reserve(HeadersBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<std::uint32_t>(HeadersBytes) + imageBytes);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(HeadersBytes));
    Put32(out, InfoHeaderBytes);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    for (int field = 0; field < 6; ++field)
        Put32(out, 0);

    for (std::int64_t fileRow = 0; fileRow < height; ++fileRow) {
        const std::size_t rowStart = static_cast<std::size_t>(height - 1 - fileRow) * static_cast<std::size_t>(width);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::size_t index = rowStart + static_cast<std::size_t>(x);
            const std::uint32_t pixel = index < image.pixels.size() ? image.pixels[index] : 0;
            out.push_back(static_cast<std::uint8_t>(pixel & 0xFF));
            out.push_back(static_cast<std::uint8_t>((pixel >> 8) & 0xFF));
            out.push_back(static_cast<std::uint8_t>((pixel >> 16) & 0xFF));
        }
        out.insert(out.end(), static_cast<std::size_t>(stride - 3 * width), 0);
    }
    return out;
}

Status WriteBmp24(const std::string& path, const RgbImage& image)
{
    const char* problem = nullptr;
    if (image.width <= 0 || image.height <= 0)
        problem = "画像の大きさが正しくありません。";
    else if (image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        problem = "画像の画素数が大きさと合いません。";
    else if (!FitsBmp(image.width, image.height))
        problem = "画像が大きすぎてBMPファイルに収まりません。";
    if (problem != nullptr)
        return Failure{FailureKind::CannotWrite, "ファイル「" + path + "」に保存できません。\n" + problem, path};
    return WriteFileAtomically(path, EncodeBmp24(image));
}

} // namespace kelvora::files
