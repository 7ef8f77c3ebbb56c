#pragma once
// What the noise dialogs' "開始" buttons share: the button reads "処理中" while the working
// signal is processed, a progress bar steps once per frame (shown as it goes), and a failure
// is reported in a message box while the sound stays as it was.

#include "dsp/spectral_subtraction.h"
#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

#include <cstdint>

namespace kelvora {

// Runs the spectral subtraction on slot X with `params`, stepping the progress bar
// `progressId` once per frame. Returns the outcome (its alpha is the one the run left).
dsp::SubtractionOutcome SubtractNoiseFromWorkSignal(DialogModel& dialog, Session& session, Services& services,
                                                    const dsp::SubtractionParams& params, int startButton,
                                                    int progressId);

// Reshapes slot X to a 1/f spectrum at the session's rate.
void ShapeWorkSignalPink(DialogModel& dialog, Session& session, int startButton);

} // namespace kelvora
