#pragma once
// "信号波形の結合": joins two sounds end to end through slot W. Opened on the first sound, it
// stores it in W; opened again on the second, it appends W behind it (and empties W and Y).

#include "tools/audio/strip_dialog.h"

namespace kelvora {

class WaveformJoinDialog : public StripDialog {
public:
    enum : int { SaveButton = 1041, PasteButton = 1040 };

    WaveformJoinDialog(Session& session, Services& services);
    void init() override;
    void command(int id) override;
};

// Appends slot W behind slot X and empties W and Y; with W empty (never stored, already pasted,
// or holding no samples) nothing changes. Returns whether anything was appended.
bool AppendWBehindX(TraceSlots& traceSlots);

// Where the frame goes after a join: over the last 10 samples (all of a shorter sound).
FrameRange FrameAtEnd(std::size_t count);

} // namespace kelvora
