#include "tools/lpc/lpc_components_export.h"

#include "files/atomic_write.h"

#include <algorithm>
#include <cstdio>

namespace kelvora {
namespace {

// printf-formatted pieces appended without a string per value (the file has some 40000 values).
class ExportText {
public:
    template <class... Values> void format(const char* pattern, Values... values)
    {
        char buffer[512];
        const int length = std::snprintf(buffer, sizeof buffer, pattern, values...);
        if (length > 0)
            text_.append(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
    }
    void line(const char* text)
    {
        text_ += text;
        text_ += '\n';
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

} // namespace

double FrameOffsetMs(std::size_t width, std::size_t f, std::uint32_t rate)
{
    return static_cast<double>(width) * static_cast<double>(f) / std::max<std::uint32_t>(rate, 1);
}

std::string ComponentsExportText(const dsp::FrameMatrix& matrix, const dsp::PrincipalComponents& components,
                                 std::size_t width, std::uint32_t rate)
{
    const std::size_t p = matrix.order, q = components.eigen.values.size();
    ExportText out;
    out.line("LPC生データ");
    for (std::size_t f = 0; f < dsp::ComponentFrames; ++f) {
        out.format("%8.0fms ", FrameOffsetMs(width, f, rate));
        for (std::size_t j = 0; j < p; ++j)
            out.format("%f\t", matrix.at(f, j));
        out.line("");
    }
    out.line("共分散");
    for (std::size_t i = 0; i < q && components.covariance.size() >= q * q; ++i) {
        for (std::size_t j = 0; j < q; ++j)
            out.format("%f\t", components.covariance[i * q + j]);
        out.line("");
    }
    out.line("固有値");
    if (q > 0) {
        for (double value : components.eigen.values)
            out.format("%f\t", value);
        out.line("");
    }
    out.line("固有ベクトル");
    for (std::size_t i = 0; i < q; ++i) {
        for (std::size_t e = 0; e < q; ++e)
            out.format("%f\t", components.eigen.component(i, e));
        out.line("");
    }
    out.line("主成分得点");
    const dsp::ComponentScores& scores = components.scores;
    for (std::size_t f = 0; f < dsp::ComponentFrames; ++f)
        out.format("%8.0fms %f %f\n", FrameOffsetMs(width, f, rate), f < scores.first.size() ? scores.first[f] : 0.0,
                   f < scores.second.size() ? scores.second[f] : 0.0);
    return out.take();
}

files::Status WriteComponentsExport(const std::string& path, const dsp::FrameMatrix& matrix,
                                    const dsp::PrincipalComponents& components, std::size_t width,
                                    std::uint32_t rate)
{
    const std::string text = ComponentsExportText(matrix, components, width, rate);
    return files::WriteFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace kelvora
