#include "files/sndfile_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "files/sndfile_memory.h"

namespace kelvora::files {

namespace {

// Frames decoded per call: large enough that the per-call cost vanishes, small enough that the
// interleaved block stays in the cache.
constexpr sf_count_t BlockFrames = 4096;

// The largest value of the integers libsndfile hands over unnormalised for plain PCM encodings
// (in WAV, AIFF, CAF, W64 and FLAC alike), or 0 for every other encoding, which is read as
// floats in ±1 (float and double samples, the lossy codecs, ADPCM, µ-law…).
double IntegerFullScale(int format) noexcept
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 127;
    case SF_FORMAT_PCM_16:
        return 32767;
    case SF_FORMAT_PCM_24:
        return 8388607;
    case SF_FORMAT_PCM_32:
        return 2147483647;
    default:
        return 0;
    }
}

// libsndfile's reason in its own words, on a line of its own so that a message box breaks
// there rather than inside a word.
std::string Reason(SNDFILE* file)
{
    return "\n（libsndfile: " + std::string(sf_strerror(file)) + "）";
}

// A Japanese summary the user can act on, then libsndfile's reason.
Failure OpenFailure()
{
    const std::string detail = Reason(nullptr);
    switch (sf_error(nullptr)) {
    case SF_ERR_UNRECOGNISED_FORMAT:
        return Failure{FailureKind::WrongFormat,
                       "読み込める音声ファイル（WAV、FLAC、Ogg、MP3、AIFFなど）ではありません。" + detail, {}};
    case SF_ERR_UNSUPPORTED_ENCODING:
        return Failure{FailureKind::WrongFormat, "この音声ファイルの符号化形式には対応していません。" + detail, {}};
    default:
        return Failure{FailureKind::Malformed, "音声ファイルが壊れていて読み込めません。" + detail, {}};
    }
}

std::string ChannelNotice(int channels)
{
    return "このファイルには" + std::to_string(channels) + "チャンネルあります。\n最初の2チャンネルだけを読み込みました。";
}

std::string ShortNotice(sf_count_t declared, std::size_t decoded)
{
    return "ファイルが途中で切れています。\n" + std::to_string(declared) + "フレームのうち" + std::to_string(decoded)
           + "フレームだけを読み込みました。";
}

void SizeChannels(WavSound& sound, std::size_t frames)
{
    sound.left.resize(frames);
    if (sound.format.channels == 2)
        sound.right.resize(frames);
}

// Decodes every frame of an open file into the first two channels of a sound, block by block.
struct FrameReader {
    SNDFILE* file;
    std::size_t channels;
    std::uint64_t declaredFrames; // 0 when the header does not say
    const ProgressText& progress;

    // Returns the number of frames decoded; the channels are at least that long.
    template <typename Scale>
    std::size_t readAll(WavSound& sound, Scale scale) const
    {
        const bool stereo = sound.format.channels == 2;
        const std::uint32_t rate = sound.format.sampleRate;
        std::vector<double> block(static_cast<std::size_t>(BlockFrames) * channels);
        std::size_t decoded = 0;
        for (;;) {
            const sf_count_t got = sf_readf_double(file, block.data(), BlockFrames);
            if (got <= 0)
                return decoded;
            const auto count = static_cast<std::size_t>(got);
            stepProgress(decoded, count, rate);
            if (sound.left.size() < decoded + count)
                SizeChannels(sound, decoded + count); // grows geometrically
            double* left = sound.left.data() + decoded;
            double* right = stereo ? sound.right.data() + decoded : nullptr;
            for (std::size_t i = 0; i < count; ++i) {
                left[i] = scale(block[i * channels]);
                if (stereo)
                    right[i] = scale(block[i * channels + 1]);
            }
            decoded += count;
        }
    }

    // One step before every frame whose index is a multiple of the rate, as the WAV reader does.
    void stepProgress(std::size_t decoded, std::size_t count, std::uint32_t rate) const
    {
        if (!progress)
            return;
        for (std::size_t at = (decoded + rate - 1) / rate * rate; at < decoded + count; at += rate)
            progress(SecondsAndPercentText("データを読込み中", at, rate, std::max<std::uint64_t>(declaredFrames, at + 1)));
    }
};

} // namespace

double ScaleIntegerSample(double value, double fullScale) noexcept
{
    const double scaled = std::round(value * (32767.0 / fullScale));
    return std::clamp(scaled, -32768.0, 32767.0);
}

double ScaleFloatSample(double value) noexcept
{
    if (std::isnan(value))
        return 0;
    return std::round(std::clamp(value, -1.0, 1.0) * 32767.0);
}

Result<LoadedSound> DecodeWithSndfile(std::span<const std::uint8_t> bytes, const ProgressText& progress)
{
    SndfileMemory memory(bytes);
    SF_INFO info{};
    const SndfileHandle file = memory.open(SFM_READ, info);
    if (!file)
        return OpenFailure();
    if (info.channels < 1 || info.samplerate < 1) {
        return Failure{FailureKind::Malformed, "音声ファイルのチャンネル数かサンプリング周波数が0になっています。", {}};
    }

    const double fullScale = IntegerFullScale(info.format);
    // Integer PCM is read as its own integers, so that scaling is exact (16 bits stay as they
    // are); everything else as floats in ±1.
    sf_command(file.get(), SFC_SET_NORM_DOUBLE, nullptr, fullScale > 0 ? SF_FALSE : SF_TRUE);

    const bool knownLength = info.frames > 0 && info.frames < std::numeric_limits<sf_count_t>::max();
    LoadedSound loaded;
    WavSound& sound = loaded.sound;
    sound.format = EffectiveWriteFormat(
        WavFormat{static_cast<std::uint16_t>(info.channels >= 2 ? 2 : 1), static_cast<std::uint32_t>(info.samplerate), 0, 0, 16});
    // The header's count is only a hint (a damaged file may claim anything), so the first size
    // is bounded by what the bytes could plausibly hold; the channels grow past it if need be.
    if (knownLength)
        SizeChannels(sound, static_cast<std::size_t>(std::min<sf_count_t>(info.frames, static_cast<sf_count_t>(bytes.size()))));

    const FrameReader reader{file.get(), static_cast<std::size_t>(info.channels),
                             knownLength ? static_cast<std::uint64_t>(info.frames) : 0, progress};
    std::size_t decoded = 0;
    if (fullScale == 32767)
        // Already on the scale; held all the same, as a damaged FLAC frame can carry more bits
        // than its header says.
        decoded = reader.readAll(sound, [](double value) { return std::clamp(value, -32768.0, 32767.0); });
    else if (fullScale > 0)
        decoded = reader.readAll(sound, [fullScale](double value) { return ScaleIntegerSample(value, fullScale); });
    else
        decoded = reader.readAll(sound, [](double value) { return ScaleFloatSample(value); });
    SizeChannels(sound, decoded);

    if (decoded == 0 && knownLength) {
        return Failure{FailureKind::Malformed,
                       "音声ファイルが途中で切れていて、音を読み取れません。" + Reason(file.get()), {}};
    }
    std::vector<std::string> notices;
    if (info.channels > 2)
        notices.push_back(ChannelNotice(info.channels));
    if (knownLength && static_cast<sf_count_t>(decoded) < info.frames)
        notices.push_back(ShortNotice(info.frames, decoded));
    for (const std::string& notice : notices)
        loaded.notice += (loaded.notice.empty() ? "" : "\n") + notice;
    return loaded;
}

} // namespace kelvora::files
