// The tools of the program, one line each.

#include "tools/audio/convolution_dialog.h"
#include "tools/audio/signal_generator_dialog.h"
#include "tools/audio/waveform_editor.h"
#include "tools/audio/waveform_join_dialog.h"
#include "tools/noise/noise_creation_dialog.h"
#include "tools/noise/noise_removal_dialog.h"
#include "tools/noise/spectral_subtraction_dialog.h"
#include "tools/shell/command_table.h"
#include "tools/shell/small_dialogs.h"
#include "tools/shell/tool_registry.h"
#include "tools/spectral/fluctuation_dialog.h"
#include "tools/spectral/frequency_analysis_dialog.h"

namespace kelvora {

ToolRegistry StandardTools()
{
    ToolRegistry tools;
    tools.add(CmdHomePage, [](Session&, Services& services) {
        return std::make_unique<HomePageDialog>(services.urls, services.userGuideUrl);
    });
    tools.add(CmdFxx, [](Session& session, Services&) {
        return std::make_unique<FxxDialog>(session.toolState<FxxCounter>());
    });
    tools.add(CmdFrequencyAnalysis, [](Session& session, Services& services) {
        return std::make_unique<FrequencyAnalysisDialog>(session, services);
    });
    tools.add(CmdEdit, [](Session& session, Services& services) {
        return std::make_unique<WaveformEditor>(session, services);
    });
    tools.add(CmdSignalGenerator, [](Session& session, Services& services) {
        return std::make_unique<SignalGeneratorDialog>(session, services);
    });
    tools.add(CmdJoin, [](Session& session, Services& services) {
        return std::make_unique<WaveformJoinDialog>(session, services);
    });
    tools.add(CmdConvolution, [](Session& session, Services& services) {
        return std::make_unique<ConvolutionDialog>(session, services);
    });
    tools.add(CmdNoiseRemoval, [](Session& session, Services& services) {
        return std::make_unique<NoiseRemovalDialog>(session, services);
    });
    tools.add(CmdSpectralSubtraction, [](Session& session, Services& services) {
        return std::make_unique<SpectralSubtractionDialog>(session, services);
    });
    tools.add(CmdNoiseCreation, [](Session& session, Services& services) {
        return std::make_unique<NoiseCreationDialog>(session, services);
    });
    tools.add(CmdFluctuation, [](Session& session, Services& services) {
        return std::make_unique<FluctuationDialog>(session, services);
    });
    return tools;
}

} // namespace kelvora
