#include "files/wav.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "files/atomic_write.h"
#include "files/little_endian.h"
#include "files/whole_file.h"

namespace kelvora::files {

namespace {

constexpr std::size_t CanonicalHeaderBytes = 44;
constexpr std::size_t FormatFieldsEnd = 36;
constexpr std::uint64_t MaxDataBytes = 0xFFFFFFFFull - 36; // the RIFF size is 36 + data size

bool HasTag(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag)
{
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

Failure Refusal(FailureKind kind, std::string message)
{
    return Failure{kind, std::move(message), {}};
}

// Truncation toward zero held at [low, high]. The comparisons come before the conversion because
// converting an out-of-range double to an integer is undefined; NaN gives 0.
int TruncateAndHold(double sample, int low, int high) noexcept
{
    if (std::isnan(sample))
        return 0;
    const double truncated = std::trunc(sample);
    if (truncated <= low)
        return low;
    if (truncated >= high)
        return high;
    return static_cast<int>(truncated);
}

void PutSample(std::vector<std::uint8_t>& out, double sample, int bytesPerSample)
{
    if (bytesPerSample == 2) {
        Put16(out, static_cast<std::uint16_t>(TruncateAndHold(sample, -32768, 32767) & 0xFFFF));
    } else {
        out.push_back(static_cast<std::uint8_t>(TruncateAndHold(sample, -128, 127) + 128));
    }
}

// The RIFF chunk ends 8 + size bytes into the file (the size counts from offset 8), or at the end
// of what was read.
std::size_t RiffEnd(std::span<const std::uint8_t> bytes, std::uint32_t riffSize)
{
    return static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t{riffSize} + 8, bytes.size()));
}

// Where the first "data" chunk starts, found by walking the chunks from offset 12: each is a
// four-byte id, a 32-bit size and that many bytes, plus one pad byte when the size is odd. The
// walk ends at the end of the RIFF chunk, or at a chunk whose size runs past it.
std::optional<std::size_t> WalkToDataChunk(std::span<const std::uint8_t> bytes, std::size_t riffEnd)
{
    std::uint64_t at = 12;
    while (at + 8 <= riffEnd) {
        const auto chunk = static_cast<std::size_t>(at);
        if (HasTag(bytes, chunk, "data"))
            return chunk;
        const std::uint32_t size = Read32(bytes, chunk + 4);
        at += 8 + std::uint64_t{size} + (size & 1u);
    }
    return std::nullopt;
}

// A damaged header whose chunk sizes lead nowhere still reads if the bytes "data" can be found:
// a plain byte search, which starts after the format fields (read at fixed offsets) so that a
// rate or size whose bytes happen to spell "data" is not taken for the tag.
std::optional<std::size_t> SearchForDataTag(std::span<const std::uint8_t> bytes, std::size_t riffEnd)
{
    for (std::size_t at = FormatFieldsEnd; at < riffEnd; ++at) {
        if (bytes[at] == 'd' && HasTag(bytes, at, "data"))
            return at;
    }
    return std::nullopt;
}

// The walk comes first because a chunk before the samples (a LIST of texts, say) may well hold
// the bytes "data" itself; a search would start reading samples inside it.
std::optional<std::size_t> FindDataChunk(std::span<const std::uint8_t> bytes, std::uint32_t riffSize)
{
    const std::size_t riffEnd = RiffEnd(bytes, riffSize);
    if (const std::optional<std::size_t> walked = WalkToDataChunk(bytes, riffEnd))
        return walked;
    return SearchForDataTag(bytes, riffEnd);
}

} // namespace

Result<WavSound> DecodeWav(std::span<const std::uint8_t> bytes, const ProgressText& progress)
{
    if (bytes.size() < CanonicalHeaderBytes)
        return Refusal(FailureKind::Malformed, "WAVファイルのヘッダーが短すぎます（44バイト未満）。");
    if (!HasTag(bytes, 0, "RIFF") || !HasTag(bytes, 8, "WAVE"))
        return Refusal(FailureKind::WrongFormat, "WAVファイル（RIFF/WAVE形式）ではありません。");

    const std::uint16_t formatTag = Read16(bytes, 20);
    WavFormat format;
    format.channels = Read16(bytes, 22);
    format.sampleRate = Read32(bytes, 24);
    format.bytesPerSecond = Read32(bytes, 28);
    format.blockAlign = Read16(bytes, 32);
    format.bitsPerSample = Read16(bytes, 34);

    if (formatTag != 1) {
        return Refusal(FailureKind::WrongFormat, "圧縮されていないPCM形式のWAVファイルしか読み込めません（形式番号 "
                                                     + std::to_string(formatTag) + "）。");
    }
    if (format.channels != 1 && format.channels != 2) {
        return Refusal(FailureKind::WrongFormat, "モノラルかステレオのWAVファイルしか読み込めません（チャンネル数 "
                                                     + std::to_string(format.channels) + "）。");
    }
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) {
        return Refusal(FailureKind::WrongFormat, "8ビットか16ビットのWAVファイルしか読み込めません（"
                                                     + std::to_string(format.bitsPerSample) + "ビット）。");
    }
    if (format.sampleRate == 0)
        return Refusal(FailureKind::Malformed, "WAVファイルのサンプリング周波数が0になっています。");

    const std::optional<std::size_t> dataChunk = FindDataChunk(bytes, Read32(bytes, 4));
    if (!dataChunk)
        return Refusal(FailureKind::Malformed, "WAVファイルにdataチャンクが見つかりません。");
    const std::size_t dataTag = *dataChunk;
    if (dataTag + 8 > bytes.size())
        return Refusal(FailureKind::Malformed, "WAVファイルのdataチャンクが途中で切れています。");

    const std::size_t bytesPerSample = format.bitsPerSample / 8u;
    const std::size_t frameBytes = format.channels * bytesPerSample;
    const std::size_t start = dataTag + 8;
    const std::size_t dataBytes = std::min<std::size_t>(Read32(bytes, dataTag + 4), bytes.size() - start);
    const std::size_t frames = dataBytes / frameBytes;

    WavSound sound;
    sound.format = format;
    sound.left.resize(frames);
    if (format.channels == 2)
        sound.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        if (progress && i % format.sampleRate == 0)
            progress(SecondsAndPercentText("データを読込み中", i, format.sampleRate, frames));
        const std::size_t at = start + i * frameBytes;
        for (std::size_t channel = 0; channel < format.channels; ++channel) {
            const std::size_t sampleAt = at + channel * bytesPerSample;
            const double value = bytesPerSample == 2 ? static_cast<std::int16_t>(Read16(bytes, sampleAt))
                                                     : bytes[sampleAt] - 128.0;
            (channel == 0 ? sound.left : sound.right)[i] = value;
        }
    }
    return sound;
}

Result<WavSound> ReadWav(const std::string& path, const ProgressText& progress)
{
    auto bytes = ReadWholeFile(path, Max32BitFileBytes);
    if (!bytes)
        return bytes.error();
    auto sound = DecodeWav(bytes.value(), progress);
    if (!sound)
        sound.error().path = path;
    return sound;
}

std::uint16_t DepthThatHolds(std::uint16_t sourceBits, std::span<const double> samples) noexcept
{
    if (sourceBits != 8)
        return sourceBits;
    const bool fits = std::all_of(samples.begin(), samples.end(), [](double s) { return s > -129.0 && s < 128.0; });
    return fits ? 8 : 16;
}

int WavBytesPerSample(std::uint16_t bitsPerSample) noexcept
{
    return (bitsPerSample & ~7u) == 16 ? 2 : 1;
}

WavFormat EffectiveWriteFormat(WavFormat format) noexcept
{
    if (format.channels == 0)
        format.channels = 1;
    if (format.channels > 2)
        format.channels = 2;
    if (format.sampleRate == 0)
        format.sampleRate = 8000;
    if (format.bitsPerSample == 0)
        format.bitsPerSample = 16;
    format.blockAlign = static_cast<std::uint16_t>(format.channels * WavBytesPerSample(format.bitsPerSample));
    format.bytesPerSecond = format.sampleRate * format.blockAlign;
    return format;
}

bool WavFitsIn32Bits(WavFormat format, std::size_t frames) noexcept
{
    const WavFormat written = EffectiveWriteFormat(format);
    return frames <= MaxDataBytes / written.blockAlign;
}

std::vector<std::uint8_t> EncodeWav(WavFormat format, std::span<const double> left,
                                    std::span<const double> right, const ProgressText& progress)
{
    const WavFormat written = EffectiveWriteFormat(format);
    const int bytesPerSample = WavBytesPerSample(written.bitsPerSample);
    const std::size_t frames =
        std::min<std::size_t>(left.size(), static_cast<std::size_t>(MaxDataBytes / written.blockAlign));
    const auto dataBytes = static_cast<std::uint32_t>(frames * written.blockAlign);

    std::vector<std::uint8_t> out;
    out.reserve(CanonicalHeaderBytes + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, written.channels);
    Put32(out, written.sampleRate);
    Put32(out, written.bytesPerSecond);
    Put16(out, written.blockAlign);
    Put16(out, written.bitsPerSample);
    PutTag(out, "data");
    Put32(out, dataBytes);

    const std::span<const double> second = right.empty() ? left : right;
    for (std::size_t i = 0; i < frames; ++i) {
        if (progress && i % written.sampleRate == 0)
            progress(SecondsAndPercentText("データ書き込み中", i, written.sampleRate, frames));
        PutSample(out, left[i], bytesPerSample);
        if (written.channels == 2)
            PutSample(out, i < second.size() ? second[i] : 0.0, bytesPerSample);
    }
    return out;
}

Status WriteWav(const std::string& path, WavFormat format, std::span<const double> left,
                std::span<const double> right, const ProgressText& progress)
{
    if (!WavFitsIn32Bits(format, left.size())) {
        return Failure{FailureKind::CannotWrite,
                       "ファイル「" + path + "」に保存できません。\n音が長すぎてWAVファイルに収まりません（4GB以上）。",
                       path};
    }
    const std::vector<std::uint8_t> bytes = EncodeWav(format, left, right, progress);
    return WriteFileAtomically(path, bytes);
}

} // namespace kelvora::files
