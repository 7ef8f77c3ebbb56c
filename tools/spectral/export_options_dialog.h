#pragma once
// "SAVE": asked before the frequency analysis writes its numbers, what to write (the cut
// waveform or the processed result) and, for a spectrum, which columns. It also reminds the
// user how the file's raw values relate to the graph's.

#include "dsp/spectrum.h"
#include "tools/dialog/dialog_model.h"
#include "tools/spectral/analysis_export.h"

namespace kelvora {

class ExportOptionsDialog : public DialogModel {
public:
    enum : int {
        WaveformRadio = 1078,
        ResultRadio = 1079,
        FrequencyBox = 1086,
        RealBox = 1087,
        ImaginaryBox = 1082,
        PowerBox = 1083,
        AmplitudeBox = 1084,
        DbBox = 1085,
        SpectrumState = 1080,
        CorrelationState = 1081,
        OkButton = 1088,
        CancelButton = 1089,
    };

    // `options` is written as the user chooses and read by the writer afterwards; `mode` is
    // the analysis the result would be written for (it decides which part the labels call
    // selected).
    ExportOptionsDialog(ExportOptions& options, dsp::AnalysisMode mode);

    void init() override;
    // OK and the cancel button end the dialog; only the cancel button marks the export
    // cancelled. The close box ends it without doing so, and the export goes on to the file
    // chooser, which can still be cancelled.
    void command(int id) override;

private:
    void readControls();
    void updateStateLabels();

    ExportOptions& options_;
    dsp::AnalysisMode mode_;
};

} // namespace kelvora
