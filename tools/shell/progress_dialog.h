#pragma once
// The modeless "please wait" dialog that long file and drawing loops step once per second of
// signal. Its bar advances a tenth per step and starts over after full, which the dialog's
// note tells the user.

#include "tools/dialog/dialog_model.h"

namespace kelvora {

class ProgressDialog : public DialogModel {
public:
    enum : int { Bar = 1042, Note = 1094, RunningText = 1100 };

    ProgressDialog();

    void init() override;
    void command(int id) override;

    // Advances the bar by 10; a step past 100 sets it back to 0.
    void step();
    void setRunningText(std::string text) { setText(RunningText, std::move(text)); }
    int barPosition() const { return control(Bar).position; }
};

} // namespace kelvora
