#include "tools/audio/recording_dialog.h"

#include "util/sprintf.h"

namespace kelvora {
namespace {

using R = RecordingDialog;

constexpr const char* RecordCaption = "録音";
constexpr const char* PauseCaption = "一時停止";
constexpr int TopFrequencyKHz = 4;

DialogTemplate RecordingTemplate()
{
    using K = ControlKind;
    DialogTemplate t;
    t.caption = "録音";
    t.size = {600, 392};
    // The spectrogram band is rows 1 … 512 of 683, shown 300 px high: 0 kHz at about y = 225.
    t.controls = {
        {R::TopLabel, K::Label, "4(KHz)", QRect(458, 0, 96, 20)},
        {R::BottomLabel, K::Label, "0（KHｚ）", QRect(458, 214, 96, 20)},
        {R::RecordButton, K::DefaultButton, RecordCaption, QRect(10, 312, 120, 30)},
        {IdOk, K::PushButton, "録音終了", QRect(140, 312, 120, 30)},
        {IdCancel, K::PushButton, "ｷｬﾝｾﾙ", QRect(270, 312, 120, 30)},
        {-1, K::Label, "表示区間は４．５秒間です", QRect(400, 318, 190, 20)},
        {R::DeviceNotice, K::Label, "", QRect(10, 352, 580, 30)},
    };
    t.pictures = {{R::DisplayPicture, QRect(0, 0, RecordingDisplay::ShownWidth, RecordingDisplay::ShownHeight)}};
    return t;
}

} // namespace

RecordingDialog::RecordingDialog(Session& session, Services& services)
    : DialogModel(RecordingTemplate()), session_(session), services_(services)
{
}

RecordingDialog::~RecordingDialog()
{
    if (recording_ && services_.input != nullptr)
        services_.input->stop();
}

void RecordingDialog::init()
{
    setText(TopLabel, Sprintf("%d(KHz)", TopFrequencyKHz));
    session_.soundFormat.Reset();
    take_ = {};
    display_ = {};
    display_.compose(shown_);
    blockCount_ = 0;
    repaintCounter_ = 0;
    recording_ = false;
    invalidate();
}

void RecordingDialog::command(int id)
{
    switch (id) {
    case RecordButton:
        if (recording_)
            pauseRecording();
        else
            startRecording();
        break;
    case IdOk: end(true); break;
    case IdCancel: end(false); break;
    default: break;
    }
}

void RecordingDialog::startRecording()
{
    // Without a device nothing would ever arrive: say so in the window instead of recording
    // silence without a word.
    if (services_.input == nullptr || !services_.input->start(RecordingRate)) {
        setText(DeviceNotice, platform::NoAudioInputNotice);
        return;
    }
    setText(DeviceNotice, "");
    setText(RecordButton, PauseCaption);
    recording_ = true;
    startTimer(BlockTimer, BlockPollMilliseconds);
}

void RecordingDialog::pauseRecording()
{
    // Blocks that arrived before the press still belong to the take.
    readBlocks();
    services_.input->stop();
    stopTimer(BlockTimer);
    setText(RecordButton, RecordCaption);
    recording_ = false;
}

void RecordingDialog::timer(int id)
{
    if (id == BlockTimer && recording_)
        readBlocks();
}

void RecordingDialog::readBlocks()
{
    while (services_.input->readBlock(block_))
        processBlock(block_);
}

void RecordingDialog::processBlock(std::span<const std::int16_t> block)
{
    display_.drawBlock(block);
    ++blockCount_;
    take_.append(block.first(std::min(block.size(), RecordingBlockLength)));
    ++repaintCounter_;
    if (!session_.recordingThinning)
        repaintCounter_ = 0;
    if (repaintCounter_ % ThinnedRepaintBlocks == 0) {
        display_.compose(shown_);
        invalidate();
    }
}

void RecordingDialog::end(bool keepTake)
{
    if (recording_)
        pauseRecording();
    if (keepTake) {
        if (take_.size() > 0)
            session_.traceSlots.fill(SlotNumber::X, take_.toDoubles());
        else
            session_.traceSlots.clear(SlotNumber::X);
    }
    take_ = {};
    endDialog(1);
}

const Picture* RecordingDialog::picture(int index) const
{
    return index == DisplayPicture ? &shown_ : nullptr;
}

} // namespace kelvora
