// The shell's file commands: loading sounds and pictures into new windows, saving the active
// window's sound or picture.

#include "tools/shell/shell.h"

#include "files/bmp.h"
#include "files/caption_extension.h"
#include "files/sound_file.h"
#include "files/text_samples.h"
#include "files/wav.h"
#include "tools/files_ui/load_options_dialog.h"
#include "tools/files_ui/picture_convert.h"
#include "tools/shell/progress_dialog.h"
#include "util/utf8_prefix.h"

#include <QImage>
#include <QString>

namespace kelvora {
namespace {

// Keeps the modeless progress dialog open for the life of one file command.
class ProgressScope {
public:
    ProgressScope(Session& session, DialogRunner& dialogs) : session_(session), dialogs_(dialogs)
    {
        dialogs_.showModeless(dialog_);
        session_.progress = &dialog_;
        session_.progressChanged = [this] { dialogs_.updateModeless(dialog_); };
    }
    ~ProgressScope()
    {
        session_.progress = nullptr;
        session_.progressChanged = nullptr;
        dialogs_.closeModeless(dialog_);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Session& session_;
    DialogRunner& dialogs_;
    ProgressDialog dialog_;
};

bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix)
{
    return QString::fromStdString(text).endsWith(QString::fromStdString(suffix), Qt::CaseInsensitive);
}

} // namespace

void Shell::loadSound(int command, const std::optional<std::string>& presetPath)
{
    session_.soundFormat.Reset();
    const bool text = command == CmdLoadText;
    // The progress dialog is up before the file is chosen and goes whichever way the load ends.
    ProgressScope progress(session_, services_.dialogs);
    std::optional<std::string> path = presetPath;
    if (!path) {
        path = text ? services_.files.chooseOpenFile({{"*.txt", "*.txt"}, {"*.*", "*.*"}})
                    : services_.files.chooseOpenFile({{"音声ファイル", files::SoundFilePattern()}, {"*.*", "*.*"}});
    }
    if (!path)
        return;
    session_.fileNameBuffer = Utf8Prefix(*path, CaptionMaxBytes);

    const bool loaded = text ? readTextIntoSlotX(*path) : readSoundIntoSlots(*path);
    if (!loaded) {
        session_.traceSlots.clear(SlotNumber::X);
        session_.traceSlots.clear(SlotNumber::W);
        return;
    }
    makeLoadedWindows(command == CmdLoadWavNormalised ? WaveformScale::Normalised
                                                      : WaveformScale::Absolute);
}

bool Shell::readSoundIntoSlots(const std::string& path)
{
    files::Result<files::LoadedSound> read =
        files::ReadSound(path, [this](const std::string& line) { session_.StepProgress(line); });
    if (!read) {
        refuse(path, read.error().message);
        return false;
    }
    // Something left out (channels beyond two, a cut file) is said before the windows open.
    if (!read.value().notice.empty())
        services_.messages.showMessage(path + "\n" + read.value().notice, "読み込みました");
    files::WavSound& sound = read.value().sound;
    SoundFormat& format = session_.soundFormat;
    format.channels = sound.format.channels;
    format.samplesPerSecond = sound.format.sampleRate;
    format.averageBytesPerSecond = sound.format.bytesPerSecond;
    format.blockAlign = sound.format.blockAlign;
    format.bitsPerSample = sound.format.bitsPerSample;
    session_.traceSlots.fill(SlotNumber::X, std::move(sound.left));
    if (format.channels == 2)
        session_.traceSlots.fill(SlotNumber::W, std::move(sound.right));
    return true;
}

bool Shell::readTextIntoSlotX(const std::string& path)
{
    files::Result<std::vector<double>> read =
        files::ReadText(path, [this](const std::string& line) { session_.StepProgress(line); });
    if (!read) {
        refuse(path, read.error().message);
        return false;
    }
    session_.traceSlots.fill(SlotNumber::X, std::move(read.value()));
    LoadOptionsDialog options(session_);
    services_.dialogs.runModal(options);
    session_.soundFormat.channels = 1;
    return true;
}

void Shell::makeLoadedWindows(WaveformScale scale)
{
    drawSlotX(scale);
    CreateDataWindow(KindSound, session_.traceSlots.take(SlotNumber::X), session_.fileNameBuffer,
                     std::move(session_.resultCanvas), ResultCanvasWidth, ResultCanvasHeight);
    if (session_.soundFormat.channels == 2) {
        session_.traceSlots.fill(SlotNumber::X, session_.traceSlots.take(SlotNumber::W));
        drawSlotX(scale);
        CreateDataWindow(KindSound, session_.traceSlots.take(SlotNumber::X), session_.fileNameBuffer,
                         std::move(session_.resultCanvas), ResultCanvasWidth, ResultCanvasHeight);
    }
    session_.NewResultCanvas();
}

void Shell::openFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        if (EndsWithIgnoringCase(path, ".txt"))
            loadSound(CmdLoadText, path);
        else if (EndsWithIgnoringCase(path, ".bmp"))
            loadPicture(path);
        else
            loadSound(CmdLoadWav, path); // the sound reader names what is wrong with other files
    }
}

void Shell::loadPicture(const std::optional<std::string>& presetPath)
{
    const std::optional<std::string> path =
        presetPath ? presetPath : services_.files.chooseOpenFile({{"*.bmp", "*.BMP"}, {"*.*", "*.*"}});
    if (!path)
        return;
    session_.fileNameBuffer = Utf8Prefix(*path, CaptionMaxBytes);
    files::Result<files::RgbImage> read = files::ReadBmp(*path);
    if (!read) {
        const files::Failure& failure = read.error();
        const bool fixedText = failure.kind == files::FailureKind::CannotOpen ||
                               failure.kind == files::FailureKind::WrongFormat;
        services_.messages.showMessage(fixedText ? failure.message : *path + "\n" + failure.message,
                                       "KOKO.BMP");
        return;
    }
    Picture picture = PictureFromImage(read.value());
    const int width = picture.width(), height = picture.height();
    CreateDataWindow(KindPicture, {}, *path, std::move(picture), width, height);
}

void Shell::saveSound(int command)
{
    DataRecord* active = activeSoundOrComplain();
    if (active == nullptr)
        return;
    LoadWorkSignal(*active);
    const bool text = command == CmdSaveText;
    // As for a load, the progress dialog is up before the file is chosen.
    ProgressScope progress(session_, services_.dialogs);
    std::optional<std::string> path;
    if (text) {
        // The record keeps the rewritten name, as the saved file will carry it.
        active->caption = files::ReplaceExtensionLikeSaver(active->caption, "txt");
        path = services_.files.chooseSaveFile(active->caption, {{"Text files {*.txt}", "*.txt"}}, "txt");
    } else {
        path = services_.files.chooseSaveFile(active->caption, {{"Wave files {*.wav}", "*.wav"}}, "wav");
    }
    if (path) {
        auto step = [this](const std::string& line) { session_.StepProgress(line); };
        const std::vector<double>& samples = session_.traceSlots.samples(SlotNumber::X);
        files::Status written;
        if (text) {
            written = files::WriteText(*path, samples, session_.SampleRate(), step);
        } else {
            files::WavFormat format;
            format.channels = 1;
            format.sampleRate = session_.SampleRate();
            format.bitsPerSample = active->bitsPerSample;
            written = files::WriteWav(*path, format, samples, {}, step);
        }
        if (!written)
            services_.messages.showMessage(written.error().message, "保存できません");
    }
    session_.traceSlots.clear(SlotNumber::X);
}

void Shell::savePicture()
{
    DataRecord* active = windows_.activeRecord();
    if (active == nullptr)
        return;
    const std::string proposed = files::ReplaceExtensionLikeSaver(active->caption, "bmp");
    const std::optional<std::string> path = services_.files.chooseSaveFile(
        proposed, {{"BMP files {*.bmp}", "*.bmp"}, {"PNG files {*.png}", "*.png"}}, "bmp");
    if (!path)
        return;
    const Picture shown = active->picture.cropped(active->pictureWidth, active->pictureHeight);
    files::Status written;
    if (EndsWithIgnoringCase(*path, ".png"))
        written = SavePng(*path, shown);
    else
        written = files::WriteBmp24(*path, ImageFromPicture(shown));
    if (!written)
        services_.messages.showMessage(written.error().message, "保存できません");
}

} // namespace kelvora
