#include "tools/spectral/frequency_analysis.h"


#include <cstdint>

namespace kelvora {

void AnalysisWorkArrays::Allocate(std::size_t n)
{
    for (std::vector<double>* array : {&real, &imag, &frame, &display, &liftered, &envelope, &lifterWindow})
        array->assign(n, 0.0);
    size = n;
}

void AnalysisWorkArrays::Free()
{
    for (std::vector<double>* array : {&real, &imag, &frame, &display, &liftered, &envelope, &lifterWindow})
        std::vector<double>().swap(*array);
    size = 0;
}

SpectrumGraphArrays AnalysisWorkArrays::GraphArrays()
{
    return {real, imag, display, lifterWindow, liftered, envelope};
}

ExportInput AnalysisWorkArrays::Export(int log2Size, dsp::AnalysisMode mode,
                                       std::uint32_t sampleRate) const
{
    return {frame, envelope, liftered, log2Size, mode, sampleRate};
}

std::size_t StartSampleFor(int position, std::size_t count, std::size_t n) noexcept
{
    if (position < 0 || count < n)
        return 0;
    const std::uint64_t start =
        static_cast<std::uint64_t>(position) * static_cast<std::uint64_t>(count) / StartBarRange;
    const std::uint64_t last = count - n;
    return static_cast<std::size_t>(start > last ? last : start);
}

bool AnalyseAndDraw(std::span<const double> signal, const dsp::AnalysisParams& params,
                    AnalysisWorkArrays& arrays, Picture& graph, double& graphPeak,
                    const GraphLayout& layout, const std::function<void()>& progressStep)
{
    if (!dsp::AnalyseFrame(signal, params, arrays.frame, arrays.real, arrays.imag))
        return false;
    RedrawGraph(arrays, params.log2Size, GraphKindFor(params.mode), NoCursor, graph, graphPeak,
                layout, progressStep);
    return true;
}

void RedrawGraph(AnalysisWorkArrays& arrays, int log2Size, GraphKind kind, double cursor,
                 Picture& graph, double& graphPeak, const GraphLayout& layout,
                 const std::function<void()>& progressStep)
{
    // The numbers first: filling the picture slows the floating-point work that follows it.
    const SpectrumGraphData data =
        ComputeSpectrumGraph(arrays.GraphArrays(), log2Size, kind, cursor, graphPeak);
    graph.fill(White);
    DrawSpectrumGraph(graph, data, layout, progressStep);
}

} // namespace kelvora
