#pragma once
// FLAC sound files (16 bits, one or two channels), written through libsndfile.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/result.h"
#include "files/wav.h"

namespace kelvora::files {

// Encodes a 16-bit FLAC file of the channels and rate of EffectiveWriteFormat(format) (its depth
// is ignored: FLAC files are always written with 16 bits). Channels as for EncodeWav: one writes
// left only; two interleave left and right (right empty repeats left, a shorter right is padded
// with 0). Each sample is truncated toward zero and held at -32768 … 32767; NaN is written as 0.
// Fails (CannotWrite) when libsndfile cannot encode, e.g. for a rate FLAC cannot carry.
Result<std::vector<std::uint8_t>> EncodeFlac16(WavFormat format, std::span<const double> left,
                                                std::span<const double> right);

// EncodeFlac16 written to path through WriteFileAtomically; failures name the file.
Status WriteFlac16(const std::string& path, WavFormat format, std::span<const double> left,
                   std::span<const double> right);

} // namespace kelvora::files
