#pragma once
// Sound files made on the spot for tests, removed with the fixture.

#include "files/wav.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvora::testing {

class TempDir {
public:
    TempDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("kelvora-" + std::string(info ? info->name() : "test") + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Writes a WAV file with the given samples (right empty for mono).
inline void WriteTestWav(const std::string& path, const std::vector<double>& left,
                         const std::vector<double>& right = {}, std::uint32_t rate = 8000, int bits = 16)
{
    files::WavFormat format;
    format.channels = right.empty() ? 1 : 2;
    format.sampleRate = rate;
    format.bitsPerSample = static_cast<std::uint16_t>(bits);
    format.blockAlign = static_cast<std::uint16_t>(format.channels * bits / 8);
    format.bytesPerSecond = rate * format.blockAlign;
    WriteBytes(path, files::EncodeWav(format, left, right));
}

// Whether a program the tests make their inputs with (sox, lame) is on the PATH; tests skip,
// saying so, where it is not.
inline bool HaveProgram(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace kelvora::testing
