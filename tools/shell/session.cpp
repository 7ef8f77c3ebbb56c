#include "tools/shell/session.h"

#include "tools/shell/progress_dialog.h"

namespace kelvora {

void Session::StepProgress(const std::string& text)
{
    if (progress == nullptr)
        return;
    progress->step();
    progress->setRunningText(text);
    if (progressChanged)
        progressChanged();
}

} // namespace kelvora
