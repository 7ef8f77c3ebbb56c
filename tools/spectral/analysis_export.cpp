#include "tools/spectral/analysis_export.h"

#include "dsp/fft.h"
#include "files/atomic_write.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace kelvora {
namespace {

// Appends printf-formatted values without building a string per value (a 65536-point export
// writes a few hundred thousand of them).
class TextOut {
public:
    void value(double v, char end)
    {
        char buffer[512];
        const int length = std::snprintf(buffer, sizeof buffer, "%f%c", v, end);
        if (length > 0)
            text_.append(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
    }
    void line(const char* text)
    {
        text_ += text;
        text_ += '\n';
    }
    void raw(const char* text) { text_ += text; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

files::Failure Refusal(std::string message)
{
    return files::Failure{files::FailureKind::CannotWrite, std::move(message), {}};
}

void WriteWaveform(TextOut& out, std::span<const double> frame, std::size_t n)
{
    out.line("波形");
    for (std::size_t i = 0; i < n; ++i)
        out.value(frame[i], '\n');
}

void WriteSpectrum(TextOut& out, const ExportOptions& options, std::span<const double> real,
                   std::span<const double> imag, std::size_t n, double rate)
{
    for (int c = 0; c < ExportColumnCount; ++c)
        if (options.columns[c]) {
            out.raw(ExportColumnName(static_cast<ExportColumn>(c)));
            out.raw("\t");
        }
    out.raw("\n");
    for (std::size_t i = 0; i < n / 2; ++i) {
        const dsp::SpectrumRow row = dsp::RawSpectrumRow(real[i], imag[i], i, n, rate);
        const double values[ExportColumnCount] = {row.frequency, row.real,      row.imag,
                                                  row.power,     row.amplitude, row.db};
        for (int c = 0; c < ExportColumnCount; ++c)
            if (options.columns[c])
                out.value(values[c], '\t');
        out.raw("\n");
    }
}

void WriteCepstrum(TextOut& out, const ExportInput& input, std::size_t n, double rate)
{
    out.line("先にスペクトル包絡（赤）、その後にケプストラム（青）のデータ");
    for (std::size_t i = 0; i < n / 2; i += 4) {
        out.value(dsp::BinFrequency(i, n, rate), '\t');
        out.value(input.envelope[i], '\n');
    }
    // The section the header announces: the liftered cepstrum over the lags the graph spans.
    out.line("ケプストラム（青）");
    for (std::size_t i = 0; i < n / 2; ++i) {
        out.value(static_cast<double>(i) / rate, '\t');
        out.value(input.liftered[i], '\n');
    }
}

} // namespace

const char* ExportColumnName(ExportColumn column) noexcept
{
    switch (column) {
    case ColumnFrequency: return "周波数";
    case ColumnReal: return "実数";
    case ColumnImaginary: return "虚数";
    case ColumnPower: return "パワー";
    case ColumnAmplitude: return "振幅";
    case ColumnDb: return "ｄB";
    case ExportColumnCount: break;
    }
    return "";
}

files::Result<std::string> AnalysisExportText(const ExportInput& input, const ExportOptions& options)
{
    if (input.log2Size < 0 || input.log2Size > dsp::FftMaxLog2Size)
        return Refusal("分析の大きさが正しくないので書き出せません。");
    const std::size_t n = std::size_t{1} << input.log2Size;
    if (input.frame.size() < n || input.envelope.size() < n || input.liftered.size() < n)
        return Refusal("分析結果がそろっていないので書き出せません。");
    const double rate = std::max<std::uint32_t>(input.sampleRate, 1);

    TextOut out;
    if (options.what == ExportWhat::Waveform) {
        WriteWaveform(out, input.frame, n);
        return out.take();
    }

    std::vector<double> real(n), imag(n);
    switch (input.mode) {
    case dsp::AnalysisMode::Db:
    case dsp::AnalysisMode::Power:
    case dsp::AnalysisMode::Amplitude:
        dsp::RawSpectrum(input.frame, input.log2Size, real, imag);
        WriteSpectrum(out, options, real, imag, n, rate);
        break;
    case dsp::AnalysisMode::Autocorrelation:
        if (!dsp::NormalisedAutocorrelation(input.frame, input.log2Size, real, imag))
            return Refusal("切り出し区間の波形がすべて０なので、自己相関を正規化できません。\n"
                           "ファイルは書き出しませんでした。");
        for (std::size_t i = 0; i < n; ++i) {
            out.value(static_cast<double>(i) / rate, '\t');
            out.value(real[i], '\n');
        }
        break;
    case dsp::AnalysisMode::Cepstrum: WriteCepstrum(out, input, n, rate); break;
    }
    return out.take();
}

files::Status WriteAnalysisExport(const std::string& path, const ExportInput& input,
                                  const ExportOptions& options)
{
    auto text = AnalysisExportText(input, options);
    if (!text) {
        files::Failure failure = text.error();
        failure.path = path;
        return failure;
    }
    const std::string& bytes = text.value();
    return files::WriteFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace kelvora
