#pragma once
// BMP pictures: uncompressed 24-bit and 8-bit (palette) files read, 24-bit files written.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/result.h"

namespace kelvora::files {

// A picture in memory: width · height pixels 0x00RRGGBB, top row first, left to right.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // Bits per pixel of the file the image was read from (8 or 24); pictures made here are 24.
    int sourceBits = 24;

    friend bool operator==(const RgbImage& a, const RgbImage& b)
    {
        return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
    }
};

// The texts of the two refusals callers tell apart (cannot open → -1, wrong format → -2).
inline constexpr const char* BmpCannotOpenText = "ファイルが開けません";
inline constexpr const char* BmpWrongDepthText = "24 or 8 ビットBMPファイルしか読み込めません";

// Bytes in one stored row of width pixels at bits per pixel, padded to a multiple of 4
// (3 pixels at 24 bits: 12; 750 pixels: 2252). 0 for a negative width or bits.
std::int64_t BmpStride(std::int64_t width, int bits) noexcept;

// Decodes a BMP file held in memory. Reads uncompressed 24-bit and 8-bit files with an info
// header of 40 bytes or longer (the palette follows the header, whatever its length), stored
// bottom-up or, with a negative height, top-down. Refusals: not "BM" or a depth other than 24
// or 8 bits: WrongFormat with BmpWrongDepthText; compressed data or a header shorter than 40
// bytes: WrongFormat with its own message; truncated headers, a width or height of 0 or less,
// sizes that overflow, and a palette or pixel rows past the end of the buffer: Malformed.
// Palette indices past the palette's entries read as black. Never reads past bytes, and
// allocates only what the rows present in the buffer describe.
Result<RgbImage> DecodeBmp(std::span<const std::uint8_t> bytes);

// Reads and decodes the file at path; CannotOpen with BmpCannotOpenText when it cannot be read,
// and files of 4 GB or more are refused. The failure's path is path.
Result<RgbImage> ReadBmp(const std::string& path);

// A bottom-up 24-bit BMP file of the picture: 14-byte file header ("BM", 54 + image size, 0,
// 54), 40-byte info header (40, width, height, 1 plane, 24 bits, other fields 0), then the rows
// bottom row first as blue, green, red with zero padding to the stride. Pixels missing from a
// short pixels vector are written black; width or height below 0 counts as 0. A picture too
// large for the 32-bit size fields gives an empty vector (WriteBmp24 refuses it with a message).
std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image);

// EncodeBmp24 written to path through WriteFileAtomically. Refuses (CannotWrite) a picture of
// no pixels, one whose pixels vector does not match its size, or one too large for a BMP file.
Status WriteBmp24(const std::string& path, const RgbImage& image);

} // namespace kelvora::files
