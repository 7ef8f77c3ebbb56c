#pragma once
// PCM WAV sound files (RIFF/WAVE, 8 or 16 bits, one or two channels), read and written.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/progress.h"
#include "files/result.h"

namespace kelvora::files {

// The PCM fields of a WAV header. The defaults are the standard reset: 8000 Hz, mono, 16 bits.
struct WavFormat {
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 8000;
    std::uint32_t bytesPerSecond = 16000;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;

    friend bool operator==(const WavFormat&, const WavFormat&) = default;
};

// A decoded sound: samples in integer units (16 bits: -32768 … 32767; 8 bits: -128 … 127, not
// rescaled). right is empty for a mono file and as long as left for a stereo one. format holds
// the header's fields as they were in the file.
struct WavSound {
    WavFormat format;
    std::vector<double> left;
    std::vector<double> right;
};

// Decodes a WAV file held in memory. The format fields are taken at the offsets of the
// canonical 44-byte header. The samples are those of the first "data" chunk met by walking the
// chunks from offset 12 (id, size, a pad byte after an odd size) inside the RIFF chunk (before
// offset 8 + RIFF size), so chunks such as LIST before the data are skipped whatever their text
// holds. Only when the walk finds no data chunk (sizes that lead nowhere) are the samples taken
// after the first bytes "data" from offset 36 on. A data size past the end of the buffer is cut
// to the whole frames present. Refused, with a Japanese message: fewer than 44
// bytes, no RIFF/WAVE marks, a format other than PCM, channels other than 1 or 2, bits other
// than 8 or 16, a sample rate of 0, no data tag. progress gets "データを読込み中\n　%d秒分(%d％)"
// before every frame whose index is a multiple of the sample rate.
Result<WavSound> DecodeWav(std::span<const std::uint8_t> bytes, const ProgressText& progress = {});

// Reads and decodes the file at path; "ファイルが開けません" (CannotOpen) when it cannot be read,
// and files of 4 GB or more are refused. The failure's path is path.
Result<WavSound> ReadWav(const std::string& path, const ProgressText& progress = {});

// The format actually written for the requested one: channels, rate and bits of 0 become 1,
// 8000 and 16, channels above 2 become 2, and block align and bytes per second are recomputed.
// A caller that keeps the format for later saves stores this back.
WavFormat EffectiveWriteFormat(WavFormat format) noexcept;

// The depth a sound is saved at when its source had sourceBits: the source's own while every
// sample, truncated toward zero as it is written, fits it; otherwise 16, so that a result that
// grew past 8 bits (a convolution, a join with a louder sound) is not clipped.
std::uint16_t DepthThatHolds(std::uint16_t sourceBits, std::span<const double> samples) noexcept;

// Bytes per sample for a bit depth: 2 for 16 … 23 bits, 1 for anything else.
int WavBytesPerSample(std::uint16_t bitsPerSample) noexcept;

// Encodes a WAV file with the canonical 44-byte header for EffectiveWriteFormat(format) and
// left.size() frames. One channel writes left only; two channels interleave left and right
// (right empty repeats left, a shorter right is padded with 0). Each sample is truncated toward
// zero and held at the depth's limits (16 bits: -32768 … 32767; 8 bits: -128 … 127 stored with
// offset 128); NaN is written as 0. Frames that would take the data past 4 GB are left out: check
// WavFitsIn32Bits first. progress gets "データ書き込み中\n　%d秒分(%d％)" once per second of frames.
std::vector<std::uint8_t> EncodeWav(WavFormat format, std::span<const double> left,
                                    std::span<const double> right, const ProgressText& progress = {});

// Whether frames frames of format (after EffectiveWriteFormat) fit the 32-bit sizes of a WAV file.
bool WavFitsIn32Bits(WavFormat format, std::size_t frames) noexcept;

// EncodeWav written to path through WriteFileAtomically. Refuses (CannotWrite) a sound too long
// for a WAV file instead of cutting it.
Status WriteWav(const std::string& path, WavFormat format, std::span<const double> left,
                std::span<const double> right, const ProgressText& progress = {});

} // namespace kelvora::files
