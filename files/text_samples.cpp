#include "files/text_samples.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "files/atomic_write.h"
#include "files/whole_file.h"

namespace kelvora::files {

namespace {

bool IsStreamSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether a number that from_chars found out of range is too large (rather than too small) for
// a double: the decimal position of its first significant digit plus its exponent is positive.
bool OverflowsDouble(std::string_view number)
{
    long long position = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    std::size_t at = 0;
    if (at < number.size() && (number[at] == '+' || number[at] == '-'))
        ++at;
    for (; at < number.size() && number[at] != 'e' && number[at] != 'E'; ++at) {
        const char c = number[at];
        if (c == '.') {
            seenPoint = true;
        } else if (!seenSignificant && c == '0') {
            if (seenPoint)
                --position;
        } else if (!seenSignificant) {
            seenSignificant = true;
            if (!seenPoint)
                position = 1;
        } else if (!seenPoint) {
            ++position;
        }
    }
    long long exponent = 0;
    bool negativeExponent = false;
    if (at < number.size()) {
        ++at;
        if (at < number.size() && (number[at] == '+' || number[at] == '-'))
            negativeExponent = number[at++] == '-';
        for (; at < number.size(); ++at)
            exponent = std::min(exponent * 10 + (number[at] - '0'), 1000000000LL);
    }
    return position + (negativeExponent ? -exponent : exponent) > 0;
}

enum class TokenKind { Number, End };

struct Token {
    TokenKind kind = TokenKind::End;
    double value = 0.0;
};

// Reads numbers the way stream extraction of a double does in the C locale: the characters it
// would take are collected first (sign, digits, one point before the exponent, one exponent with
// its sign after at least one digit), then the whole collection must convert, else extraction
// fails and the data end there. A value too large for a double ends the data as extraction
// fails on it; "nan" and "inf" are not numbers to it at all. So no sample is ever NaN or
// infinite. Conversion never depends on the process locale.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : text_(text) {}

    Token Next()
    {
        while (at_ < text_.size() && IsStreamSpace(text_[at_]))
            ++at_;
        const std::size_t start = at_;
        std::size_t end = start;
        if (end < text_.size() && (text_[end] == '+' || text_[end] == '-'))
            ++end;
        bool mantissa = false;
        bool point = false;
        bool exponent = false;
        while (end < text_.size()) {
            const char c = text_[end];
            if (IsDigit(c)) {
                mantissa = true;
                ++end;
            } else if (c == '.' && !point && !exponent) {
                point = true;
                ++end;
            } else if ((c == 'e' || c == 'E') && !exponent && mantissa) {
                exponent = true;
                ++end;
                if (end < text_.size() && (text_[end] == '+' || text_[end] == '-'))
                    ++end;
            } else {
                break;
            }
        }
        at_ = end;

        std::string_view number = text_.substr(start, end - start);
        Token token;
        if (!number.empty()) {
            const bool negative = number.front() == '-';
            std::string_view digits = number;
            if (digits.front() == '+')
                digits.remove_prefix(1);
            const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), token.value);
            if (stop == digits.data() + digits.size() && error == std::errc() && std::isfinite(token.value)) {
                token.kind = TokenKind::Number;
                return token;
            }
            // Too small to represent: stream extraction gives zero here too.
            if (stop == digits.data() + digits.size() && error == std::errc::result_out_of_range &&
                !OverflowsDouble(number)) {
                token.kind = TokenKind::Number;
                token.value = negative ? -0.0 : 0.0;
                return token;
            }
        }
        return token;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

Result<std::vector<double>> ParseTextSamples(std::string_view text, const ProgressText& progress)
{
    std::size_t count = 0;
    NumberScanner counter(text);
    for (;;) {
        if (progress && count % TextSampleRate == 0) {
            progress("データ量をカウント中\n　" + std::to_string(count / TextSampleRate)
                     + "秒分(at SamplingRate=8k)");
        }
        if (counter.Next().kind == TokenKind::End)
            break;
        ++count;
    }

    std::vector<double> samples(count);
    NumberScanner reader(text);
    for (std::size_t i = 0; i < count; ++i) {
        if (progress && i % TextSampleRate == 0)
            progress(SecondsAndPercentText("データを読込み中", i, TextSampleRate, count));
        samples[i] = reader.Next().value;
    }
    return samples;
}

Result<std::vector<double>> ReadText(const std::string& path, const ProgressText& progress)
{
    auto bytes = ReadWholeFile(path, UINTMAX_MAX);
    if (!bytes)
        return bytes.error();
    const std::vector<std::uint8_t>& data = bytes.value();
    auto samples = ParseTextSamples(
        std::string_view(reinterpret_cast<const char*>(data.data()), data.size()), progress);
    if (!samples)
        samples.error().path = path;
    return samples;
}

std::string FormatTextSamples(std::span<const double> samples, std::uint32_t sampleRate,
                              const ProgressText& progress)
{
    const std::uint32_t rate = sampleRate == 0 ? 8000 : sampleRate;
    std::string text;
    text.reserve(samples.size() * 12);
    // "%f" of the largest double: 309 digits, sign, point and six decimals.
    char number[400];
    for (std::size_t j = 0; j < samples.size(); ++j) {
        if (progress && j % rate == 0)
            progress(SecondsAndPercentText("データ書き込み中", j, rate, samples.size()));
        const auto written = std::to_chars(number, number + sizeof number, samples[j], std::chars_format::fixed, 6);
        text.append(number, written.ptr);
        text += '\n';
    }
    return text;
}

Status WriteText(const std::string& path, std::span<const double> samples, std::uint32_t sampleRate,
                 const ProgressText& progress)
{
    const std::string text = FormatTextSamples(samples, sampleRate, progress);
    return WriteFileAtomically(
        path, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

SampleExtremes FindSampleExtremes(std::span<const double> samples) noexcept
{
    SampleExtremes extremes;
    for (const double x : samples) {
        if (x > extremes.maximum)
            extremes.maximum = x;
        if (x < extremes.minimum)
            extremes.minimum = x;
    }
    return extremes;
}

void NormaliseToFullScale(std::span<double> samples) noexcept
{
    const SampleExtremes extremes = FindSampleExtremes(samples);
    const double peak = std::max(std::fabs(extremes.maximum), std::fabs(extremes.minimum));
    if (peak == 0.0 || !std::isfinite(peak))
        return;
    for (double& x : samples)
        x = x / peak * 32767.0;
}

} // namespace kelvora::files
