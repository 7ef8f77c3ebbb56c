#include "tools/dialog/step_scroll_bar.h"

namespace kelvora {

int StepScrollBar(DialogModel& dialog, ScrollRequest request, int thumb, int barId,
                  ScrollBarTable& table, int& lastIndex)
{
    int index = lastIndex;
    for (int i = 0; i < ScrollBarTable::Size; ++i)
        if (table.ids[i] == barId)
            index = i;
    lastIndex = index;

    int& position = table.positions[index];
    switch (request) {
    case ScrollRequest::LineLeft: position -= 1; break;
    case ScrollRequest::LineRight: position += 1; break;
    case ScrollRequest::PageLeft: position -= 10; break;
    case ScrollRequest::PageRight: position += 10; break;
    case ScrollRequest::ThumbTrack: position = thumb; break;
    default: break;
    }
    if (position < table.minima[index])
        position = table.minima[index];
    if (position > table.maxima[index])
        position = table.maxima[index];

    if (dialog.hasControl(table.ids[index]))
        dialog.control(table.ids[index]).position = position;
    return index;
}

} // namespace kelvora
