#pragma once
// "ラウドネス曲線・マスカー作成": two sine tones mixed into one continuous sound for
// demonstrations of loudness and masking. Tone 1's frequency and level are set with bars,
// tone 2 is a 1 kHz or 1.2 kHz reference or masker with its own level; a remembered setting of
// tone 1 can be compared by ear with the live one. The left mouse button starts the sound, the
// right one stops it.
//
// The sound is the 2-second loop of the mixed tone, written to the stream only a short way
// ahead of what plays, so a bar move is heard within that distance; the loop index runs on
// across changes, so the waveform never jumps at a join.

#include "dsp/two_tones.h"
#include "tools/dialog/dialog_model.h"
#include "tools/dialog/step_scroll_bar.h"
#include "tools/services.h"

#include <cstdint>

namespace kelvora {

class HearingDialog : public DialogModel {
public:
    enum : int {
        LevelBar1 = 1092,
        LevelLabel1 = 1058,
        FrequencyBar = 1049,
        FrequencyLabel = 1048,
        LevelBar2 = 1093,
        LevelLabel2 = 1073,
        Reference1000 = 1062,
        Reference1200 = 1063,
        RecordButton = 1040,
        CompareButton = 1041,
        LiveMark = 1074,
        RecordedMark = 1105,
        RecordedLabel = 1106,
    };
    enum : int { ToneTimer = 1, ToneTickMilliseconds = 15 };
    // How far the writer stays ahead of what plays: 60 ms at 16 kHz.
    static constexpr std::uint64_t WriteAheadSamples = 960;

    explicit HearingDialog(Services& services);
    ~HearingDialog() override;

    void init() override;
    void command(int id) override;
    void scroll(int id, ScrollRequest request, int thumb) override;
    void timer(int id) override;
    void mouse(MouseButton button) override;

    const dsp::Tone& firstTone() const { return first_; }
    const dsp::Tone& secondTone() const { return second_; }
    const dsp::Tone& recordedSetting() const { return recorded_; }
    bool sounding() const { return sounding_; }

private:
    void startSound();
    void stopSound();
    void writeAhead();

    Services& services_;
    ScrollBarTable bars_;
    int lastBarIndex_ = 0;
    dsp::Tone first_;
    dsp::Tone savedLive_;
    dsp::Tone second_;
    dsp::Tone recorded_;
    bool compareFlag_ = false;
    bool sounding_ = false;
    std::uint64_t written_ = 0; // loop samples written since the sound started
};

} // namespace kelvora
