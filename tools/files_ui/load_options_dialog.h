#pragma once
// Asked after a text file was read: keep the numbers as they are, or scale them so the
// largest magnitude is 32767. Text data is always taken as mono 8000 Hz.

#include "tools/dialog/dialog_model.h"
#include "tools/shell/session.h"

namespace kelvora {

class LoadOptionsDialog : public DialogModel {
public:
    enum : int { Notice = 1077, Question = 1058, Keep = IdOk, Normalise = 1040 };

    explicit LoadOptionsDialog(Session& session);

    void init() override;
    void command(int id) override;

private:
    Session& session_;
};

} // namespace kelvora
