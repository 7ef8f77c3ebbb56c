#pragma once
// Sound files read through libsndfile: FLAC, Ogg Vorbis, Opus, MP3, AIFF, CAF, W64, and WAV with
// 24 or 32 bits, float samples or the extensible header.

#include <cstdint>
#include <span>

#include "files/progress.h"
#include "files/result.h"
#include "files/sound_file.h"

namespace kelvora::files {

// Decodes a sound file held in memory. Samples come onto the 16-bit scale (see the two Scale
// functions below) and the format says 16 bits, so that saving writes a 16-bit WAV. One or two
// channels are kept as they are; of more, the first two are kept and the notice says so. When
// the data ends before the frame count of the header (a cut file, a lost decoder sync), what was
// decoded is kept and the notice says so. Refused with a Japanese message naming libsndfile's
// reason: a file it does not recognise (WrongFormat), an encoding it cannot decode (WrongFormat),
// a damaged file or one with no decodable frame (Malformed). progress gets
// "データを読込み中\n　%d秒分(%d％)" before every frame whose index is a multiple of the sample rate.
Result<LoadedSound> DecodeWithSndfile(std::span<const std::uint8_t> bytes, const ProgressText& progress = {});

// An integer sample of a source whose largest value is fullScale (8388607 for 24 bits) on the
// 16-bit scale: value · 32767 / fullScale, rounded to nearest, held at -32768 … 32767. So 16-bit
// samples stay exactly as they are, and a 24-bit -8388608 becomes -32767.
double ScaleIntegerSample(double value, double fullScale) noexcept;

// A float sample (full scale ±1) on the 16-bit scale: clipped to ±1, times 32767, rounded to
// nearest; NaN becomes 0.
double ScaleFloatSample(double value) noexcept;

} // namespace kelvora::files
