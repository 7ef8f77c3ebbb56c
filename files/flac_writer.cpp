#include "files/flac_writer.h"

#include <algorithm>
#include <cmath>

#include "files/atomic_write.h"
#include "files/sndfile_memory.h"

namespace kelvora::files {

namespace {

constexpr std::size_t BlockFrames = 16384;

// The WAV writer's rule for 16 bits: truncation toward zero, held at the limits, NaN as 0. The
// comparisons come before the conversion, which would be undefined out of range.
short TruncateTo16Bits(double sample) noexcept
{
    if (std::isnan(sample))
        return 0;
    const double truncated = std::trunc(sample);
    return static_cast<short>(std::clamp(truncated, -32768.0, 32767.0));
}

Failure CannotEncode(const std::string& reason)
{
    return Failure{FailureKind::CannotWrite, "FLACファイルを作れません（" + reason + "）。", {}};
}

} // namespace

Result<std::vector<std::uint8_t>> EncodeFlac16(WavFormat format, std::span<const double> left,
                                                std::span<const double> right)
{
    const WavFormat written = EffectiveWriteFormat(format);
    SF_INFO info{};
    info.channels = written.channels;
    info.samplerate = static_cast<int>(written.sampleRate);
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (!sf_format_check(&info))
        return CannotEncode("サンプリング周波数 " + std::to_string(written.sampleRate) + " Hz");

    SndfileMemory memory;
    {
        const SndfileHandle file = memory.open(SFM_WRITE, info);
        if (!file)
            return CannotEncode(sf_strerror(nullptr));
        // libsndfile starts the FLAC stream at the first samples written; without any, it
        // would leave no bytes at all, which nothing reads back.
        if (left.empty())
            sf_command(file.get(), SFC_UPDATE_HEADER_NOW, nullptr, 0);
        const std::span<const double> second = right.empty() ? left : right;
        const std::size_t channels = written.channels;
        std::vector<short> block(BlockFrames * channels);
        for (std::size_t start = 0; start < left.size(); start += BlockFrames) {
            const std::size_t count = std::min(BlockFrames, left.size() - start);
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t frame = start + i;
                block[i * channels] = TruncateTo16Bits(left[frame]);
                if (channels == 2)
                    block[i * channels + 1] = TruncateTo16Bits(frame < second.size() ? second[frame] : 0.0);
            }
            if (sf_writef_short(file.get(), block.data(), static_cast<sf_count_t>(count)) != static_cast<sf_count_t>(count))
                return CannotEncode(sf_strerror(file.get()));
        }
    } // closing the handle finishes the stream
    // An encoder that never started (an empty sound at a rate libFLAC refuses) leaves no bytes.
    if (memory.written().empty())
        return CannotEncode("サンプリング周波数 " + std::to_string(written.sampleRate) + " Hz");
    return memory.written();
}

Status WriteFlac16(const std::string& path, WavFormat format, std::span<const double> left,
                   std::span<const double> right)
{
    auto bytes = EncodeFlac16(format, left, right);
    if (!bytes) {
        Failure failure = bytes.error();
        failure.message = "ファイル「" + path + "」に保存できません。\n" + failure.message;
        failure.path = path;
        return failure;
    }
    return WriteFileAtomically(path, bytes.value());
}

} // namespace kelvora::files
