#pragma once
// The timer of the spectral dialogs' blinking notices (NoticeBlink): every tick counts; the
// reminder blinks while the graph is stale, and the "too little data" notice blinks for 20 ticks
// and then stays. Any blink ends after 500000 ticks.

#include "tools/dialog/dialog_model.h"
#include "tools/spectral/frequency_analysis.h"

#include <cstddef>

namespace kelvora {

inline constexpr const char* StaleGraphReminder = "←ここをクリック。(下図を更新すべきです.)";

// Ids of the controls and timer one dialog's notices use.
struct NoticeBlinkControls {
    int timer = 1;
    int reminder = 1073;
    int notice = 1058;
};

// One tick of the blink timer of a dialog whose frame holds n samples.
void TickNoticeBlink(DialogModel& dialog, NoticeBlink& blink, const NoticeBlinkControls& controls,
                     std::size_t n);

} // namespace kelvora
