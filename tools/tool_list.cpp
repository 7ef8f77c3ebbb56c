// The tools of the program, one line each.

#include "tools/audio/convolution_dialog.h"
#include "tools/audio/hearing_dialog.h"
#include "tools/audio/recording_dialog.h"
#include "tools/audio/signal_generator_dialog.h"
#include "tools/audio/waveform_editor.h"
#include "tools/audio/waveform_join_dialog.h"
#include "tools/lpc/adaptive_filter_dialog.h"
#include "tools/lpc/lattice_dialog.h"
#include "tools/lpc/lpc_components_dialog.h"
#include "tools/lpc/lpc_workbench_dialog.h"
#include "tools/lpc/open_slot_dialog.h"
#include "tools/lpc/vowel_dialog.h"
#include "tools/noise/noise_creation_dialog.h"
#include "tools/noise/noise_removal_dialog.h"
#include "tools/noise/spectral_subtraction_dialog.h"
#include "tools/shell/command_table.h"
#include "tools/shell/small_dialogs.h"
#include "tools/shell/tool_registry.h"
#include "tools/spectral/fluctuation_dialog.h"
#include "tools/spectral/frequency_analysis_dialog.h"
#include "tools/spectral/optimal_order_dialog.h"
#include "tools/spectral/spectrogram_dialog.h"

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
    tools.add(CmdVowel, [](Session& session, Services& services) {
        return std::make_unique<VowelDialog>(session, services);
    });
    tools.add(CmdOptimalOrder, [](Session& session, Services& services) {
        return std::make_unique<OptimalOrderDialog>(session, services);
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
    tools.add(CmdAdaptiveFilter, [](Session& session, Services& services) {
        return std::make_unique<AdaptiveFilterDialog>(session, services);
    });
    tools.add(CmdLattice, [](Session& session, Services& services) {
        return std::make_unique<LatticeDialog>(session, services);
    });
    tools.add(CmdLpcWorkbench, [](Session& session, Services& services) {
        return std::make_unique<LpcWorkbenchDialog>(session, services);
    });
    tools.add(CmdOpenSlot, [](Session& session, Services& services) {
        return std::make_unique<OpenSlotDialog>(session, services);
    });
    // Both recording commands open the same dialog (the session's thinning flag tells them
    // apart), and so does the extended menu's variant, whose take the frame does not keep.
    for (const int command : {CmdRecord, CmdRecordThinned, CmdFx})
        tools.add(command, [](Session& session, Services& services) {
            return std::make_unique<RecordingDialog>(session, services);
        });
    tools.add(CmdSpectrogram, [](Session& session, Services& services) {
        return std::make_unique<SpectrogramDialog>(session, services);
    });
    for (const int command : {CmdHearing, CmdNeural})
        tools.add(command, [](Session&, Services& services) { return std::make_unique<HearingDialog>(services); });
    tools.add(CmdLpcComponents, [](Session& session, Services& services) {
        return std::make_unique<LpcComponentsDialog>(session, services);
    });
    return tools;
}

} // namespace kelvora
