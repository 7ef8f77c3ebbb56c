#pragma once
// The long recording the opening benchmarks share: a 10-minute 44.1 kHz 16-bit stereo WAV in the
// temporary folder, made once and reused while its size is right.

#include "files/wav.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace kelvora::bench {

inline constexpr std::uint32_t LongRate = 44100;
inline constexpr std::size_t LongFrames = std::size_t{LongRate} * 600;

// Writes the file second by second, so that making it does not raise a peak memory being measured.
inline std::string LongStereoWav()
{
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "kelvora-bench-10min-stereo.wav";
        if (std::filesystem::exists(file) && std::filesystem::file_size(file) == 44 + LongFrames * 4)
            return file.string();
        files::WavFormat format{2, LongRate, LongRate * 4, 4, 16};
        std::vector<std::uint8_t> header = files::EncodeWav(format, std::vector<double>{}, std::vector<double>{});
        const std::uint32_t dataSize = static_cast<std::uint32_t>(LongFrames * 4);
        const std::uint32_t riffSize = 36 + dataSize;
        std::memcpy(&header[4], &riffSize, 4);
        std::memcpy(&header[40], &dataSize, 4);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(header.data()), 44);
        std::vector<std::int16_t> block(2 * LongRate);
        for (std::size_t start = 0; start < LongFrames; start += LongRate) {
            for (std::size_t i = 0; i < LongRate; ++i) {
                const double t = double(start + i) / LongRate;
                block[2 * i] = static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * 220 * t) * std::exp(-t / 300));
                block[2 * i + 1] = static_cast<std::int16_t>(12000 * std::sin(2 * std::numbers::pi * 3 * t) *
                                                             std::sin(2 * std::numbers::pi * 440 * t));
            }
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 2));
        }
        return file.string();
    }();
    return path;
}

} // namespace kelvora::bench
