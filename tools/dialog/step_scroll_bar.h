#pragma once
// The one rule by which every dialog moves its scroll bars: +-1 per line, +-10 per page, thumb
// tracking sets the position, everything else leaves it; the result is clamped to the bar's
// range and the bar's index in the dialog's table is reported.

#include "tools/dialog/dialog_model.h"

#include <array>

namespace kelvora {

struct ScrollBarTable {
    static constexpr int Size = 10;
    std::array<int, Size> ids{};
    std::array<int, Size> maxima{};
    std::array<int, Size> minima{};
    std::array<int, Size> positions{};
};

// Moves the bar `barId` of `dialog` by `request` and returns its index in `table`. A bar that
// is not in the table moves the bar of `lastIndex`; `lastIndex` is updated either way, which is
// why the caller keeps it for the whole run. A minimum above the maximum ends at the maximum.
int StepScrollBar(DialogModel& dialog, ScrollRequest request, int thumb, int barId,
                  ScrollBarTable& table, int& lastIndex);

} // namespace kelvora
