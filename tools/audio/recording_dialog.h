#pragma once
// "録音": records 16-bit mono sound at 8000 Hz in blocks of 50 ms and shows the last 4.5 s as a
// scrolling spectrogram over a waveform strip. One button records and pauses, "録音終了"
// hands the take to the frame as a new sound, "ｷｬﾝｾﾙ" drops it. Blocks are fetched from the
// input by a short timer, so they are processed on the GUI thread between other events.

#include "tools/audio/recording.h"
#include "tools/dialog/dialog_model.h"
#include "tools/services.h"
#include "tools/shell/session.h"

namespace kelvora {

class RecordingDialog : public DialogModel {
public:
    enum : int {
        RecordButton = 1017,
        TopLabel = 1026,
        BottomLabel = 1027,
        DeviceNotice = 1100,
    };
    enum : int { BlockTimer = 1, BlockPollMilliseconds = 10 };
    enum : int { DisplayPicture = 0 };
    // With thinning, the display is repainted once per this many blocks.
    static constexpr unsigned ThinnedRepaintBlocks = 10;

    // Records into nothing but its own state; leaves the take in the session's slot X on
    // "録音終了" and reads the session's thinning flag.
    RecordingDialog(Session& session, Services& services);
    ~RecordingDialog() override;

    void init() override;
    void command(int id) override;
    void timer(int id) override;
    const Picture* picture(int index) const override;

    // Processes one captured block as its arrival does: display column, take, repaint count.
    void processBlock(std::span<const std::int16_t> block);

    bool recording() const { return recording_; }
    const RecordingTake& take() const { return take_; }
    const RecordingDisplay& display() const { return display_; }
    const Picture& shown() const { return shown_; }
    int blockCount() const { return blockCount_; }

private:
    void startRecording();
    void pauseRecording();
    void readBlocks();
    void end(bool keepTake);

    Session& session_;
    Services& services_;
    RecordingTake take_;
    RecordingDisplay display_;
    Picture shown_;
    std::array<std::int16_t, RecordingBlockLength> block_{};
    int blockCount_ = 0;
    unsigned repaintCounter_ = 0;
    bool recording_ = false;
};

} // namespace kelvora
