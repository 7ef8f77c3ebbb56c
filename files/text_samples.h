#pragma once
// Plain-text sample files: whitespace-separated decimal numbers in, one "%f" number per line out,
// and the little arithmetic of the load-options question.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/progress.h"
#include "files/result.h"

namespace kelvora::files {

// Text data is always taken as mono at this rate; the load progress counts seconds at it too.
inline constexpr std::uint32_t TextSampleRate = 8000;

// Parses numbers as stream extraction of a double reads them (optional sign, digits, optional
// point and fraction, optional exponent; any whitespace between; "1.5.5" is 1.5 then .5). The
// data end at the end of the text or at the first text that is not a number, keeping the numbers
// before it; an empty text gives no samples. A token that gives no finite double ("nan", "inf",
// 1e400) is such a text: the data end there and no sample is ever NaN or infinite. Parsing a
// text in memory never fails; the Result is ReadText's. Two passes, as the file
// loader always made: progress gets "データ量をカウント中\n　%d秒分(at SamplingRate=8k)" before
// extraction attempts 0, 8000, 16000, … of the counting pass (including the one that finds the
// end), then "データを読込み中\n　%d秒分(%d％)" before values 0, 8000, … of the reading pass.
Result<std::vector<double>> ParseTextSamples(std::string_view text, const ProgressText& progress = {});

// ParseTextSamples over the file at path; "ファイルが開けません" (CannotOpen) when it cannot be read.
// The failure's path is path.
Result<std::vector<double>> ReadText(const std::string& path, const ProgressText& progress = {});

// One sample per line formatted like printf's "%f" in the C locale, whatever the process locale
// (six decimals, no exponent: 1e20 is written in full), each line ended by "\n" alone. progress
// gets "データ書き込み中\n　%d秒分(%d％)" before samples 0, sampleRate, 2·sampleRate, …; a rate of 0
// counts as 8000.
std::string FormatTextSamples(std::span<const double> samples, std::uint32_t sampleRate,
                              const ProgressText& progress = {});

// FormatTextSamples written to path through WriteFileAtomically.
Status WriteText(const std::string& path, std::span<const double> samples, std::uint32_t sampleRate,
                 const ProgressText& progress = {});

// The largest and smallest sample as the load-options question shows them: the search starts
// from -100000000 and 100000000, so an empty data set reports those two values.
struct SampleExtremes {
    double maximum = -100000000.0;
    double minimum = 100000000.0;
};
SampleExtremes FindSampleExtremes(std::span<const double> samples) noexcept;

// Scales the samples in place so that the larger of |maximum| and |minimum| (FindSampleExtremes)
// becomes 32767: each x becomes x / M * 32767, so a peak of 16383.5 becomes exactly 32767.
// Leaves the samples unchanged when M is 0 (all silent) or not finite.
void NormaliseToFullScale(std::span<double> samples) noexcept;

} // namespace kelvora::files
