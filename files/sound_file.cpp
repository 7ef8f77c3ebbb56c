#include "files/sound_file.h"

#include <cstring>

#include "files/little_endian.h"
#include "files/sndfile_reader.h"
#include "files/whole_file.h"

namespace kelvora::files {

namespace {

constexpr std::size_t CanonicalHeaderBytes = 44;
constexpr std::size_t FirstChunk = 12;
constexpr std::size_t PcmFormatFieldBytes = 16;
constexpr std::uint16_t PcmFormatTag = 1;

bool HasTag(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag) noexcept
{
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

// Where the "fmt " chunk's fields start, found by walking the chunks from the first one (each
// is an id, a 32-bit size and the data padded to an even length); bytes.size() when no whole
// one lies inside the file.
std::size_t FindFormatFields(std::span<const std::uint8_t> bytes) noexcept
{
    std::uint64_t at = FirstChunk;
    while (at + 8 <= bytes.size()) {
        const std::uint64_t size = Read32(bytes, static_cast<std::size_t>(at) + 4);
        if (HasTag(bytes, static_cast<std::size_t>(at), "fmt ")) {
            const std::uint64_t fields = at + 8;
            return size >= PcmFormatFieldBytes && fields + PcmFormatFieldBytes <= bytes.size()
                       ? static_cast<std::size_t>(fields)
                       : bytes.size();
        }
        at += 8 + size + (size & 1);
    }
    return bytes.size();
}

} // namespace

SoundReader ChooseSoundReader(std::span<const std::uint8_t> bytes) noexcept
{
    if (!HasTag(bytes, 0, "RIFF") || !HasTag(bytes, 8, "WAVE"))
        return SoundReader::Sndfile;
    const std::size_t fields = FindFormatFields(bytes);
    if (bytes.size() < CanonicalHeaderBytes || fields >= bytes.size())
        return SoundReader::OwnWav;
    const std::uint16_t formatTag = Read16(bytes, fields);
    const std::uint16_t channels = Read16(bytes, fields + 2);
    const std::uint32_t sampleRate = Read32(bytes, fields + 4);
    const std::uint16_t bitsPerSample = Read16(bytes, fields + 14);
    if (formatTag == PcmFormatTag && (bitsPerSample == 8 || bitsPerSample == 16))
        return SoundReader::OwnWav;
    if (channels == 0 || sampleRate == 0)
        return SoundReader::OwnWav;
    return SoundReader::Sndfile;
}

Result<LoadedSound> DecodeSound(std::span<const std::uint8_t> bytes, const ProgressText& progress)
{
    if (ChooseSoundReader(bytes) == SoundReader::Sndfile)
        return DecodeWithSndfile(bytes, progress);
    auto sound = DecodeWav(bytes, progress);
    if (!sound)
        return sound.error();
    return LoadedSound{std::move(sound.value()), {}};
}

Result<LoadedSound> ReadSound(const std::string& path, const ProgressText& progress)
{
    auto bytes = ReadWholeFile(path, Max32BitFileBytes);
    if (!bytes)
        return bytes.error();
    auto sound = DecodeSound(bytes.value(), progress);
    if (!sound)
        sound.error().path = path;
    return sound;
}

std::string SoundFilePattern()
{
    std::string pattern;
    for (const std::string_view extension : SoundFileExtensions) {
        if (!pattern.empty())
            pattern += ' ';
        pattern += "*.";
        pattern += extension;
    }
    return pattern;
}

} // namespace kelvora::files
