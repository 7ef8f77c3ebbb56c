#pragma once
// A tool dialog opened on a sound in slot X, with a scripted outside world.

#include "scripted_services.h"
#include "tools/shell/session.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kelvora::testing {

template <class Dialog>
class DialogFixture : public ::testing::Test, protected ScriptedServices {
protected:
    // Puts the samples in slot X at the rate, then makes and opens the dialog.
    Dialog& open(std::vector<double> samples, std::uint32_t rate = 8000)
    {
        session.traceSlots.fill(SlotNumber::X, std::move(samples));
        session.soundFormat.samplesPerSecond = rate;
        dialog = std::make_unique<Dialog>(session, services);
        dialog->init();
        return *dialog;
    }

    Session session;
    std::unique_ptr<Dialog> dialog;
};

} // namespace kelvora::testing
