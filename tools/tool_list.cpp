// The tools of the program, one line each.

#include "tools/audio/convolution_dialog.h"
#include "tools/audio/signal_generator_dialog.h"
#include "tools/audio/waveform_editor.h"
#include "tools/audio/waveform_join_dialog.h"
#include "tools/lpc/lpc_components_dialog.h"
#include "tools/shell/command_table.h"
#include "tools/shell/small_dialogs.h"
#include "tools/shell/tool_registry.h"
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
    tools.add(CmdLpcComponents, [](Session& session, Services& services) {
        return std::make_unique<LpcComponentsDialog>(session, services);
    });
    return tools;
}

} // namespace kelvora
