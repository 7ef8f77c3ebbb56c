#include "tools/shell/shell.h"

#include "files/wav.h"
#include "util/sprintf.h"
#include "util/utf8_prefix.h"

#include <algorithm>
#include <chrono>

namespace kelvora {
namespace {

std::tm CurrentLocalTime()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

bool StartsWithEmptyWorkSignal(int command)
{
    return command == CmdRecord || command == CmdRecordThinned || command == CmdFx ||
           command == CmdFxx;
}

} // namespace

Shell::Shell(Session& session, Services& services, WindowHost& windows, ToolRegistry tools)
    : localTime(CurrentLocalTime), session_(session), services_(services), windows_(windows),
      tools_(std::move(tools))
{
    session_.traceSlots.clearAll();
    session_.resultCanvas = Picture(ResultCanvasWidth, ResultCanvasHeight);
}

bool Shell::isEnabled(int command) const
{
    const CommandSpec* spec = FindCommand(command);
    if (spec == nullptr)
        return false;
    return spec->action != CommandAction::Tool || tools_.find(command) != nullptr;
}

void Shell::execute(int command)
{
    session_.recordingThinning = false;
    const CommandSpec* spec = FindCommand(command);
    if (spec == nullptr || !isEnabled(command))
        return;
    switch (spec->action) {
    case CommandAction::LoadSound: loadSound(command, std::nullopt); break;
    case CommandAction::LoadPicture: loadPicture(std::nullopt); break;
    case CommandAction::SaveSound: saveSound(command); break;
    case CommandAction::SavePicture: savePicture(); break;
    case CommandAction::Tool: runTool(*spec); break;
    case CommandAction::Arrange:
        windows_.arrange(command == CmdCascade          ? Arrangement::Cascade
                         : command == CmdTileHorizontal ? Arrangement::TileHorizontal
                                                        : Arrangement::TileVertical);
        break;
    case CommandAction::CloseWindow:
        if (DataRecord* active = windows_.activeRecord())
            DestroyDataWindow(*active);
        break;
    }
}

DataRecord* Shell::activeSoundOrComplain()
{
    DataRecord* active = windows_.activeRecord();
    if (active == nullptr || active->kind != KindSound) {
        services_.messages.showMessage(WrongSelectionText, WrongSelectionCaption);
        return nullptr;
    }
    return active;
}

void Shell::runTool(const CommandSpec& command)
{
    if (command.id == CmdSignalGenerator)
        session_.soundFormat.Reset();
    if (command.id == CmdRecordThinned)
        session_.recordingThinning = true;
    if (command.needsSound) {
        const DataRecord* active = activeSoundOrComplain();
        if (active == nullptr)
            return;
        LoadWorkSignal(*active);
    }
    if (StartsWithEmptyWorkSignal(command.id))
        session_.traceSlots.clear(SlotNumber::X);
    if (command.result == ToolResult::Picture)
        session_.NewResultCanvas();

    std::unique_ptr<DialogModel> dialog = (*tools_.find(command.id))(session_, services_);
    services_.dialogs.runModal(*dialog);
    dialog.reset();

    if (command.result == ToolResult::Sound) {
        finishSoundResult();
    } else if (command.result == ToolResult::Picture) {
        MakeDateStamp();
        CreateDataWindow(KindPicture, {}, session_.dateStamp, std::move(session_.resultCanvas),
                         command.resultWidth, command.resultHeight);
        session_.NewResultCanvas();
    }
    session_.traceSlots.clear(SlotNumber::X);
}

void Shell::finishSoundResult()
{
    if (session_.traceSlots.empty(SlotNumber::X))
        return;
    // A result keeps the 8 bits of its source only while they hold it; a louder one (a
    // convolution normalised to 16380, say) becomes 16-bit rather than being clipped when saved.
    SoundFormat& format = session_.soundFormat;
    format.bitsPerSample = files::DepthThatHolds(format.bitsPerSample, session_.traceSlots.samples(SlotNumber::X));
    drawSlotX(WaveformScale::Absolute);
    MakeDateStamp();
    CreateDataWindow(KindSound, session_.traceSlots.take(SlotNumber::X), session_.dateStamp,
                     std::move(session_.resultCanvas), ResultCanvasWidth, ResultCanvasHeight);
    session_.NewResultCanvas();
}

void Shell::drawSlotX(WaveformScale scale)
{
    session_.NewResultCanvas();
    const SoundFormat& format = session_.soundFormat;
    DrawWaveform(session_.resultCanvas, session_.traceSlots.samples(SlotNumber::X),
                 {format.samplesPerSecond, format.bitsPerSample, format.channels}, scale,
                 [this](const std::string& text) { session_.StepProgress(text); });
}

DataRecord* Shell::CreateDataWindow(RecordKind kind, std::vector<double> samples,
                                    std::string caption, Picture picture, int width, int height)
{
    auto record = std::make_unique<DataRecord>();
    record->kind = kind;
    record->samples = kind == KindSound ? std::move(samples) : std::vector<double>{};
    record->caption = Utf8Prefix(caption, CaptionMaxBytes);
    record->picture = std::move(picture);
    record->sampleRate = session_.SampleRate();
    record->bitsPerSample = session_.soundFormat.bitsPerSample == 8 ? 8 : 16;
    record->pictureWidth = width;
    record->pictureHeight = height;
    DataRecord* created = record.get();
    records_.push_back(std::move(record));
    windows_.openWindow(*created);
    return created;
}

void Shell::DestroyDataWindow(DataRecord& record)
{
    auto it = std::find_if(records_.begin(), records_.end(),
                           [&record](const auto& owned) { return owned.get() == &record; });
    if (it == records_.end())
        return;
    std::unique_ptr<DataRecord> owned = std::move(*it);
    records_.erase(it);
    windows_.closeWindow(*owned);
}

void Shell::LoadWorkSignal(const DataRecord& record)
{
    session_.traceSlots.fill(SlotNumber::X, record.samples);
    session_.soundFormat.channels = 1;
    session_.soundFormat.samplesPerSecond = record.sampleRate;
    // A tool's result and a saved copy keep the depth of the sound they came from.
    session_.soundFormat.bitsPerSample = record.bitsPerSample;
}

const std::string& Shell::MakeDateStamp()
{
    const std::tm t = localTime();
    session_.dateStamp = Sprintf("%d年%2d月%2d日%2d時%2d分%2d秒", t.tm_year + 1900, t.tm_mon + 1,
                                 t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return session_.dateStamp;
}

void Shell::refuse(const std::string& path, const std::string& problem)
{
    services_.messages.showMessage(path + "\n" + problem, "読み込めません");
}

} // namespace kelvora
